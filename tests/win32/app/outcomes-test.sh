#!/usr/bin/env bash
# outcomes-test.sh BIN [RUNS]: the real setup.exe under Wine, unattended, in
# fresh prefixes, checked for an outcome that tells what happened:
#  - media split over DISK01 and DISK02 (the last three archives on diskette 2),
#    RebootAfter=1 with no time-out, RUNS times (default 1): start.job
#    installed, status file and log's last line final before the restart
#    Wine carries out, no status work file anywhere;
#  - then the removal with an installed program running: 3010, NUL= line;
#  - the second archive damaged: 1603, status file and log name it;
#  - another Windows version: ends by itself, Failed status file, 1603.
set -u
bin=$1
runs=${2:-1}
setup_root=$(cd "$(dirname "$0")/../../.." && pwd)
. "$setup_root/scripts/lib.sh"
setup_script_test "$bin" outcomes-test
template=$SETUP_TEMPLATE
work=$SETUP_WORK

fresh_prefix() { # fresh_prefix NAME: a copy of the template as WINEPREFIX
  [ -n "${WINEPREFIX:-}" ] && { wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1; }
  cp -a "$template" "$work/$1"
  export WINEPREFIX=$work/$1
  c=$WINEPREFIX/drive_c
}
setup() { # setup MEDIA ARGUMENTS...: runs setup.exe, prints its exit code modulo 256
  timeout 300 "$SETUP_WINE" "$1/setup.exe" "${@:2}" >/dev/null 2>&1
  echo $?
}
last_line() { tail -1 "$c/KORSETUP.LOG" 2>/dev/null | tr -d '\r'; }
status_value() { setup_mif_value "$c/KORVISAN.MIF" "$1"; } # Status|Description
status_lines() { grep -c '' "$c/KORVISAN.MIF" 2>/dev/null || echo 0; }

"$setup_root/scripts/make-sample-media.sh" "$work" 2>/dev/null || { echo "outcomes-test: no media"; exit 1; }
media=$work/media
mkdir -p "$media/DISK02"
for f in DADOVO.MF1 COMMON.MF1 UNINST.MF1; do
  mv "$media/DISK01/$f" "$media/DISK02/"
  sed -i "s/^\($f=[0-9]*|[0-9]*|[0-9]*|\)1|/\12|/" "$media/DISK01/SETUP.INI"
done
sed -e 's/^RebootAfter=0/RebootAfter=1/' -e '/^RebootAfter=/a RebootTimeout=0' "$setup_root/sample/KORVISAN.ICF" >"$work/REBOOT.ICF"
settings=(/I:C:\\KORVISAN.ICF /M:C:\\KORVISAN.MIF)

for run in $(seq "$runs"); do
  fresh_prefix "split$run"
  cp "$work/REBOOT.ICF" "$c/KORVISAN.ICF"
  code=$(setup "$media/DISK01" "${settings[@]}")
  echo "split media, RebootAfter=1, run $run: exit code $code, log ends \"$(last_line)\""
  setup_check "run $run: exit code 3010" test "$code" = $((3010 % 256))
  setup_check "run $run: start.job in the home directory" cmp -s "$media/DISK01/start.job" "$c/KORAV/start.job"
  setup_check "run $run: diskette 2's archives installed" test -f "$c/KORAV/autodl95.exe" -a -f "$c/KORAV/uninstal.exe"
  setup_check "run $run: log ends restarting" test "$(last_line)" = "Setup ended: Success, restarting Windows, exit code 3010"
  setup_check "run $run: whole status file saying Success" test "$(status_lines)" = 69 -a "$(status_value Status)" = Success
  setup_check "run $run: no status work file" test -z "$(find "$c" -maxdepth 3 -iname 'mif*.tmp')"
done

# The removal, with an installed program still running.
"$SETUP_WINE" 'C:\KORAV\avwindow.exe' kept >/dev/null 2>&1 &
for _ in $(seq 100); do [ -f "$c/KORAV/avwindow-kept.txt" ] && break; sleep 0.1; done
rm -f "$c/KORSETUP.LOG"
code=$(setup "$media/DISK01" /U "${settings[@]}")
echo "removal with avwindow.exe running: exit code $code, log ends \"$(last_line)\""
setup_check "removal: exit code 3010" test "$code" = $((3010 % 256))
wininit=$(find "$c/windows" -maxdepth 1 -iname wininit.ini)
setup_check "removal: the running program scheduled" grep -qix 'NUL=C:\\KORAV\\avwindow.exe' <(tr -d '\r' <"${wininit:-/dev/null}")
echo "removal: WININIT.INI holds: $(tr -s '\r\n' ' ' <"${wininit:-/dev/null}")"
setup_check "removal: the log names it" grep -q 'avwindow.exe is in use' "$c/KORSETUP.LOG"
setup_check "removal: the other files gone" test "$(ls "$c/KORAV" | grep -v -x -e avwindow.exe -e avwindow-kept.txt)" = ""
setup_check "removal: log ends restart required" test "$(last_line)" = "Setup ended: Success, restart required, exit code 3010"

# The second archive damaged.
fresh_prefix damaged
cp "$setup_root/sample/KORVISAN.ICF" "$c/KORVISAN.ICF"
cp -r "$media" "$work/damaged-media"
printf 'XXXXXXXX' | dd of="$work/damaged-media/DISK01/MAIN.MF1" bs=1 seek=2000 conv=notrunc 2>/dev/null
code=$(setup "$work/damaged-media/DISK01" "${settings[@]}")
echo "MAIN.MF1 damaged: exit code $code, log ends \"$(last_line)\", status $(status_value Status): $(status_value Description)"
setup_check "damaged: exit code 1603" test "$code" = $((1603 % 256))
setup_check "damaged: status Failed naming MAIN.MF1" test "$(status_value Status)" = Failed -a -n "$(status_value Description | grep "'MAIN.MF1'")"
setup_check "damaged: log lists the item" grep -q '^Not installed: MAIN.MF1 (' "$c/KORSETUP.LOG"
setup_check "damaged: log ends counting it" grep -q '1 item skipped: MAIN.MF1, exit code 1603$' <(last_line)

# Another Windows version: refused without a box.
fresh_prefix winxp
setup_windows_version winxp
begun=$(date +%s)
code=$(setup "$media/DISK01" "${settings[@]}")
took=$(($(date +%s) - begun))
echo "winxp: exit code $code after $took s, status $(status_value Status): $(status_value Description)"
setup_check "winxp: ends by itself with 1603" test "$code" = $((1603 % 256)) -a "$took" -lt 30
setup_check "winxp: Failed status file" test "$(status_lines)" = 69 -a "$(status_value Status)" = Failed
setup_check "winxp: log ends failed" grep -q '^Setup ended: Failed (This program requires Microsoft Windows95), exit code 1603$' <(last_line)
setup_checks_passed
