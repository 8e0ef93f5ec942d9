#!/usr/bin/env python3
"""The layers of setup.exe's sources, lowest first. A file may include its own
folder and the folders of lower layers, never a higher one: a change low down
cannot depend on the pages or the application object above it. Folders of one
layer do not include each other. Tools, stand-ins, tests, fuzz targets and
benchmarks stand outside and may include anything.

  scripts/check-layers.py [ROOT]   (exit 1 naming every include that reaches up)
"""
import os
import re
import subprocess
import sys

LAYERS = [
    ["framework", "resources"],
    ["engine/base"],
    ["archive", "engine/journal", "engine/profile"],
    ["config/log"],
    ["config/placement"],
    ["engine"],
    ["wizard/base"],
    ["config"],
    ["product"],
    ["wizard"],
    ["app"],
]
OUTSIDE = ("tools", "standins", "tests", "fuzz", "bench", "sample", "scripts", "docs", "cmake")
RANK = {folder: rank for rank, layer in enumerate(LAYERS) for folder in layer}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(path):
    """The deepest layered folder holding path, or None."""
    parts = os.path.dirname(path).split("/")
    while parts and parts[0]:
        folder = "/".join(parts)
        if folder in RANK:
            return folder
        parts.pop()
    return None


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    files = subprocess.run(["git", "-C", root, "ls-files", "*.cpp", "*.h", "*.c", "*.rc"],
                           capture_output=True, text=True, check=True).stdout.split()
    faults = []
    checked = 0
    for path in files:
        if path.split("/")[0] in OUTSIDE:
            continue
        own = folder_of(path)
        if own is None:
            faults.append(f"{path}: in no layer (add its folder to scripts/check-layers.py)")
            continue
        with open(os.path.join(root, path), encoding="latin-1") as f:
            for number, line in enumerate(f, 1):
                m = INCLUDE.match(line)
                if not m or "/" not in m.group(1):
                    continue
                checked += 1
                target = folder_of(m.group(1))
                if target is None:
                    faults.append(f"{path}:{number}: includes {m.group(1)}, which is in no layer")
                elif target != own and RANK[target] >= RANK[own]:
                    how = "the same layer" if RANK[target] == RANK[own] else "a higher layer"
                    faults.append(f"{path}:{number}: {own}/ includes {m.group(1)}, from {how} ({target}/)")
    for fault in faults:
        print(fault)
    verdict = "failed" if faults else "passed"
    print(f"layers: {verdict}: {checked} includes of {len(LAYERS)} layers")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
