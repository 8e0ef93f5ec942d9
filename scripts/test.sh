#!/usr/bin/env bash
# Runs every test: installs what is needed, builds both trees, runs the native
# tests (sanitizers on), the Win32 tests under Wine (each test program in a
# fresh Windows 95 prefix, under Xvfb), and a short run of each fuzz target.
set -uo pipefail
setup_root=$(cd "$(dirname "$0")/.." && pwd)
"$setup_root/scripts/install-deps.sh" || exit 1
. "$setup_root/scripts/wine-env.sh"
"$setup_root/scripts/build.sh" all >/dev/null || { "$setup_root/scripts/build.sh" all 2>&1 | tail -40; exit 1; }

failed=0
passed=0
count() { # ctest's summary line: "NN% tests passed, F tests failed out of T"
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -1)
  if [ -n "$line" ]; then
    local f t
    f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    t=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
    passed=$((passed + t - f)); failed=$((failed + f))
  else
    failed=$((failed + 1))
  fi
}

log=$(mktemp)
echo "== native tests"
ctest --test-dir "$setup_root/build-native" --output-on-failure 2>&1 | tee "$log" | tail -5
count "$log"

echo "== Win32 tests under Wine ($SETUP_WINEARCH)"
"$setup_root/scripts/make-prefix.sh" "$setup_root/$SETUP_WIN_BUILD/wine-template"
display=:$((200 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null' EXIT
export DISPLAY=$display
ctest --test-dir "$setup_root/$SETUP_WIN_BUILD" --output-on-failure 2>&1 | grep -v -E '^ALSA|alsa' | tee "$log" | tail -8
count "$log"

if [ -x "$setup_root/scripts/fuzz.sh" ]; then
  echo "== fuzzing (short)"
  if "$setup_root/scripts/fuzz.sh" "${SETUP_FUZZ_SECONDS:-20}" >"$log" 2>&1; then
    passed=$((passed + 1)); tail -3 "$log"
  else
    failed=$((failed + 1)); tail -30 "$log"
  fi
fi
rm -f "$log"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
