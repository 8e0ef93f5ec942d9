#!/usr/bin/env bash
# The main job: installs what is needed, builds setup.exe and the stand-ins,
# makes install media of the sample product with the media tool, runs setup
# from them in a fresh Windows 95 Wine prefix under Xvfb and writes a
# screenshot of what it shows to out/setup-screen.png. Extra arguments go to
# setup.exe.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
setup_root=$root
. "$root/scripts/wine-env.sh"
"$root/scripts/build.sh" win >/dev/null
out=$root/out
mkdir -p "$out"
prefix=$out/prefix
"$root/scripts/make-prefix.sh" "$prefix"
export WINEPREFIX=$prefix

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb_pid=$!
trap 'wineserver -k >/dev/null 2>&1 || true; kill $xvfb_pid 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# Install media of the sample product (sample/layout.txt), made by the media
# tool from the stand-in programs this build made.
"$root/scripts/build.sh" native >/dev/null
staging=$out/sample
rm -rf "$staging" "$out/media"
mkdir -p "$staging/bin"
cp -r "$root/sample/files" "$root/sample/layout.txt" "$staging/"
cp -r "$root/resources/art" "$staging/art"
bin=$root/$SETUP_WIN_BUILD/bin
cp "$bin/setup.exe" "$bin/korcmd95.exe" "$bin/avwindow.exe" "$bin/_kwdinst.exe" "$staging/bin/"
cp "$bin/korcmd95.exe" "$staging/bin/korvi95.exe"
cp "$bin/bshell.dll" "$bin/rescue.dll" "$staging/bin/"
for program in vgdist.exe autodl95.exe rtwatch.exe scnsvc95.exe EXAMINE.EXE uninstal.exe; do
  cp "$bin/prodprog.exe" "$staging/bin/$program"
done
strip=x86_64-w64-mingw32-strip
[ "$SETUP_WINEARCH" = win32 ] && strip=i686-w64-mingw32-strip
"$strip" "$staging"/bin/*.exe "$staging"/bin/*.EXE "$staging"/bin/*.dll
"$root/build-native/bin/mediatool" build "$staging/layout.txt" "$out/media" >/dev/null
media=$out/media/DISK01
"$SETUP_WINE" "$media/setup.exe" "$@" &
setup_pid=$!

# Take the screenshot once the picture has stopped changing (the window and
# its first page have been painted).
shot=$out/setup-screen.png
previous=""
for _ in $(seq 60); do
  sleep 0.5
  import -display "$display" -window root "$out/probe.png" 2>/dev/null || continue
  sum=$(md5sum < "$out/probe.png")
  colours=$(identify -format '%k' "$out/probe.png" 2>/dev/null || echo 0)
  if [ "$sum" = "$previous" ] && [ "$colours" -gt 64 ]; then break; fi
  previous=$sum
done
mv "$out/probe.png" "$shot"
echo "screenshot: $shot"
wineserver -k >/dev/null 2>&1 || true
wait $setup_pid 2>/dev/null || true
