#!/usr/bin/env bash
# Builds the archive benchmark optimised (build-bench, no sanitizers) and
# prints its figures: scripts/bench-archive.sh [megabytes, default 50]
set -euo pipefail
setup_root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$setup_root" -B "$setup_root/build-bench" -DCMAKE_BUILD_TYPE=Release -DSETUP_SANITIZE=OFF >/dev/null
cmake --build "$setup_root/build-bench" -j2 --target bench_archive >/dev/null
"$setup_root/build-bench/bin/bench_archive" "${1:-50}"
