#!/usr/bin/env bash
# walk-test.sh BIN: the interactive installation of scripts/run-setup.sh, with
# two screenshots instead of all, checked: the pages in their order, the
# chosen components' files, the home directory in the registry, the install
# log's and the status file's verdict, the screenshots.
set -u
bin=$1
setup_root=$(cd "$(dirname "$0")/../../.." && pwd)
. "$setup_root/scripts/lib.sh"
setup_script_test "$bin" walk-test
template=$SETUP_TEMPLATE
work=$SETUP_WORK
cp -a "$template" "$work/prefix"
export WINEPREFIX=$work/prefix

"$setup_root/scripts/make-sample-media.sh" "$work" 2>/dev/null || { echo "walk-test: no media"; exit 1; }
"$setup_root/scripts/walk-setup.sh" "$work/media/DISK01" "$work/shots" 125,1554 | tee "$work/walk.log"
status=${PIPESTATUS[0]}
c=$WINEPREFIX/drive_c

setup_check "the walk ends with the installation done" test "$status" = 0
pages=$(sed -n 's/.*pages: *//p' "$work/walk.log" | tr -d '\r')
# The pages that only flash by may be missed on a busy machine.
setup_check "pages in order: $pages" \
  grep -Eq '^102 (1559 )?(114 )?1568 126 125 127 104 (1552 )?1557 1556 108 (1555 )?(1567 )?115 1554$' <<<"$pages"
setup_check "setup ends with 3010 (restart declined)" grep -q 'setup.exe ended with exit code 3010' "$work/walk.log"
for f in korvi95.exe rtwatch.exe autodl95.exe Netware.txt uninstal.exe README.TXT; do
  setup_check "chosen component's file $f" test -f "$c/KORAV/$f"
done
setup_check "home directory in the registry" grep -q 'HOME.*C:\\KORAV' \
  <("$SETUP_WINE" reg query 'HKLM\SOFTWARE\Brantoke\Korvisan\CurrentVersion\Path' /v HOME 2>/dev/null)
setup_check "log ends with Success" grep -qx 'Setup ended: Success, restart required, exit code 3010' \
  <(tail -1 "$c/KORSETUP.LOG" | tr -d '\r')
setup_check "status file says Success" test "$(setup_mif_value "$c/KORVISAN.MIF" Status)" = Success
shots=("$work"/shots/*.bmp)
setup_check "two screenshots: ${shots[*]##*/}" test -f "$(echo "$work"/shots/*-125.bmp)" -a -f "$(echo "$work"/shots/*-1554.bmp)" -a "${#shots[@]}" = 2
setup_check "screenshots differ" test "$(md5sum "${shots[@]}" | cut -c1-32 | sort -u | wc -l)" = 2
setup_check "screenshots are whole screens" test "$(stat -c %s "${shots[0]}")" = $((54 + 1024 * 768 * 3))
setup_checks_passed
