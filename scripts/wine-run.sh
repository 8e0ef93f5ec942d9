#!/usr/bin/env bash
# Runs one Win32 program under Wine in a fresh copy of the template prefix, then
# ends that prefix's wineserver and removes the copy. ctest uses it as the
# cross-compiling emulator. Environment:
#   SETUP_WINE_TEMPLATE  template prefix (default: <win build>/wine-template)
#   SETUP_WINE_VERSION   Windows version of the copy (default: the template's, win95)
#   SETUP_KEEP_PREFIX    directory to move the used prefix to, for inspection
#   SETUP_SMALL_DRIVE_KB a tmpfs of this size is mounted as drive S: and the
#                        program gets SETUP_SMALL_DRIVE=S:\ (needs mount
#                        rights; without them the variable stays unset)
set -u
setup_root=$(cd "$(dirname "$0")/.." && pwd)
. "$setup_root/scripts/lib.sh"
if [ "$SETUP_WINEARCH" = win64 ] && [ -f "${1:-}" ] && [ "$(setup_pe_machine "$1")" = 4c01 ]; then
  echo "wine-run: $1 is a 32-bit program and this machine cannot execute 32-bit code; run the tests of build-win64 (scripts/build.sh win builds it)" >&2
  exit 125
fi
setup_template_prefix "${SETUP_WINE_TEMPLATE:-}" || { echo "wine-run: cannot make $SETUP_TEMPLATE" >&2; exit 125; }
template=$SETUP_TEMPLATE
# One run in a fresh copy of the template.
run_once() {
  local work small rc
  work=$(mktemp -d "${TMPDIR:-/tmp}/setup-wine.XXXXXX")
  cp -a "$template" "$work/prefix"
  export WINEPREFIX=$work/prefix
  if [ -n "${SETUP_WINE_VERSION:-}" ]; then setup_windows_version "$SETUP_WINE_VERSION"; fi
  small=""
  if [ -n "${SETUP_SMALL_DRIVE_KB:-}" ]; then
    mkdir -p "$work/small"
    if mount -t tmpfs -o "size=${SETUP_SMALL_DRIVE_KB}k" tmpfs "$work/small" 2>/dev/null; then
      small=$work/small
      ln -sfn "$small" "$WINEPREFIX/dosdevices/s:"
      export SETUP_SMALL_DRIVE='S:\'
    else
      echo "wine-run: cannot mount a small drive here" >&2
    fi
  fi
  "$SETUP_WINE" "$@"
  rc=$?
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  if [ -n "$small" ]; then umount "$small"; fi
  if [ -n "${SETUP_KEEP_PREFIX:-}" ]; then rm -rf "$SETUP_KEEP_PREFIX"; mv "$work/prefix" "$SETUP_KEEP_PREFIX"; fi
  rm -rf "$work"
  return $rc
}
# Without a display, each run gets a fresh Xvfb of its own: stopped here.
stop_display() {
  if [ -n "${SETUP_XVFB_PID:-}" ]; then
    kill "$SETUP_XVFB_PID" 2>/dev/null
    wait "$SETUP_XVFB_PID" 2>/dev/null
    SETUP_XVFB_PID=""
    unset DISPLAY
  fi
}
trap stop_display EXIT
# Wine's X11 driver ends a program on an X protocol error of its own
# (BadWindow on configuring or unmapping a window that is already gone; on a
# busy 2-core machine in up to half the runs of the page tests, with the
# code of before as well). That says nothing about the program, so it runs
# again in a fresh prefix, up to three more times, saying so.
errors=$(mktemp "${TMPDIR:-/tmp}/setup-wine-errors.XXXXXX")
for attempt in 1 2 3 4; do
  # Started before the run, so that $! below is tee's.
  if ! setup_ensure_display; then
    stop_display
    rc=125
    break
  fi
  run_once "$@" 2> >(tee "$errors" >&2)
  rc=$?
  wait $! 2>/dev/null
  stop_display
  if [ $rc -eq 0 ] || ! grep -q '^X Error of failed request' "$errors" || [ $attempt -eq 4 ]; then break; fi
  echo "wine-run: Wine stopped the program on an X error; running it again in a fresh prefix (run $((attempt + 1)) of 4)" >&2
done
rm -f "$errors"
exit $rc
