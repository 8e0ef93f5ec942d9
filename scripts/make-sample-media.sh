#!/usr/bin/env bash
# Makes install media of the sample product (sample/layout.txt) from the
# stand-in programs the Win32 build made: scripts/make-sample-media.sh OUTDIR [BUILD]
# writes OUTDIR/sample (the staged files) and OUTDIR/media/DISK01, ...
# BUILD is the Win32 build to take them from (build-win32 or build-win64),
# by default the one this machine runs. Needs the media tool: SETUP_MEDIATOOL,
# build-native's, or else the test tree's mediatool.exe run under Wine (in WINEPREFIX).
set -euo pipefail
setup_root=$(cd "$(dirname "$0")/.." && pwd)
. "$setup_root/scripts/lib.sh"
out=$1
build=${2:-$SETUP_WIN_BUILD}
staging=$out/sample
rm -rf "$staging" "$out/media"
mkdir -p "$staging/bin"
cp -r "$setup_root/sample/files" "$setup_root/sample/layout.txt" "$staging/"
cp -r "$setup_root/resources/art" "$staging/art"
bin=$setup_root/$build/bin
cp "$bin/setup.exe" "$bin/korcmd95.exe" "$bin/avwindow.exe" "$bin/_kwdinst.exe" "$staging/bin/"
cp "$bin/korcmd95.exe" "$staging/bin/korvi95.exe"
cp "$bin/bshell.dll" "$bin/rescue.dll" "$staging/bin/"
cp "$bin/engine/VSE32ENG.DLL" "$bin/engine/VIRSIG.DAT" "$bin/engine/VIRINFO.DAT" "$staging/bin/"
for program in vgdist.exe autodl95.exe rtwatch.exe scnsvc95.exe EXAMINE.EXE uninstal.exe; do
  cp "$bin/prodprog.exe" "$staging/bin/$program"
done
strip=x86_64-w64-mingw32-strip
[ "$build" = build-win32 ] && strip=i686-w64-mingw32-strip
"$strip" "$staging"/bin/*.exe "$staging"/bin/*.EXE "$staging"/bin/*.dll "$staging"/bin/*.DLL
tool=${SETUP_MEDIATOOL:-$setup_root/build-native/bin/mediatool}
if [ -x "$tool" ]; then
  "$tool" build "$staging/layout.txt" "$out/media" >/dev/null
else
  mkdir -p "$out/media"
  "$SETUP_WINE" "$setup_root/$SETUP_WIN_BUILD/bin/mediatool.exe" build "$(winpath "$staging/layout.txt")" "$(winpath "$out/media")" >/dev/null
fi
