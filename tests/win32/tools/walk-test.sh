#!/usr/bin/env bash
# walk-test.sh BIN: the interactive installation of scripts/run-setup.sh, with
# two screenshots instead of all, checked: the pages in their order, the
# chosen components' files, the home directory in the registry, the install
# log's and the status file's verdict, the screenshots.
set -u
bin=$1
setup_root=$(cd "$(dirname "$0")/../../.." && pwd)
. "$setup_root/scripts/lib.sh"
setup_script_test_prefix "$bin" walk-test
template=$SETUP_TEMPLATE
work=$(mktemp -d "${TMPDIR:-/tmp}/walk-test.XXXXXX")
cp -a "$template" "$work/prefix"
export WINEPREFIX=$work/prefix
xvfb_pid=
trap 'wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1; [ -n "$xvfb_pid" ] && kill $xvfb_pid; rm -rf "$work"' EXIT
setup_ensure_display || exit 1
xvfb_pid=$SETUP_XVFB_PID

failures=0
check() { # check DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

"$setup_root/scripts/make-sample-media.sh" "$work" 2>/dev/null || { echo "walk-test: no media"; exit 1; }
"$setup_root/scripts/walk-setup.sh" "$work/media/DISK01" "$work/shots" 125,1554 | tee "$work/walk.log"
status=${PIPESTATUS[0]}
c=$WINEPREFIX/drive_c

check "the walk ends with the installation done" test "$status" = 0
pages=$(sed -n 's/.*pages: *//p' "$work/walk.log" | tr -d '\r')
# The pages that only flash by may be missed on a busy machine.
check "pages in order: $pages" \
  grep -Eq '^102 (1559 )?(114 )?1568 126 125 127 104 (1552 )?1557 1556 108 (1555 )?(1567 )?115 1554$' <<<"$pages"
check "setup ends with 3010 (restart declined)" grep -q 'setup.exe ended with exit code 3010' "$work/walk.log"
for f in korvi95.exe rtwatch.exe autodl95.exe Netware.txt uninstal.exe README.TXT; do
  check "chosen component's file $f" test -f "$c/KORAV/$f"
done
check "home directory in the registry" grep -q 'HOME.*C:\\KORAV' \
  <("$SETUP_WINE" reg query 'HKLM\SOFTWARE\Brantoke\Korvisan\CurrentVersion\Path' /v HOME 2>/dev/null)
check "log ends with Success" grep -qx 'Setup ended: Success, restart required, exit code 3010' \
  <(tail -1 "$c/KORSETUP.LOG" | tr -d '\r')
check "status file says Success" test "$(setup_mif_value "$c/KORVISAN.MIF" Status)" = Success
shots=("$work"/shots/*.bmp)
check "two screenshots: ${shots[*]##*/}" test -f "$(echo "$work"/shots/*-125.bmp)" -a -f "$(echo "$work"/shots/*-1554.bmp)" -a "${#shots[@]}" = 2
check "screenshots differ" test "$(md5sum "${shots[@]}" | cut -c1-32 | sort -u | wc -l)" = 2
check "screenshots are whole screens" test "$(stat -c %s "${shots[0]}")" = $((54 + 1024 * 768 * 3))
[ "$failures" = 0 ]
