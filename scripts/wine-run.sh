#!/usr/bin/env bash
# Runs one Win32 program under Wine in a fresh copy of the template prefix, then
# ends that prefix's wineserver and removes the copy. ctest uses it as the
# cross-compiling emulator. Environment:
#   SETUP_WINE_TEMPLATE  template prefix (default: <win build>/wine-template)
#   SETUP_WINE_VERSION   Windows version of the copy (default: the template's, win95)
#   SETUP_KEEP_PREFIX    directory to move the used prefix to, for inspection
set -u
setup_root=$(cd "$(dirname "$0")/.." && pwd)
. "$setup_root/scripts/wine-env.sh"
template=${SETUP_WINE_TEMPLATE:-$setup_root/$SETUP_WIN_BUILD/wine-template}
if [ ! -d "$template/drive_c" ]; then
  "$setup_root/scripts/make-prefix.sh" "$template" >/dev/null || { echo "wine-run: cannot make $template" >&2; exit 125; }
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/setup-wine.XXXXXX")
cp -a "$template" "$work/prefix"
export WINEPREFIX=$work/prefix
if [ -n "${SETUP_WINE_VERSION:-}" ]; then
  "$SETUP_WINE" reg add 'HKCU\Software\Wine' /v Version /d "$SETUP_WINE_VERSION" /f >/dev/null 2>&1
fi
xvfb=()
if [ -z "${DISPLAY:-}" ]; then xvfb=(xvfb-run -a -s "-screen 0 1024x768x24"); fi
"${xvfb[@]}" "$SETUP_WINE" "$@"
rc=$?
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
if [ -n "${SETUP_KEEP_PREFIX:-}" ]; then rm -rf "$SETUP_KEEP_PREFIX"; mv "$work/prefix" "$SETUP_KEEP_PREFIX"; fi
rm -rf "$work"
exit $rc
