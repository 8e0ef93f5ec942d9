#!/usr/bin/env bash
# Install throughput of the copy engine under Wine next to the media tool's
# native extraction of the same media, for stored, LZH and deflate media of
# about 100 MB (scripts/bench-copy.sh [MB]). Prints MB/s, the ratios and the
# share of the copy page's user interface (gauge, texts, billboards, pumping).
# Each figure is the best of five runs (three for the native extraction).
set -euo pipefail
setup_root=$(cd "$(dirname "$0")/.." && pwd)
. "$setup_root/scripts/lib.sh"
mb=${1:-100}
"$setup_root/scripts/build.sh" win >/dev/null
cmake -S "$setup_root" -B "$setup_root/build-bench" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$setup_root/build-bench" -j2 --target mediatool >/dev/null
tool=$setup_root/build-bench/bin/mediatool
work=$(mktemp -d "${TMPDIR:-/tmp}/copybench.XXXXXX")
trap 'rm -rf "$work"; [ -n "${xvfb_pid:-}" ] && kill $xvfb_pid 2>/dev/null' EXIT

# About MB megabytes of mixed data in 20 files: text-like, runs and noise.
mkdir -p "$work/src"
python3 - "$work/src" "$mb" <<'PY'
import os, random, sys
out, mb = sys.argv[1], int(sys.argv[2])
random.seed(7)
words = [bytes(random.choice(b"abcdefghijklmnopqrstuvwxyz ") for _ in range(random.randint(2, 9))) for _ in range(500)]
per = mb * 1000000 // 20
for i in range(20):
    parts, n = [], 0
    while n < per:
        kind = random.random()
        if kind < 0.5:
            chunk = b" ".join(random.choice(words) for _ in range(2000))
        elif kind < 0.7:
            chunk = bytes([random.randrange(256)]) * random.randint(1000, 20000)
        else:
            chunk = os.urandom(random.randint(5000, 40000))
        parts.append(chunk)
        n += len(chunk)
    with open(os.path.join(out, "file%02d.bin" % i), "wb") as f:
        f.write(b"".join(parts)[:per])
PY

setup_template_prefix "$work/prefix"
export WINEPREFIX=$work/prefix
setup_start_display
xvfb_pid=$SETUP_XVFB_PID
bench=$setup_root/$SETUP_WIN_BUILD/bin/copy_bench.exe

# The fastest of N runs of copy_bench in one mode: the machine's other work
# only ever adds time.
best_of() {
  local best="" line
  for _ in $(seq "$1"); do
    line=$("$SETUP_WINE" "$bench" "$winmedia" "C:\\bench-$2" "$2" 2>/dev/null | tr -d '\r' | grep -E '^(ok|FAILED)')
    rm -rf "$WINEPREFIX/drive_c/bench-$2"
    if [ -z "$best" ] || [ "$(echo "$(seconds_of "$line") < $(seconds_of "$best")" | bc)" = 1 ]; then best=$line; fi
  done
  echo "$best"
}
seconds_of() { sed -E 's/.* in ([0-9.]+) s.*/\1/' <<<"$1"; }

for method in stored lzh deflate; do
  {
    printf '[media]\nCapacity=20000000\nMethod=%s\nProfile=SETUP.INI\n' "$method"
    printf '[destinations]\n0=|-1|\n[groups]\nMain=Main|Main|1|1|0\n[diskettes]\n1=Disk|\n'
    printf '[archive DATA.MF1]\nGroup=Main\n'
    for f in "$work"/src/*.bin; do printf 'Member=src/%s|0|\n' "$(basename "$f")"; done
  } > "$work/layout.txt"
  rm -rf "$work/media" "$work/native"
  "$tool" build "$work/layout.txt" "$work/media" >/dev/null
  native=""
  for _ in 1 2 3; do
    rm -rf "$work/native"
    start=$(date +%s.%N)
    "$tool" extract "$work/media/DISK01/DATA.MF1" "$work/native" >/dev/null
    took=$(echo "$(date +%s.%N) - $start" | bc)
    if [ -z "$native" ] || [ "$(echo "$took < $native" | bc)" = 1 ]; then native=$took; fi
  done
  bytes=$(du -sb "$work/native" | cut -f1)
  winmedia=$(winpath "$work/media/DISK01")
  noui=$(best_of 5 noui)
  page=$(best_of 5 page)
  ui=$(best_of 5 ui)
  native_mbs=$(echo "scale=1; $bytes / $native / 1000000" | bc)
  noui_s=$(seconds_of "$noui")
  page_s=$(seconds_of "$page")
  ui_s=$(seconds_of "$ui")
  ui_mbs=$(sed -E 's/.*, ([0-9.]+) MB\/s/\1/' <<<"$ui")
  share() { echo "scale=3; ($1 - $2) * 100 / $ui_s" | bc; }
  printf '%-8s native extract %6.1f MB/s | copy engine under Wine: %s | %s | %s\n' "$method" "$native_mbs" \
    "$noui" "$page" "$ui"
  printf '%-8s ratio Wine(ui)/native %.2f, UI share of the install time %.1f%% (pumping, gauge, texts %.1f%%; billboards %.1f%%)\n' \
    "$method" "$(echo "scale=3; $ui_mbs / $native_mbs" | bc)" "$(share "$ui_s" "$noui_s")" \
    "$(share "$page_s" "$noui_s")" "$(share "$ui_s" "$page_s")"
done
wineserver -k >/dev/null 2>&1 || true
