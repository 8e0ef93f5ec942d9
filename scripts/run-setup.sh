#!/usr/bin/env bash
# The main job: installs what is needed, builds setup.exe, the stand-ins, the
# walk program and the media tool (only those, from the tree the tests run
# from; scripts/test.sh builds everything), makes install media of the sample product with the media
# tool and installs it with setup.exe in a fresh Windows 95 Wine prefix
# (out/prefix, kept for inspection) under Xvfb:
#   (no option)   the walk (tools/setupwalk) goes through the wizard as a person
#                 would; each page is saved as out/pages/NN-PAGEID.png and all
#                 of them on one sheet, out/setup-pages.png.
#   --unattended  the same installation without a person, from
#                 sample/KORVISAN.ICF (/I, /M); one screenshot of its progress
#                 window in out/setup-screen.png.
# Both end with the same summary: pages, files, registry, status file, log.
set -euo pipefail
setup_root=$(cd "$(dirname "$0")/.." && pwd)
started=$(date +%s)
progress() { echo "== [$(($(date +%s) - started)) s] $*"; }
unattended=0
if [ "${1:-}" = --unattended ]; then
  unattended=1
  shift
fi

progress "checking the packages (a fresh machine installs them: a few minutes)"
"$setup_root/scripts/install-deps.sh"
. "$setup_root/scripts/lib.sh"
# The build's own lines, thinned to what it links (a fresh build takes minutes).
out=$setup_root/out
mkdir -p "$out"
prefix=$out/prefix
# The prefix is made while the build runs: Wine's start-up waits on the disk
# more than on the processor.
progress "making a fresh Windows 95 prefix in $prefix (beside the build)"
setup_template_prefix --fresh "$prefix" >"$out/prefix.log" 2>&1 &
prefix_pid=$!
progress "building setup.exe, the stand-ins, the walk and the media tool in $SETUP_WIN_BUILD (a fresh build takes a few minutes)"
"$setup_root/scripts/build.sh" demo | { grep --line-buffered -E '^\[ *[0-9]+%\] Linking' || true; } | sed -u 's/^/   /'
wait $prefix_pid || { cat "$out/prefix.log"; exit 1; }
export WINEPREFIX=$prefix

setup_start_display
xvfb_pid=$SETUP_XVFB_PID
display=$DISPLAY
trap 'wineserver -k >/dev/null 2>&1 || true; kill $xvfb_pid 2>/dev/null || true' EXIT

# Install media of the sample product (sample/layout.txt), made by the media
# tool from the stand-in programs this build made.
progress "making install media of the sample product in $out/media"
"$setup_root/scripts/make-sample-media.sh" "$out" 2>"$out/media.log" || { cat "$out/media.log"; exit 1; }
media=$out/media/DISK01
c=$prefix/drive_c
rm -rf "$out/pages" "$out/setup-pages.png" "$out/setup-screen.png" "$out/walk.log" "$out/registry.txt"

# What the installation left behind, the same for both ways.
summary() { # summary EXIT_CODE
  local keys values
  echo "== summary"
  [ -n "${pages_seen:-}" ] && echo "pages seen:${pages_seen}"
  echo "setup.exe exit code: $1 (0 completed, 3010 completed, restart needed)"
  echo "files installed under C:\\KORAV: $(find "$c/KORAV" -type f 2>/dev/null | wc -l)"
  (cd "$c/KORAV" 2>/dev/null && find . -type f | sed 's|^\./||' | sort | tr '\n' ' ' | fold -s -w 100 | sed 's/^/  /') || true
  echo
  "$SETUP_WINE" reg query 'HKLM\SOFTWARE\Brantoke' /s 2>/dev/null | tr -d '\r' >"$out/registry.txt" || true
  keys=$(grep -c '^HKEY_' "$out/registry.txt" || true)
  values=$(grep -c 'REG_' "$out/registry.txt" || true)
  echo "product registry keys under HKLM\\SOFTWARE\\Brantoke: $keys (with $values values; all in out/registry.txt), for example:"
  awk '/^HKEY_/ { key = $0; sub(/^HKEY_LOCAL_MACHINE\\SOFTWARE\\Brantoke\\/, "", key) }
       /REG_/ { n[key]++; if (!(key in first)) { first[key] = $1; order[++keys] = key } }
       END { for (i = 1; i <= keys && i <= 6; i++) printf "  %s (%d values: %s, ...)\n", order[i], n[order[i]], first[order[i]] }' \
    "$out/registry.txt"
  if "$SETUP_WINE" reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Brantoke AntiVirus' >/dev/null 2>&1; then
    echo "  and the removal entry HKLM\\...\\CurrentVersion\\Uninstall\\Brantoke AntiVirus"
  fi
  echo "status file C:\\KORVISAN.MIF: $(setup_mif_value "$c/KORVISAN.MIF" Status)"
  echo "install log C:\\KORSETUP.LOG (last lines):"
  tail -5 "$c/KORSETUP.LOG" 2>/dev/null | tr -d '\r' | sed 's/^/  /'
}

if [ "$unattended" = 1 ]; then
  cp "$setup_root/sample/KORVISAN.ICF" "$c/KORVISAN.ICF"
  progress "running setup.exe /I:C:\\KORVISAN.ICF /M:C:\\KORVISAN.MIF $*"
  "$SETUP_WINE" "$media/setup.exe" '/I:C:\KORVISAN.ICF' '/M:C:\KORVISAN.MIF' "$@" 2> >(grep -v -E '^ALSA|alsa' >&2) &
  setup_pid=$!
  # One screenshot once the picture has stopped changing (the progress
  # window has been painted).
  previous=""
  for _ in $(seq 60); do
    sleep 0.5
    import -display "$display" -window root "$out/probe.png" 2>/dev/null || continue
    sum=$(md5sum <"$out/probe.png")
    colours=$(identify -format '%k' "$out/probe.png" 2>/dev/null || echo 0)
    if [ "$sum" = "$previous" ] && [ "$colours" -gt 64 ]; then break; fi
    previous=$sum
  done
  mv "$out/probe.png" "$out/setup-screen.png"
  echo "screenshot: $out/setup-screen.png"
  status=0
  wait $setup_pid || status=$?
  # Wine hands the exit code on in 8 bits; the log's last line has all of it.
  code=$(tail -1 "$c/KORSETUP.LOG" 2>/dev/null | sed -n 's/.*exit code \([0-9]*\).*/\1/p')
  [ -n "$code" ] && [ $((code % 256)) = "$status" ] || code="$status (modulo 256)"
  summary "$code"
  exit 0
fi

pages=$out/pages
progress "walking setup.exe through the installation (pages saved in $pages)"
status=0
"$setup_root/scripts/walk-setup.sh" "$media" "$pages" | tee "$out/walk.log" | sed -u 's/^/   /' || status=$?
pages_seen=$(sed -n 's/.*pages:\(.*\)/\1/p' "$out/walk.log" | tr -d '\r')
code=$(sed -n 's/.*setup.exe ended with exit code \([0-9]*\).*/\1/p' "$out/walk.log")
progress "making PNG pictures and the contact sheet"
for bmp in "$pages"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done
if ls "$pages"/[0-9]*.png >/dev/null 2>&1; then
  # Each picture under its file name, in the first font ImageMagick knows
  # (none on a machine without fonts: no names then).
  font=$(convert -list font 2>/dev/null | sed -n 's/^ *Font: //p' | head -1)
  labels=()
  [ -n "$font" ] && labels=(-font "$font" -label '%t' -pointsize 14)
  montage "${labels[@]}" -background '#d8d8d8' "$pages"/[0-9]*.png -geometry 320x240+6+6 -tile 4x \
    "$out/setup-pages.png"
  echo "pages: $(ls "$pages" | tr '\n' ' ')($(md5sum "$pages"/*.png | cut -c1-32 | sort -u | wc -l) different pictures)"
  echo "contact sheet: $out/setup-pages.png"
fi
summary "${code:-none}"
[ "$status" = 0 ] || { echo "the walk failed (see $out/walk.log)"; exit 1; }
