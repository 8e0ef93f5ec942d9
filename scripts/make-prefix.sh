#!/usr/bin/env bash
# Creates a Wine prefix in Windows 95 mode: scripts/make-prefix.sh DIR [VERSION]
# (VERSION defaults to win95). Mono and Gecko are disabled: they would wait for
# downloads that cannot happen here. Wine's virtual desktop makes Wine draw
# captions and frames itself, as Windows would.
set -euo pipefail
setup_root=$(cd "$(dirname "$0")/.." && pwd)
. "$setup_root/scripts/lib.sh"
dir=$1
version=${2:-win95}
rm -rf "$dir"
mkdir -p "$(dirname "$dir")"
export WINEPREFIX=$dir
# While scripts/smoke-pe32.sh has qemu registered for 32-bit code, wineboot
# would build the prefix's 32-bit half through the emulator for minutes: wait
# until it is done (about a minute).
if [ -z "${SETUP_QEMU_LOCK_HELD:-}" ] && [ -e /tmp/setup-qemu-i386.lock ]; then
  flock -s -w 900 /tmp/setup-qemu-i386.lock true || true
fi
"$SETUP_WINE" wineboot -i >/dev/null 2>&1
setup_windows_version "$version"
"$SETUP_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
"$SETUP_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
wineserver -w
[ -d "$dir/drive_c/windows" ] || { echo "make-prefix: wineboot did not create $dir" >&2; exit 1; }
# Wine draws the caption buttons with Marlett but loads TrueType fonts only
# from the Windows directory's Fonts, not from its own (fonts-wine): without
# this copy they show as the letters "0", "2" and "r".
cp /usr/share/wine/fonts/marlett.ttf "$dir/drive_c/windows/Fonts/" ||
  echo "make-prefix: no Marlett (package fonts-wine): caption buttons are drawn as letters" >&2
