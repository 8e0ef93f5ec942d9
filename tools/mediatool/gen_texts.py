#!/usr/bin/env python3
"""Builds a C++ table (id, text) from the setup's string table so that the
media tool reports exceptions with the same titles the setup shows."""
import re
import sys

ids_h, strings_rc, out = sys.argv[1:4]
names = {}
for line in open(ids_h, encoding="latin-1"):
    m = re.match(r"#define\s+(IDS_\w+)\s+(\d+)", line)
    if m:
        names[m.group(1)] = int(m.group(2))
rows = []
for line in open(strings_rc, encoding="latin-1"):
    m = re.match(r'\s+(\w+)\s+"(.*)"\s*$', line)
    if not m:
        continue
    key, text = m.groups()
    num = int(key) if key.isdigit() else names.get(key)
    if num is None:
        continue
    text = text.replace('""', '\\"')
    rows.append('    {%d, "%s"},' % (num, text))
with open(out, "w", encoding="latin-1") as f:
    f.write("// Generated from resources/strings.rc; do not edit.\n")
    f.write("\n".join(rows) + "\n")
