#!/usr/bin/env bash
# Our setup next to a peer installer, NSIS, on one payload: the sample
# product's files and about MB megabytes of synthetic ones (program-like
# binaries, text, already-compressed data in nested directories, made by
# scripts/bench-payload.py): scripts/bench-peers.sh [MB] (default 30).
# Packs it with the media tool (deflate and LZH) and NSIS (zlib non-solid and
# solid, LZMA solid), installs it with each into a fresh copy of one Wine
# prefix, SETUP_BENCH_RUNS times (default 5), checks after each run that
# every payload file is installed byte for byte, and prints per installer
# the media size and the median and spread of the install times. NSIS is
# timed around its silent install (/S), in a prefix whose Wine already runs;
# ours twice: the whole unattended install (setup.exe /I, the same way), and
# the file installation alone (copy_bench.exe with page 108, its internal
# clock), which is set against NSIS in the last two lines.
set -euo pipefail
setup_root=$(cd "$(dirname "$0")/.." && pwd)
. "$setup_root/scripts/lib.sh"
mb=${1:-30}
runs=${SETUP_BENCH_RUNS:-5}
command -v makensis >/dev/null || { echo "bench-peers: makensis missing (scripts/install-deps.sh)" >&2; exit 1; }

cmake -S "$setup_root" -B "$setup_root/build-bench" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$setup_root/build-bench" -j2 --target mediatool >/dev/null
cmake -S "$setup_root" -B "$setup_root/$SETUP_WIN_BUILD" -DCMAKE_TOOLCHAIN_FILE="$SETUP_WIN_TOOLCHAIN" >/dev/null
cmake --build "$setup_root/$SETUP_WIN_BUILD" -j2 --target setup korcmd95 avwindow _kwdinst prodprog bshell rescue \
  vse32eng copy_bench >/dev/null
tool=$setup_root/build-bench/bin/mediatool
bin=$setup_root/$SETUP_WIN_BUILD/bin
payload=$setup_root/scripts/bench-payload.py

work=$(mktemp -d "${TMPDIR:-/tmp}/peerbench.XXXXXX")
cleanup() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The payload and the media of every installer.
SETUP_MEDIATOOL=$tool "$setup_root/scripts/make-sample-media.sh" "$work" >/dev/null
staging=$work/sample
python3 "$payload" make "$staging" "$mb" deflate lzh
installers=(ours-deflate ours-lzh nsis-zlib nsis-zlib-solid nsis-lzma-solid)
for method in deflate lzh; do
  "$tool" build "$staging/bench-$method.txt" "$work/ours-$method" >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
done
nsis_compressor() {
  case $1 in nsis-zlib) echo zlib ;; nsis-zlib-solid) echo "/SOLID zlib" ;; nsis-lzma-solid) echo "/SOLID lzma" ;; esac
}
for installer in nsis-zlib nsis-zlib-solid nsis-lzma-solid; do
  mkdir -p "$work/$installer"
  python3 "$payload" nsis "$staging" "$(nsis_compressor "$installer")" "$work/$installer/peer.exe"
  makensis -V1 "$staging/peer.nsi" >/dev/null
done
# NSIS keeps one copy of files with the same bytes (the sample product has
# stand-in programs under several names); our archives hold every member.
mkdir -p "$work/nsis-zlib-copies"
python3 "$payload" nsis "$staging" zlib "$work/nsis-zlib-copies/peer.exe" "SetDatablockOptimize off"
makensis -V1 "$staging/peer.nsi" >/dev/null
# Everything a user would carry: every file of the media directories.
media_bytes() { find "$work/$1" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }'; }

setup_template_prefix "$work/template"
setup_start_display
xvfb_pid=$SETUP_XVFB_PID
cp "$setup_root/sample/KORVISAN.ICF" "$work/template/drive_c/KORVISAN.ICF"

# A fresh copy of the template with its Wine already running: starting Wine
# is not the installer's work.
fresh_prefix() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  rm -rf "$work/prefix"
  cp -a "$work/template" "$work/prefix"
  export WINEPREFIX=$work/prefix
  wineserver -p
  "$SETUP_WINE" cmd /c exit >/dev/null 2>&1
}
now() { date +%s.%N; }
check_installed() { # check_installed WHAT: the payload, byte for byte
  if ! python3 "$payload" check "$staging" "$WINEPREFIX/drive_c" >"$work/check.txt"; then
    echo "bench-peers: $1 did not install the payload:" >&2
    head -20 "$work/check.txt" >&2
    exit 1
  fi
}

for run in $(seq "$runs"); do
  for installer in "${installers[@]}"; do
    if [ "${installer%%-*}" = nsis ]; then
      fresh_prefix
      start=$(now)
      "$SETUP_WINE" "$work/$installer/peer.exe" /S '/D=C:\KORAV' >/dev/null 2>&1
      echo "$(now) - $start" | bc >>"$work/$installer.times"
      check_installed "$installer"
      continue
    fi
    media=$work/$installer/DISK01
    fresh_prefix
    status=0
    start=$(now)
    "$SETUP_WINE" "$media/setup.exe" '/I:C:\KORVISAN.ICF' '/M:C:\KORVISAN.MIF' >/dev/null 2>&1 || status=$?
    echo "$(now) - $start" | bc >>"$work/$installer-whole.times"
    # 0 completed; 3010 (194 in Wine's 8 bits) completed, restart needed.
    if [ "$status" != 0 ] && [ "$status" != 194 ]; then
      echo "bench-peers: setup.exe of $installer ended with $status:" >&2
      tail -5 "$WINEPREFIX/drive_c/KORSETUP.LOG" >&2 || true
      exit 1
    fi
    check_installed "$installer (setup.exe)"
    fresh_prefix
    line=$("$SETUP_WINE" "$bin/copy_bench.exe" "$(winpath "$media")" \
      'C:\KORAV' ui 'C:\Program Files\Brantoke\Common' 2>/dev/null | tr -d '\r' | grep -E '^(ok|FAILED)')
    case $line in ok*) ;; *) echo "bench-peers: copy_bench of $installer: $line" >&2; exit 1 ;; esac
    sed -E 's/.* in ([0-9.]+) s.*/\1/' <<<"$line" >>"$work/$installer-files.times"
    check_installed "$installer (copy engine)"
  done
done
wineserver -k >/dev/null 2>&1 || true

# One more run of ours, traced by Wine: when each dialog (page, progress
# window, billboard) was made and each program was started.
fresh_prefix
WINEDEBUG=+timestamp,+dialog,+process "$SETUP_WINE" "$work/ours-deflate/DISK01/setup.exe" '/I:C:\KORVISAN.ICF' \
  '/M:C:\KORVISAN.MIF' >"$work/trace.txt" 2>&1 || true
wineserver -k >/dev/null 2>&1 || true

# median, min and max of a file of seconds
stats() { sort -g "$1" | awk '{ t[NR] = $1 } END { m = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2; printf "%.2f %.2f %.2f\n", m, t[1], t[NR] }'; }
files=$(find "$staging/library" -type f | wc -l)
payload_bytes=$(cut -d'|' -f2 "$staging/manifest.txt" | (cd "$staging" && xargs stat -c %s) | awk '{ s += $1 } END { print s }')
echo "payload: $(wc -l <"$staging/manifest.txt") files, $payload_bytes bytes (the sample product and $files synthetic files of about $mb MB); $runs runs each"
echo "machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1), $("$SETUP_WINE" --version), shared with other work"
reference=$(media_bytes nsis-zlib)
printf '| %-42s | %11s | %6s | %18s |\n' installer "media bytes" "/ nsis" "install s (min-max)"
printf '|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..44})" "$(printf -- '-%.0s' {1..13})" "--------" "$(printf -- '-%.0s' {1..20})"
row() { # row LABEL INSTALLER TIMES
  local bytes
  bytes=$(media_bytes "$2")
  read -r median low high < <(stats "$3")
  printf '| %-42s | %11s | %6.3f | %6s (%s-%s) |\n' "$1" "$bytes" "$(echo "scale=4; $bytes / $reference" | bc)" \
    "$median" "$low" "$high"
}
for method in deflate lzh; do
  row "ours $method: whole unattended install" "ours-$method" "$work/ours-$method-whole.times"
  row "ours $method: file installation (page 108)" "ours-$method" "$work/ours-$method-files.times"
done
row "NSIS zlib (non-solid)" nsis-zlib "$work/nsis-zlib.times"
row "NSIS zlib solid" nsis-zlib-solid "$work/nsis-zlib-solid.times"
row "NSIS LZMA solid" nsis-lzma-solid "$work/nsis-lzma-solid.times"
read -r ours_files _ < <(stats "$work/ours-deflate-files.times")
read -r ours_whole _ < <(stats "$work/ours-deflate-whole.times")
read -r peer _ < <(stats "$work/nsis-zlib.times")
echo "NSIS zlib (non-solid) with a copy of each file even where bytes repeat: $(media_bytes nsis-zlib-copies) bytes, ours/that $(echo "scale=3; $(media_bytes ours-deflate) / $(media_bytes nsis-zlib-copies)" | bc | sed 's/^\./0./')"
echo "ours deflate, whole install: file installation $ours_files s, the rest (Wine's start of setup.exe, pages, memory scan, configuration, the product's programs, Program Manager) $(echo "$ours_whole - $ours_files" | bc) s"
echo "where a traced whole install's time goes (s after its first trace line; untitled dialogs are the copy page and its billboards):"
awk -F: '
  NR == 1 { start = at = $1; name = "Wine starts setup.exe"; n = 1 }
  /dialog:DIALOG_ParseTemplate32 +CAPTION/ { c = $0; sub(/.*CAPTION L/, "", c); event($1, "dialog " (c == "\"\"" ? "(untitled)" : c)) }
  /CreateProcessInternalW app L/ && !/explorer|winemenubuilder/ { p = $0; sub(/.*app L"/, "", p); sub(/".*/, "", p); gsub(/\\\\/, "\\", p); event($1, "starts " p) }
  /CreateProcessInternalW app \(null\) cmdline .*explorer\.exe/ { event($1, "a program group folder window opens") }
  { last = $1 }
  function event(t, what) { printf "  %6.2f %5.2f s  %s\n", at - start, t - at, name; at = t; name = what }
  END { printf "  %6.2f %5.2f s  %s (until the last trace line)\n", at - start, last - at, name }
' "$work/trace.txt"
echo "media ours/nsis-zlib: $(echo "scale=3; $(media_bytes ours-deflate) / $reference" | bc | sed 's/^\./0./')"
echo "install time ours/nsis-zlib: $(echo "scale=3; $ours_files / $peer" | bc | sed 's/^\./0./')"
