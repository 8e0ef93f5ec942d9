#!/usr/bin/env python3
"""Counts test cases from ctest's JUnit file: GoogleTest programs by their own
summary lines, other ctest entries as one case each. Prints "PASSED FAILED
SKIPPED" on the last line. With --require NAME (repeatable), an entry of that
name that was skipped, or ran with skipped cases, counts as failed (CI must
run it)."""
import re
import sys
import xml.etree.ElementTree as ET

args = sys.argv[1:]
required = set()
files = []
while args:
    a = args.pop(0)
    if a == "--require":
        required.add(args.pop(0))
    else:
        files.append(a)

def number(pattern, text):
    m = re.search(pattern, text, re.M)
    return int(m.group(1)) if m else 0

passed = failed = skipped = 0
for path in files:
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError) as e:
        print(f"count-tests: {path}: {e}", file=sys.stderr)
        failed += 1
        continue
    for case in root.iter("testcase"):
        name = case.get("name", "")
        status = case.get("status", "")
        out = case.findtext("system-out") or ""
        if re.search(r"^\[==========\] \d+ tests? from .* ran\.", out, re.M):
            p = number(r"^\[  PASSED  \] (\d+) tests?\.", out)
            s = number(r"^\[  SKIPPED \] (\d+) tests?, listed below", out)
            f = number(r"^\[  FAILED  \] (\d+) tests?, listed below", out)
            # A program that failed after its cases (a leak report, a crash at exit).
            if status == "fail" and f == 0:
                f = 1
        elif status == "notrun":
            p, s, f = 0, 1, 0
        elif status == "run":
            p, s, f = 1, 0, 0
        else:  # failed, or died before GoogleTest's summary
            p, s, f = 0, 0, 1
        if name in required and s > 0:
            print(f"count-tests: {name} must run here (CI) but was skipped", file=sys.stderr)
            f += s
            s = 0
        passed += p
        failed += f
        skipped += s
print(passed, failed, skipped)
