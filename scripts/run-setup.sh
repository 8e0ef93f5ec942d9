#!/usr/bin/env bash
# The main job: installs what is needed, builds setup.exe and the stand-ins,
# makes install media of the sample product with the media tool, runs setup
# from them in a fresh Windows 95 Wine prefix under Xvfb and writes a
# screenshot of what it shows to out/setup-screen.png. Extra arguments go to
# setup.exe.
#   --unattended  installs the whole sample product without a person, from
#                 sample/KORVISAN.ICF (/I, /M), and prints what was installed.
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
"$root/scripts/make-sample-media.sh" "$out"
media=$out/media/DISK01
unattended=0
if [ "${1:-}" = --unattended ]; then
  unattended=1
  shift
  cp "$root/sample/KORVISAN.ICF" "$prefix/drive_c/KORVISAN.ICF"
  set -- '/I:C:\KORVISAN.ICF' '/M:C:\KORVISAN.MIF' "$@"
fi
echo "running setup.exe $*"
"$SETUP_WINE" "$media/setup.exe" "$@" 2> >(grep -v "^ALSA" >&2) &
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
if [ "$unattended" = 1 ]; then
  status=0
  wait $setup_pid || status=$?
  c=$prefix/drive_c
  echo "setup.exe ended with exit code $status (modulo 256)"
  echo "installed under C:\KORAV: $(find "$c/KORAV" -type f | wc -l) files"
  echo "product registry values: $("$SETUP_WINE" reg query 'HKLM\SOFTWARE\Brantoke' /s 2>/dev/null | grep -c REG_)"
  echo "status file: $(grep -A5 'NAME = "Status"' "$c/KORVISAN.MIF" 2>/dev/null | grep VALUE | tr -d ' \r')"
  echo "install log (last lines):"
  tail -5 "$c/KORSETUP.LOG" | tr -d '\r' | sed 's/^/  /'
fi
wineserver -k >/dev/null 2>&1 || true
wait $setup_pid 2>/dev/null || true
