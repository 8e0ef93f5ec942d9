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

# What a script test given BIN begins with: exits 77 (skipped) unless BIN is
# the tree this machine runs, makes sure the template prefix exists (sets
# SETUP_TEMPLATE), makes a work directory SETUP_WORK and a display. At exit
# the programs of the prefix in use, the Xvfb it started and SETUP_WORK go.
setup_script_test() { # setup_script_test BIN TEST_NAME
  if [ "$(cd "$1" && pwd)" != "$setup_root/$SETUP_WIN_BUILD/bin" ]; then
    echo "$2: this machine runs the programs of $SETUP_WIN_BUILD, not $1"
    exit 77
  fi
  setup_template_prefix
  SETUP_WORK=$(mktemp -d "${TMPDIR:-/tmp}/$2.XXXXXX")
  SETUP_XVFB_PID=""
  trap 'wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
        [ -n "$SETUP_XVFB_PID" ] && kill $SETUP_XVFB_PID; rm -rf "$SETUP_WORK"' EXIT
  setup_ensure_display || exit 1
}

# A script test's check: runs COMMAND, prints "ok: DESCRIPTION" or
# "FAILED: DESCRIPTION"; setup_checks_passed is true when none failed.
SETUP_FAILED_CHECKS=0
setup_check() { # setup_check DESCRIPTION COMMAND...
  if "${@:2}"; then
    echo "ok: $1"
  else
    echo "FAILED: $1"
    SETUP_FAILED_CHECKS=$((SETUP_FAILED_CHECKS + 1))
  fi
}
setup_checks_passed() { [ "$SETUP_FAILED_CHECKS" = 0 ]; }

# A picture of a prefix's machine state, to tell whether a run left anything
# behind: setup_snapshot PREFIX OUTDIR writes to OUTDIR
#   files.txt  every directory, file (size, sha1) and link under drive_c
#   hklm.txt, hkcu.txt  the registry as `regedit /E` exports it, one line per
#              key and per value (continued lines joined), sorted
#   text/      AUTOEXEC.BAT, WIN.INI and SYSTEM.INI as they are
# Left out: the install log C:\KORSETUP.LOG and the status file
# C:\KORVISAN.MIF, which every run writes; what Wine itself rewrites in a
# prefix nobody touches: HKLM\Hardware (made at every session start) and the
# display adapter and monitor classes (their driver date is the session's);
# and what Wine adds the first time any program plays a sound or shows a
# folder window: HKLM\...\CurrentVersion\MMDevices, HKCU\Software\Wine\Drivers
# and HKCU\...\Explorer\Advanced.
# Runs regedit in the prefix and returns once its wineserver has ended (so a
# program still running there keeps it waiting).
setup_snapshot() { # setup_snapshot PREFIX OUTDIR
  local prefix out=$2 root name
  prefix=$(cd "$1" && pwd) || return 1
  [ -d "$prefix/drive_c" ] || { echo "setup_snapshot: $prefix is no prefix" >&2; return 1; }
  rm -rf "$out"
  mkdir -p "$out/text"
  python3 - "$prefix/drive_c" "$out/files.txt" <<'PY' || return 1
import hashlib, os, sys
top, lines = sys.argv[1], []
for here, dirs, files in os.walk(top):
    rel = os.path.relpath(here, top)
    for name in dirs + files:
        path = os.path.join(here, name)
        shown = os.path.normpath(os.path.join(rel, name))
        if os.path.islink(path):
            lines.append(f"l {shown} -> {os.readlink(path)}")
        elif os.path.isdir(path):
            lines.append(f"d {shown}")
        elif shown.lower() not in ("korsetup.log", "korvisan.mif"):
            with open(path, "rb") as f:
                digest = hashlib.sha1(f.read()).hexdigest()
            lines.append(f"f {shown} {os.path.getsize(path)} {digest}")
lines.sort()
with open(sys.argv[2], "w", encoding="utf-8", errors="surrogateescape") as f:
    f.write("\n".join(lines) + "\n")
PY
  for root in HKEY_LOCAL_MACHINE HKEY_CURRENT_USER; do
    WINEPREFIX=$prefix "$SETUP_WINE" regedit /E "$(winpath "$out/$root.reg")" "$root" || {
      echo "setup_snapshot: regedit could not export $root" >&2
      return 1
    }
  done
  WINEPREFIX=$prefix wineserver -w
  python3 - "$out" <<'PY' || return 1
import re, sys
out = sys.argv[1]
volatile = re.compile(r"^(HKEY_LOCAL_MACHINE\\(Hardware|System\\CurrentControlSet\\Control\\Class\\"
                      r"\{4D36E96[8E]-E325-11CE-BFC1-08002BE10318\}|Software\\Microsoft\\Windows\\CurrentVersion\\MMDevices"
                      r"|System\\CurrentControlSet\\Control\\(DeviceClasses|Video|ServiceCurrent)"
                      r"|System\\CurrentControlSet\\Hardware Profiles)"
                      r"|HKEY_CURRENT_USER\\(Software\\Wine\\Drivers|Software\\Wine\\Temporary System Parameters|"
                      r"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced))(\\|$)", re.I)
for root, short in (("HKEY_LOCAL_MACHINE", "hklm"), ("HKEY_CURRENT_USER", "hkcu")):
    text = open(f"{out}/{root}.reg", encoding="utf-16").read().replace("\r\n", "\n")
    lines, key, pending = [], None, ""
    for raw in text.split("\n"):
        line = pending + raw.lstrip() if pending else raw
        if line.endswith("\\") and not line.startswith("["):
            pending = line[:-1]
            continue
        pending = ""
        if not line or line.startswith(("Windows Registry Editor", "REGEDIT", ";")):
            continue
        if line.startswith("[") and line.endswith("]"):
            key = line[1:-1]
            line = ""
        if not volatile.match(key or ""):
            lines.append((key, line))
    # Keys by their parts, each key's values (in whatever order they were written) by name.
    lines.sort(key=lambda kv: (kv[0].lower().split("\\"), kv[1].lower(), kv[1]))
    with open(f"{out}/{short}.txt", "w", encoding="utf-8") as f:
        f.writelines(f"[{key}] {line}".rstrip() + "\n" for key, line in lines)
PY
  rm -f "$out"/HKEY_*.reg
  for name in autoexec.bat windows/win.ini windows/system.ini; do
    find "$prefix/drive_c" -ipath "$prefix/drive_c/$name" -exec cp -p {} "$out/text/" \;
  done
}

# Prints what differs between two snapshots ("-" only in A, "+" only in B);
# returns 0 when they are the same.
setup_snapshot_diff() { # setup_snapshot_diff A B
  local status=0 part
  for part in files.txt hklm.txt hkcu.txt; do
    if ! cmp -s "$1/$part" "$2/$part"; then
      status=1
      echo "== $part"
      diff -U0 "$1/$part" "$2/$part" | grep -E '^[-+][^-+]'
    fi
  done
  if ! diff -r "$1/text" "$2/text" >/dev/null; then
    status=1
    echo "== text"
    diff -r -N -U0 "$1/text" "$2/text" | grep -v -E '^(@@|diff )'
  fi
  return $status
}
