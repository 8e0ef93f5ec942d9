#!/usr/bin/env bash
# rollback-test.sh BIN: the real setup.exe under Wine, unattended, in a fresh
# prefix, compared with the prefix as it was before (files, registry and the
# system text files, through setup_snapshot; the install log and the status
# file are left out of every snapshot):
#  - an installation that fails on page 108 (an archive damaged) leaves the
#    machine as it found it;
#  - an installation killed on its last page (the rescue stand-in waits while
#    RESCUE.WAIT is there), then one more start of setup: that start takes
#    back the killed run first, fails as above, and the machine is again as
#    it was.
set -u
bin=$1
setup_root=$(cd "$(dirname "$0")/../../.." && pwd)
. "$setup_root/scripts/lib.sh"
setup_script_test_prefix "$bin" rollback-test
work=$(mktemp -d "${TMPDIR:-/tmp}/rollback-test.XXXXXX")
setup_ensure_display || exit 1
xvfb_pid=$SETUP_XVFB_PID
trap 'wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1; [ -n "$xvfb_pid" ] && kill $xvfb_pid; rm -rf "$work"' EXIT

failures=0
check() { # check DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
# The stand-ins' own records of their calls (NAME.REC) are no change of setup's.
snapshot() { rm -f "$windows"/*.REC; setup_snapshot "$WINEPREFIX" "$1"; }
same() { # same A B: the snapshots agree (differences are printed)
  local d
  d=$(setup_snapshot_diff "$1" "$2")
  [ -z "$d" ] || { echo "$d" | head -40; return 1; }
}

"$setup_root/scripts/make-sample-media.sh" "$work" 2>/dev/null || { echo "rollback-test: no media"; exit 1; }
media=$work/media/DISK01
cp -r "$work/media" "$work/damaged"
printf 'XXXXXXXX' | dd of="$work/damaged/DISK01/MAIN.MF1" bs=1 seek=2000 conv=notrunc 2>/dev/null

cp -a "$SETUP_TEMPLATE" "$work/prefix"
export WINEPREFIX=$work/prefix
c=$WINEPREFIX/drive_c
windows=$(find "$c" -maxdepth 1 -iname windows)
cp "$setup_root/sample/KORVISAN.ICF" "$c/KORVISAN.ICF"
settings=(/I:C:\\KORVISAN.ICF /M:C:\\KORVISAN.MIF)
setup() { timeout 300 "$SETUP_WINE" "$1/setup.exe" "${@:2}" >/dev/null 2>&1; echo $?; }

snapshot "$work/before"
code=$(setup "$work/damaged/DISK01" "${settings[@]}")
echo "failed on page 108: exit code $code, log ends \"$(tail -1 "$c/KORSETUP.LOG" | tr -d '\r')\""
check "failed run: exit code 1603" test "$code" = $((1603 % 256))
check "failed run: the log says what was taken back" grep -q '^Setup took back its changes: [0-9]* undone, 0 could not be undone' "$c/KORSETUP.LOG"
snapshot "$work/after-failure"
check "failed run: the machine as it was" same "$work/before" "$work/after-failure"

# Killed on page 1567, after the copy and the configuration.
touch "$windows/RESCUE.WAIT"
snapshot "$work/before-kill"
timeout 300 "$SETUP_WINE" "$media/setup.exe" "${settings[@]}" >/dev/null 2>&1 &
for _ in $(seq 1200); do [ -f "$windows/RESCUE.REC" ] && break; sleep 0.1; done
check "killed run: reached the rescue library" test -f "$windows/RESCUE.REC"
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
wait
check "killed run: it had installed" test -f "$c/KORAV/korvi95.exe"
rm -f "$c/KORSETUP.LOG"
code=$(setup "$work/damaged/DISK01" "${settings[@]}")
echo "next start: exit code $code"
check "next start: the killed run taken back first" grep -q '^An earlier setup did not finish: its changes were taken back' "$c/KORSETUP.LOG"
snapshot "$work/after-kill"
check "next start: the machine as it was before the killed run" same "$work/before-kill" "$work/after-kill"
[ "$failures" = 0 ]
