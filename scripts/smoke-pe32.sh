#!/usr/bin/env bash
# Installs the sample product unattended (sample/KORVISAN.ICF, /I and /M) with
# the PE32 build, the program a Windows 95 user runs, and checks it like the
# PE32+ build's install: exit code, install log, status file, and then every
# file, install record line, stand-in call and registry value against the same
# install by the PE32+ build from a copy of the same prefix.
#
# Machines without 32-bit support run 32-bit Wine through qemu-user: it is
# registered in binfmt_misc for this run only (as setup-qemu-i386) and always
# removed again; while it is there, scripts/wine-env.sh keeps choosing 64-bit
# Wine. The prefix is a win64 one made while registered, so that it gets its
# 32-bit half (syswow64, the 32-bit registry view); setup.exe starts from 64-bit
# Wine and runs as a WoW64 process.
#
# Ends with one line "pe32 smoke: passed|failed|skipped (reason) in N s";
# exit status 0, 1, or 77 when it cannot run here (no binfmt_misc).
# SETUP_KEEP_SMOKE=DIR keeps the media and the three prefixes for inspection.
set -uo pipefail
setup_root=$(cd "$(dirname "$0")/.." && pwd)
started=$SECONDS
binfmt=/proc/sys/fs/binfmt_misc
entry=$binfmt/setup-qemu-i386
qemu=/usr/bin/qemu-i386-static
# Serialises the registration between runs; scripts/make-prefix.sh waits on it.
lock=/tmp/setup-qemu-i386.lock
wine64=/usr/lib/wine/wine64
registered=0
mounted=0
xvfb_pid=""
work=""

unregister() {
  if [ "$registered" = 1 ]; then
    [ -e "$entry" ] && echo -1 >"$entry"
    registered=0
    exec 9>&-
  fi
  if [ "$mounted" = 1 ] && [ "$(ls "$binfmt")" = "$(printf 'register\nstatus')" ]; then
    umount "$binfmt" && mounted=0
  fi
}
cleanup() {
  if [ -n "$work" ]; then
    for prefix in "$work"/base "$work"/pe32 "$work"/pe64; do
      [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
    done
  fi
  unregister
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  if [ -n "$work" ] && [ -n "${SETUP_KEEP_SMOKE:-}" ]; then rm -rf "$SETUP_KEEP_SMOKE" && mv "$work" "$SETUP_KEEP_SMOKE"; fi
  [ -n "$work" ] && rm -rf "$work"
  work=""
}
trap cleanup EXIT

finish() { # finish passed|failed|skipped [REASON]
  local word=$1 reason=${2:-}
  cleanup
  trap - EXIT
  if [ -e "$entry" ]; then
    word=failed
    reason="the qemu registration $entry was left behind${reason:+; $reason}"
  fi
  echo "pe32 smoke: $word${reason:+ ($reason)} in $((SECONDS - started)) s"
  case $word in
    passed) exit 0 ;;
    skipped) exit 77 ;;
    *) exit 1 ;;
  esac
}

trap 'finish failed interrupted' INT TERM

"$setup_root/scripts/install-deps.sh" >/dev/null || finish failed "installing the packages"
. "$setup_root/scripts/lib.sh"
if ! "$setup_root/scripts/build.sh" win >/dev/null || ! "$setup_root/scripts/build.sh" native >/dev/null; then
  finish failed "build"
fi
reference_build=build-win64
if [ "$SETUP_WIN_BUILD" != build-win64 ]; then # 32-bit machine: the PE32+ build is not made by default
  if ! cmake -S "$setup_root" -B "$setup_root/build-win64" -DCMAKE_TOOLCHAIN_FILE="$setup_root/cmake/mingw-x86_64.cmake" >/dev/null ||
    ! cmake --build "$setup_root/build-win64" -j"${SETUP_JOBS:-2}" >/dev/null; then
    finish failed "PE32+ build"
  fi
fi
[ "$(setup_pe_machine "$setup_root/build-win32/bin/setup.exe")" = 4c01 ] || finish failed "build-win32/bin/setup.exe is not PE32"

work=$(mktemp -d "${TMPDIR:-/tmp}/setup-pe32.XXXXXX")
if ! "$setup_root/scripts/make-sample-media.sh" "$work/media32" build-win32 >/dev/null 2>&1 ||
  ! "$setup_root/scripts/make-sample-media.sh" "$work/media64" "$reference_build" >/dev/null 2>&1; then
  finish failed "making the install media"
fi

setup_ensure_display || finish failed "no X display"
xvfb_pid=$SETUP_XVFB_PID

# 32-bit code: natively, through an existing registration, or through ours.
if [ -e "$entry" ]; then # ours, left by a run that was killed (or running now: wait for it)
  exec 9>>"$lock"
  flock -w 900 9 || finish failed "another run kept $lock for 15 minutes"
  [ -e "$entry" ] && echo -1 >"$entry" && echo "removed $entry left by an earlier run"
  exec 9>&-
fi
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  [ -x "$qemu" ] || finish skipped "$qemu is missing"
  if [ ! -e "$binfmt/register" ]; then
    mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null ||
      finish skipped "binfmt_misc is not mounted and cannot be mounted here"
    mounted=1
  fi
  [ -w "$binfmt/register" ] || finish skipped "cannot register in binfmt_misc (needs root)"
  exec 9>>"$lock"
  flock -w 900 9 || finish failed "another run kept $lock for 15 minutes"
  registered=1
  printf '%s' ':setup-qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' \
    >"$binfmt/register" 2>/dev/null || finish skipped "binfmt_misc refused the registration"
  /usr/lib/wine/wine --version >/dev/null 2>&1 || finish failed "32-bit Wine does not start through qemu"
fi
# qemu gives a 32-bit guest 4 GiB by default; Wine then reserves the upper
# 2 GiB 64 KiB at a time, about a minute in every 32-bit process. 2 GiB (what
# Windows 95 gives a program) plus room for Wine's loader: a few seconds.
export QEMU_RESERVED_VA=0x81000000 SETUP_QEMU_LOCK_HELD=1

# The prefix: win64 with its 32-bit half, Windows 95 mode.
t=$SECONDS
SETUP_WINE=$wine64 SETUP_WINEARCH=win64 WINEARCH=win64 timeout 600 "$setup_root/scripts/make-prefix.sh" "$work/base" ||
  finish failed "making the WoW64 prefix"
[ -f "$work/base/drive_c/windows/syswow64/kernel32.dll" ] || finish failed "the prefix has no 32-bit half"
echo "WoW64 prefix made in $((SECONDS - t)) s"
for side in pe32 pe64; do
  cp -a "$work/base" "$work/$side"
  cp "$setup_root/sample/KORVISAN.ICF" "$work/$side/drive_c/KORVISAN.ICF"
done

run_setup() { # run_setup SIDE MEDIA: setup.exe unattended in the side's prefix; prints its exit code
  local status=0
  WINEPREFIX=$work/$1 timeout 600 "$wine64" "$2/media/DISK01/setup.exe" '/I:C:\KORVISAN.ICF' '/M:C:\KORVISAN.MIF' \
    </dev/null >/dev/null 2>&1 || status=$?
  WINEPREFIX=$work/$1 wineserver -k >/dev/null 2>&1
  WINEPREFIX=$work/$1 wineserver -w >/dev/null 2>&1
  echo "$status"
}
t=$SECONDS
declare -A code
code[pe32]=$(run_setup pe32 "$work/media32")
echo "PE32 install ended in $((SECONDS - t)) s"
unregister
code[pe64]=$(run_setup pe64 "$work/media64")

problems=()
for side in pe32 pe64; do
  c=$work/$side/drive_c
  last=$(tail -1 "$c/KORSETUP.LOG" 2>/dev/null | tr -d '\r')
  result=$(setup_mif_value "$c/KORVISAN.MIF" Status)
  echo "$side: exit code ${code[$side]} (modulo 256), $(find "$c/KORAV" -type f 2>/dev/null | wc -l) files under C:\\KORAV," \
    "status file $result, log: $last"
  # 3010: the realtime driver asks for a restart.
  [ "${code[$side]}" = 194 ] || problems+=("$side: exit code ${code[$side]}, not 194 (3010)")
  [ "$last" = "Setup ended: Success, restart required, exit code 3010" ] || problems+=("$side: log ends \"$last\"")
  [ "$result" = Success ] || problems+=("$side: status file says $result")
done
echo "PE32 engine calls: $(tr -d '\r' <"$work/pe32/drive_c/windows/VSE32ENG.REC" 2>/dev/null | tr '\n' ' ')"
python3 "$setup_root/scripts/compare-installs.py" "$work/base" "$work/pe64" "$work/pe32" ||
  problems+=("the PE32 install differs from the PE32+ one (above)")
[ ${#problems[@]} -eq 0 ] || { printf '%s\n' "${problems[@]}"; finish failed "${problems[0]}"; }
finish passed
