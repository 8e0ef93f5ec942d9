#!/usr/bin/env bash
# Builds the archive benchmark optimised (build-bench, no sanitizers) and
# prints its figures: scripts/bench-archive.sh [megabytes, default 50]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DSETUP_SANITIZE=OFF >/dev/null
cmake --build "$root/build-bench" -j2 --target bench_archive >/dev/null
"$root/build-bench/bin/bench_archive" "${1:-50}"
