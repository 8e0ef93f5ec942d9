#!/usr/bin/env bash
# Code health: the layers (scripts/check-layers.py: no folder includes one
# above it), one format (.clang-format) over every C++ file of ours, and
# clang-tidy (.clang-tidy) over the platform-free sources with build-native's
# compile commands, so generated includes are found. Exits nonzero with the
# command that fixes or shows the findings.
#   scripts/check-code.sh [layers|format|tidy|all] [FILE...]   (FILE...: only these)
set -uo pipefail
setup_root=$(cd "$(dirname "$0")/.." && pwd)
cd "$setup_root"
what=${1:-all}
shift || true
status=0
if [ "$what" = all ] || [ "$what" = layers ]; then
  "$setup_root/scripts/check-layers.py" "$setup_root" || status=1
fi
if [ "$what" = all ] || [ "$what" = format ]; then
  start=$SECONDS
  if [ $# -gt 0 ]; then files=("$@"); else mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c'); fi
  if clang-format --dry-run --Werror "${files[@]}" 2>"${TMPDIR:-/tmp}/format.$$"; then
    echo "format: ${#files[@]} files as .clang-format says ($((SECONDS - start)) s)"
  else
    grep -E '^[^ ].*: (error|warning):' "${TMPDIR:-/tmp}/format.$$" | cut -d: -f1,2 | sort -u | head -20
    echo "format: differs from .clang-format ($((SECONDS - start)) s); fix with: clang-format -i \$(git ls-files '*.cpp' '*.h' '*.c')"
    status=1
  fi
  rm -f "${TMPDIR:-/tmp}/format.$$"
fi
if [ "$what" = all ] || [ "$what" = tidy ]; then
  start=$SECONDS
  db=$setup_root/build-native/compile_commands.json
  if [ ! -f "$db" ]; then
    echo "tidy: $db is missing; run scripts/build.sh native first"
    exit 1
  fi
  # Our own sources of the native build; tests, fuzz targets and benchmarks
  # are not shipped.
  if [ $# -gt 0 ]; then sources=("$@"); else mapfile -t sources < <(python3 -c '
import json, os, sys
root = sys.argv[1]
for entry in json.load(open(sys.argv[2])):
    path = os.path.relpath(os.path.join(entry["directory"], entry["file"]), root)
    if path.split("/")[0] in ("app", "archive", "config", "engine", "framework", "product", "wizard", "tools"):
        print(path)' "$setup_root" "$db" | sort -u); fi
  out=${TMPDIR:-/tmp}/tidy.$$
  if printf '%s\n' "${sources[@]}" |
     xargs -P "${SETUP_JOBS:-2}" -n 4 clang-tidy --quiet --use-color=false -p "$setup_root/build-native" >"$out" 2>&1 &&
     ! grep -qE ': (warning|error):' "$out"; then
    echo "tidy: ${#sources[@]} files without findings ($((SECONDS - start)) s)"
  else
    grep -E ': (warning|error):' "$out" | sort -u | head -40
    echo "tidy: findings above ($((SECONDS - start)) s); see one file's with: clang-tidy -p build-native FILE"
    status=1
  fi
  rm -f "$out"
fi
exit $status
