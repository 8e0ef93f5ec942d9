#!/usr/bin/env python3
"""Compares what two installations did to copies of one Wine prefix:
compare-installs.py BASE REFERENCE OTHER. Each side is what changed on
drive C: and in the registry files against BASE. OTHER may be a 32-bit
program in a WoW64 prefix: its Program Files (x86), syswow64 and
Wow6432Node are the 64-bit reference's Program Files, system32 and plain
keys. Program files and shortcuts are compared by presence (they differ per
architecture and per run), other files by content; the few values that
differ per run (the rescue disk's window handle, the status file's date,
the install date) are masked. Prints each difference; exits 1 if any."""
import difflib
import hashlib
import os
import re
import sys

# Written by Wine itself at every start, not by the program under test.
REGISTRY_NOISE = re.compile(
    r"^(Software\\\\Wine\\\\|Software\\\\Microsoft\\\\Cryptography$|"
    r"Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\MMDevices\\\\|"
    r"System\\\\CurrentControlSet\\\\Control\\\\Class\\\\\{4D36E968-|"
    r"System\\\\CurrentControlSet\\\\Enum\\\\PCI\\\\)")
PRESENCE_ONLY = (".lnk",)


def normal_path(path):
    path = path.replace("Program Files (x86)", "Program Files")
    return re.sub(r"^windows/syswow64/", "windows/system32/", path)


def normal_text(text):
    text = text.replace("Program Files (x86)", "Program Files")
    text = re.sub(r"(CreateRescueDisk )[0-9A-F]*[1-9A-F][0-9A-F]*( )", r"\1<window>\2", text)
    text = re.sub(r'VALUE = "\d\d/\d\d/\d\d \d\d:\d\d:\d\d"', 'VALUE = "<date>"', text)
    return text


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha1(f.read()).hexdigest()


def files(prefix):
    root = os.path.join(prefix, "drive_c")
    out = {}
    for directory, _, names in os.walk(root):
        for name in names:
            path = os.path.join(directory, name)
            if not os.path.islink(path):
                out[os.path.relpath(path, root)] = path
    return out


def unchanged(a, b):
    sa, sb = os.stat(a), os.stat(b)
    if sa.st_size != sb.st_size:
        return False
    return sa.st_mtime_ns == sb.st_mtime_ns or digest(a) == digest(b)


def file_delta(base, prefix):
    before = files(base)
    out = {}
    for rel, path in files(prefix).items():
        if rel in before and unchanged(before[rel], path):
            continue
        with open(path, "rb") as f:
            data = f.read()
        if data[:2] == b"MZ" or rel.lower().endswith(PRESENCE_ONLY):
            content = "(present)"
        else:
            content = normal_text(data.decode("latin-1"))
        out[normal_path(rel)] = content
    for rel in before:
        if not os.path.lexists(os.path.join(prefix, "drive_c", rel)):
            out[normal_path(rel)] = "(deleted)"
    return out


def registry(path):
    keys, key = {}, None
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            m = re.match(r"^\[(.*)\] \d+$", line)
            if m:
                key = m.group(1)
                keys[key] = []
            elif key is not None and line and line[0] not in "#;":
                keys[key].append(line)
    return keys


def registry_delta(base, prefix):
    out = {}
    for hive in ("system.reg", "user.reg"):
        before = registry(os.path.join(base, hive))
        for key, values in registry(os.path.join(prefix, hive)).items():
            name = key.replace("Wow6432Node\\\\", "")
            if before.get(key) == values or not values or REGISTRY_NOISE.match(name):
                continue
            values = [normal_text(v) for v in values if not v.startswith('"InstallDate"=')]
            out[hive + ":" + name] = sorted(values)
    return out


def main(base, reference, other):
    differences = 0
    for what, delta in (("file", file_delta), ("registry key", registry_delta)):
        a, b = delta(base, reference), delta(base, other)
        if not a:
            print(f"the reference run changed no {what}")
            differences += 1
        for name in sorted(set(a) | set(b)):
            if a.get(name) != b.get(name):
                differences += 1
                print(f"{what} {name}:")
                show(a.get(name), b.get(name))
    return 1 if differences else 0


def show(reference, other):
    if isinstance(reference, str) and isinstance(other, str):
        reference, other = reference.splitlines(), other.splitlines()
    if isinstance(reference, list) and isinstance(other, list):
        lines = list(difflib.unified_diff(reference, other, "reference", "other", lineterm="", n=1))
        for line in lines[:20]:
            print("  " + line)
    else:
        state = {None: "missing", "(present)": "present", "(deleted)": "deleted"}
        print(f"  reference: {state.get(reference, 'changed')}, other: {state.get(other, 'changed')}")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
