#!/usr/bin/env python3
"""Fails when a program that runs on the user's machine would not load on Windows 95.

    check-win95-imports.py BUILD_DIR

Reads the import table (objdump -p) of every PE32 program and library under
BUILD_DIR/bin that setup runs, loads or installs, and checks each imported
DLL and name against the export lists of the Windows 95 (4.00.950) system
libraries in scripts/win95/ (their sources are in each file's header and in
notes.md). A name Windows 95 exports only as a stub that fails (stubs.txt) is
allowed from allowed-stubs.txt alone, where each entry names the code path
that runs on Windows 95 when the call fails.
"""
import os
import re
import subprocess
import sys

LISTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "win95")
# Programs of the build that never reach a user's machine: the walk driver of
# the main job and the copy benchmark run under Wine only.
NOT_SHIPPED = {"setupwalk.exe", "copy_bench.exe"}


def names(path):
    with open(path, encoding="utf-8") as f:
        return {line.strip() for line in f if line.strip() and not line.startswith("#")}


def allowed_stubs():
    path = os.path.join(LISTS, "allowed-stubs.txt")
    allowed = {}
    for line in open(path, encoding="utf-8"):
        if line.strip() and not line.startswith("#"):
            name, _, reason = line.strip().partition(" ")
            allowed[name] = reason.strip()
    return allowed


def imports(objdump, program):
    """(dll, name) pairs; name is None for an import by ordinal."""
    out = subprocess.run([objdump, "-p", program], check=True, capture_output=True, text=True).stdout
    dll = None
    for line in out.splitlines():
        m = re.match(r"\s*DLL Name: (\S+)", line)
        if m:
            dll = m.group(1).lower()
        elif dll is not None and not line.strip():
            dll = None  # a blank line ends the DLL's entries
        elif dll is not None:
            fields = line.split()
            if len(fields) == 3 and re.match(r"^[0-9a-f]+$", fields[0]) and fields[1].isdigit():
                yield dll, None if fields[2] == "<none>" else fields[2]


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    bindir = os.path.join(sys.argv[1], "bin")
    objdump = os.environ.get("OBJDUMP", "i686-w64-mingw32-objdump")
    stubs = names(os.path.join(LISTS, "stubs.txt"))
    allowed = allowed_stubs()
    exports = {}
    programs = []
    for root, _, files in os.walk(bindir):
        for f in sorted(files):
            if f.lower().endswith((".exe", ".dll")) and f not in NOT_SHIPPED:
                programs.append(os.path.join(root, f))
    if not programs:
        print(f"win95 imports: no programs under {bindir}")
        return 1
    problems = []
    checked = 0
    for program in sorted(programs):
        shown = os.path.relpath(program, bindir)
        header = subprocess.run([objdump, "-f", program], check=True, capture_output=True, text=True).stdout
        if "pei-i386" not in header:
            problems.append(f"{shown}: not a PE32 (i386) program")
            continue
        for dll, name in imports(objdump, program):
            checked += 1
            base = dll[:-4] if dll.endswith(".dll") else dll
            list_path = os.path.join(LISTS, base + ".txt")
            if base not in exports:
                exports[base] = names(list_path) if os.path.exists(list_path) else None
            if exports[base] is None:
                problems.append(f"{shown}: imports {dll}, which Windows 95 does not ship")
            elif name is None:
                problems.append(f"{shown}: imports {dll} by ordinal, which cannot be checked")
            elif name not in exports[base]:
                problems.append(f"{shown}: imports {dll}!{name}, which Windows 95 does not export")
            elif name in stubs and name not in allowed:
                problems.append(f"{shown}: imports {dll}!{name}, a stub that fails on Windows 95 "
                                "(allowed only from scripts/win95/allowed-stubs.txt, with its fallback)")
    for p in sorted(set(problems)):
        print(p)
    verdict = "failed" if problems else "passed"
    print(f"win95 imports: {verdict}: {len(programs)} programs, {checked} imports")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
