# Sourced by the scripts: what more than one of them needs. Sets setup_root
# (the source tree) and everything scripts/wine-env.sh sets.
setup_root=${setup_root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
. "$setup_root/scripts/wine-env.sh"

# A Unix path as Windows programs see it: drive Z: is the root of the Linux
# file system in every prefix.
winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); echo "Z:${p//\//\\}"; }

# The machine field of a PE file's header: 4c01 for PE32 (i386), 6486 for PE32+.
setup_pe_machine() { od -An -tx1 -j "$(($(od -An -tu4 -j60 -N4 "$1") + 4))" -N2 "$1" | tr -d ' '; }

# A fresh Xvfb on a display no one uses, ready for clients when this returns
# (Xvfb itself picks the number and writes it once it accepts connections).
# Sets DISPLAY and SETUP_XVFB_PID; the caller kills it.
setup_start_display() {
  local fifo number=""
  fifo=$(mktemp -u "${TMPDIR:-/tmp}/setup-display.XXXXXX")
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$fifo" >/dev/null 2>&1 &
  SETUP_XVFB_PID=$!
  read -r -t 30 number <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$number" ]; then
    echo "setup_start_display: Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=:$number
}

# The caller's display, else a fresh Xvfb (setup_start_display). Sets
# SETUP_XVFB_PID to the Xvfb to kill, empty when DISPLAY was set already.
setup_ensure_display() {
  SETUP_XVFB_PID=""
  [ -n "${DISPLAY:-}" ] || setup_start_display
}

# The Windows version Wine reports in the prefix WINEPREFIX: win95, winxp, ...
setup_windows_version() { # setup_windows_version VERSION
  "$SETUP_WINE" reg add 'HKCU\Software\Wine' /v Version /d "$1" /f >/dev/null 2>&1
}

# The Windows 95 prefix the runs copy (or use): DIR, by default the build's
# template <win build>/wine-template, made by scripts/make-prefix.sh when it
# is missing, or always with --fresh. Sets SETUP_TEMPLATE to DIR; fails when
# it cannot be made.
# shellcheck disable=SC2120 # the scripts that source this pass arguments
setup_template_prefix() { # setup_template_prefix [--fresh] [DIR]
  local fresh=0
  if [ "${1:-}" = --fresh ]; then
    fresh=1
    shift
  fi
  SETUP_TEMPLATE=${1:-$setup_root/$SETUP_WIN_BUILD/wine-template}
  if [ "$fresh" = 1 ] || [ ! -d "$SETUP_TEMPLATE/drive_c" ]; then
    "$setup_root/scripts/make-prefix.sh" "$SETUP_TEMPLATE" >/dev/null
  fi
}

# The VALUE of the attribute NAME ("Status", "Description", ...) in a status
# file, without quotes and padding; empty when there is none.
setup_mif_value() { # setup_mif_value FILE NAME
  grep -A5 "NAME = \"$2\"" "$1" 2>/dev/null | sed -n 's/^ *VALUE = "\(.*\)" *\r*$/\1/p' | head -1 | sed 's/ *$//'
}

# For a script test given BIN, the directory of the programs it runs: exits
# 77 (skipped) unless they are the tree this machine runs, then makes sure
# the template prefix exists and sets SETUP_TEMPLATE to it.
setup_script_test_prefix() { # setup_script_test_prefix BIN TEST_NAME
  if [ "$(cd "$1" && pwd)" != "$setup_root/$SETUP_WIN_BUILD/bin" ]; then
    echo "$2: this machine runs the programs of $SETUP_WIN_BUILD, not $1"
    exit 77
  fi
  setup_template_prefix
}
