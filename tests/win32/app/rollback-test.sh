#!/usr/bin/env bash
# rollback-test.sh BIN failures|kills|cancels: the real setup.exe under Wine,
# in a fresh prefix, compared with the prefix as it was before (files,
# registry and the system text files, through setup_snapshot; the install log
# and the status file are left out of every snapshot).
# failures:
#  - an installation that fails on page 108 (an archive damaged), and one
#    that fails on page 1555 (KORVISAN.INI cannot be written), leave the
#    machine as they found it;
#  - an installation killed on its last page (the rescue stand-in waits while
#    RESCUE.WAIT is there), then one more start of setup: that start takes
#    back the killed run first, fails as above, and the machine is again as
#    it was;
# kills:
#  - installations killed at several changes of pages 108 and 1555 (setup
#    built with a pause point, killsetup.exe), each followed by one start of
#    setup /I: it takes the killed run back, installs, and the machine is as
#    after a clean installation.
# cancels:
#  - interactive installations (scripts/walk-setup.sh) cancelled on pages
#    108, 1555 and 1567 (the Cancel pressed and confirmed by killsetup.exe at
#    a change of the page) end with 1602 and leave the machine as it was.
set -u
bin=$1
part=${2:-failures}
setup_root=$(cd "$(dirname "$0")/../../.." && pwd)
. "$setup_root/scripts/lib.sh"
setup_script_test "$bin" rollback-test
work=$SETUP_WORK

# The stand-ins' own records of their calls (NAME.REC) are no change of
# setup's; the programs an installation started (the distribution agent,
# Program Manager's windows) are ended first.
snapshot() {
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  rm -f "$windows"/*.REC
  setup_snapshot "$WINEPREFIX" "$1"
}
# What differs between any two clean installations is left out: the install
# date, and the shortcuts, which hold their targets' file times.
install_snapshot() {
  snapshot "$1" &&
    sed -i -E 's/^(f .*\.lnk [0-9]+) [0-9a-f]{40}$/\1/' "$1/files.txt" &&
    sed -i -E 's/^(.*"InstallDate"=dword:).*/\1.../' "$1/hklm.txt"
}
same() { # same A B: the snapshots agree (differences are printed)
  local d
  d=$(setup_snapshot_diff "$1" "$2")
  [ -z "$d" ] || { echo "$d" | head -40; return 1; }
}
fresh_prefix() { # a prefix as the template made it, with the settings file
  rm -rf "$work/prefix"
  cp -a "$SETUP_TEMPLATE" "$work/prefix"
  export WINEPREFIX=$work/prefix
  c=$WINEPREFIX/drive_c
  windows=$(find "$c" -maxdepth 1 -iname windows)
  cp "$setup_root/sample/KORVISAN.ICF" "$c/KORVISAN.ICF"
}

"$setup_root/scripts/make-sample-media.sh" "$work" 2>/dev/null || { echo "rollback-test: no media"; exit 1; }
media=$work/media/DISK01
cp -r "$work/media" "$work/damaged"
printf 'XXXXXXXX' | dd of="$work/damaged/DISK01/MAIN.MF1" bs=1 seek=2000 conv=notrunc 2>/dev/null
# The same media with killsetup.exe as setup.exe (pause points, cancels).
cp -r "$work/media" "$work/pausing"
cp "$bin/killsetup.exe" "$work/pausing/DISK01/setup.exe"

# Starts setup from DIR with setup's ARGS, waits until FILE appears (the
# run has reached its pause point), then kills every program of the prefix.
# False when the run ended before FILE came.
run_until_killed() { # run_until_killed FILE DIR ARGS...
  local pid
  timeout 300 "$SETUP_WINE" "$2/setup.exe" "${@:3}" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1200); do
    [ -f "$1" ] || ! kill -0 $pid 2>/dev/null && break
    sleep 0.1
  done
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  wait $pid
  [ -f "$1" ]
}

settings=(/I:C:\\KORVISAN.ICF /M:C:\\KORVISAN.MIF)
setup() { timeout 300 "$SETUP_WINE" "$1/setup.exe" "${@:2}" >/dev/null 2>&1; echo $?; }
log_has() { grep -q "$1" "$c/KORSETUP.LOG"; }

failures() {
  fresh_prefix
  snapshot "$work/before"
  code=$(setup "$work/damaged/DISK01" "${settings[@]}")
  echo "failed on page 108: exit code $code, log ends \"$(tail -1 "$c/KORSETUP.LOG" | tr -d '\r')\""
  setup_check "failed on 108: exit code 1603" test "$code" = $((1603 % 256))
  setup_check "failed on 108: the log says what was taken back" log_has '^Setup took back its changes: [0-9]* undone, 0 could not be undone'
  snapshot "$work/after-failure"
  setup_check "failed on 108: the machine as it was" same "$work/before" "$work/after-failure"

  # Fails in the middle of page 1555: KORVISAN.INI cannot be written (a
  # directory of that name; the tests run as root, who writes read-only files).
  fresh_prefix
  mkdir "$windows/KORVISAN.INI"
  snapshot "$work/before-1555"
  code=$(setup "$media" "${settings[@]}")
  echo "failed on page 1555: exit code $code, log ends \"$(tail -1 "$c/KORSETUP.LOG" | tr -d '\r')\""
  setup_check "failed on 1555: exit code 1603" test "$code" = $((1603 % 256))
  setup_check "failed on 1555: the log says why" log_has '^Setup ended: Failed (Cannot configure the product: Cannot write .*KORVISAN.INI'
  setup_check "failed on 1555: the log says what was taken back" log_has '^Setup took back its changes: [0-9]* undone, 0 could not be undone'
  snapshot "$work/after-1555"
  setup_check "failed on 1555: the machine as it was" same "$work/before-1555" "$work/after-1555"

  # Killed on page 1567, after the copy and the configuration.
  fresh_prefix
  touch "$windows/RESCUE.WAIT"
  snapshot "$work/before-kill"
  setup_check "killed on 1567: reached the rescue library" run_until_killed "$windows/RESCUE.REC" "$media" "${settings[@]}"
  setup_check "killed on 1567: it had installed" test -f "$c/KORAV/korvi95.exe"
  rm -f "$c/KORSETUP.LOG"
  code=$(setup "$work/damaged/DISK01" "${settings[@]}")
  echo "next start: exit code $code"
  setup_check "next start: the killed run taken back first" log_has '^An earlier setup did not finish: its changes were taken back'
  snapshot "$work/after-kill"
  setup_check "next start: the machine as it was before the killed run" same "$work/before-kill" "$work/after-kill"
}

kills() {
  # A clean installation, the state every installation after a kill must reach.
  fresh_prefix
  clean_code=$(setup "$media" "${settings[@]}")
  install_snapshot "$work/clean"
  echo "clean installation: exit code $clean_code"

  # Killed right before a change: the first of page 108 (a file copied straight
  # from the media), one in the middle of the copy, the Program Manager group;
  # the first of page 1555 (the Uninstall key), a KORVISAN.INI entry, the
  # AUTOEXEC.BAT rewrite.
  paused=$work/paused
  for point in "108 1" "108 27" "108 53" "1555 1" "1555 93" "1555 134"; do
    fresh_prefix
    rm -f "$paused"
    export KILLSETUP_PAUSE="$point $(winpath "$paused")"
    setup_check "killed at change $point: reached" run_until_killed "$paused" "$work/pausing/DISK01" "${settings[@]}"
    unset KILLSETUP_PAUSE
    rm -f "$c/KORSETUP.LOG"
    code=$(setup "$media" "${settings[@]}")
    echo "killed at change $point, then setup /I: exit code $code"
    setup_check "killed at change $point: the next start took it back" log_has '^An earlier setup did not finish: its changes were taken back ([0-9]* undone, 0 could not'
    setup_check "killed at change $point: the next start installed" test "$code" = "$clean_code"
    install_snapshot "$work/after-$point"
    setup_check "killed at change $point: the machine as after a clean installation" same "$work/clean" "$work/after-$point"
  done
}

walk_ended_1602() { # the walk's last lines when it did not
  grep -q 'setup.exe ended with exit code 1602' "$work/walk.log" || { tail -5 "$work/walk.log"; return 1; }
}

cancels() {
  local point page
  for point in "108 27" "1555 93" "1567 1"; do
    page=${point% *}
    fresh_prefix
    snapshot "$work/before-cancel"
    KILLSETUP_CANCEL=$point "$setup_root/scripts/walk-setup.sh" "$work/pausing/DISK01" "$work/shots" 116 /cancelled:1 \
      >"$work/walk.log" 2>&1
    setup_check "cancelled on $page: page 116 and exit code 1602" walk_ended_1602
    setup_check "cancelled on $page: the log says what was taken back" log_has '^Setup took back its changes: [0-9]* undone'
    snapshot "$work/after-cancel"
    setup_check "cancelled on $page: the machine as it was" same "$work/before-cancel" "$work/after-cancel"
  done
}

case $part in
  failures | kills | cancels) "$part" ;;
  *) echo "rollback-test: failures, kills or cancels, not $part"; exit 2 ;;
esac
setup_checks_passed
