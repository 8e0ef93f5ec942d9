#!/usr/bin/env python3
"""The payload of scripts/bench-peers.sh, the same for every installer.

  bench-payload.py make STAGING MB METHOD...
      writes about MB megabytes of synthetic files under STAGING/library (program-like
      binaries, text, already-compressed data, in nested directories; the same bytes
      for the same MB), turns the staged sample product's layout into
      STAGING/bench-METHOD.txt for each METHOD (one CD directory, every archive in
      METHOD, the library as one more always installed group) and writes STAGING/manifest.txt: one line per installed file,
      "WINDOWS PATH|SOURCE" with the home directory as C:\\KORAV.
  bench-payload.py nsis STAGING COMPRESSOR OUT.EXE [LINE...]
      writes STAGING/peer.nsi, an NSIS script installing the manifest's files
      (home files below $INSTDIR), compressed with COMPRESSOR ("zlib", "/SOLID zlib", ...),
      with the script LINEs added before its section.
  bench-payload.py check STAGING DRIVE_C
      compares every file of the manifest with the one installed under DRIVE_C;
      prints the differences and exits 1 if there are any.
"""
import filecmp
import itertools
import os
import random
import re
import sys
import zlib

HOME = "C:\\KORAV"
# Where the sample product's destinations lie in the benchmark's prefix:
# -2/-3 Windows and System directory, 3 the common files directory the
# directory page chooses, the others below the home directory.
FIXED = {-2: "C:\\windows", -3: "C:\\windows\\system32", 3: "C:\\Program Files\\Brantoke\\Common", 0: HOME}
FIRST_LIBRARY_ID = 100


def program_like(rng, size):
    """Sections of machine-code-like tokens (a skewed vocabulary, call
    targets), symbol tables and zero padding: about as compressible as an
    executable."""
    vocab = [bytes(rng.choice((0x8B, 0x89, 0x48, 0xFF, 0x0F, 0x83, 0xE8, 0x85, 0x74, 0x75, 0xC3, 0x50, 0x5D,
                               rng.randrange(256))) for _ in range(rng.randint(1, 6))) for _ in range(400)]
    weights = [1.0 / (i + 1) for i in range(len(vocab))]
    names = [("".join(rng.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(4, 12)))).encode()
             for _ in range(300)]
    out, n = [], 0
    while n < size:
        kind = rng.random()
        if kind < 0.7:
            tokens = rng.choices(vocab, weights, k=rng.randint(2000, 12000))
            chunk = b"".join(t + (rng.randbytes(4) if t[:1] == b"\xe8" else b"") for t in tokens)
        elif kind < 0.85:
            chunk = b"\0".join(rng.choice(names) + b"_" + rng.choice(names) for _ in range(rng.randint(50, 400)))
        elif kind < 0.95:
            base = rng.randrange(1 << 24)
            chunk = b"".join((base + i * rng.randint(4, 64)).to_bytes(4, "little") for i in range(rng.randint(100, 800)))
        else:
            chunk = bytes(512 * rng.randint(1, 8))
        out.append(chunk)
        n += len(chunk)
    return b"MZ" + b"".join(out)[: size - 2]


def text_like(rng, size, words):
    # Word frequencies fall off as in natural language.
    weights = list(itertools.accumulate(1.0 / (i + 1) for i in range(len(words))))
    out, n = [], 0
    while n < size:
        line = " ".join(rng.choices(words, cum_weights=weights, k=rng.randint(6, 14))).encode() + b"\r\n"
        out.append(line)
        n += len(line)
    return b"".join(out)[:size]


def compressed_like(rng, size, words):
    """Data that was compressed before it was packed (archives, pictures)."""
    out, n = [], 0
    while n < size:
        raw = text_like(rng, 200000, words) if rng.random() < 0.5 else program_like(rng, 200000)
        chunk = zlib.compress(raw, 9)
        out.append(chunk)
        n += len(chunk)
    return b"PK\3\4" + b"".join(out)[: size - 4]


def make_library(staging, mb):
    """Files of about MB megabytes below staging/library; returns their
    (directory, name) pairs, directory relative to the library, in order."""
    rng = random.Random(24)
    words = ["".join(rng.choice("etaoinshrdlucmfwypvbgkqjxz"[: rng.randint(8, 26)]) for _ in range(rng.randint(1, 10)))
             for _ in range(3000)]
    words = sorted(set(words))
    rng.shuffle(words)
    top = ["bin", "help", "data", "samples", "templates", "lang"]
    dirs = []
    for t in top:
        dirs.append(t)
        for i in range(rng.randint(2, 5)):
            sub = t + "/" + rng.choice(words)[:8] + str(i)
            dirs.append(sub)
            if rng.random() < 0.5:
                dirs.append(sub + "/" + rng.choice(words)[:8] + "x")
    # Kinds by share of the bytes: programs 40 %, text 25 %, compressed 35 %;
    # about ten files per megabyte, most of them small.
    kinds = [("program", (".exe", ".dll", ".ocx"), 0.40), ("text", (".txt", ".htm", ".ini"), 0.25),
             ("compressed", (".zip", ".jpg", ".cab"), 0.35)]
    total = mb * 1000000
    files = []
    for kind, exts, share in kinds:
        budget = int(total * share)
        count = max(4, int(mb * 10 * share * (1.6 if kind == "text" else 1.0)))
        raw = [rng.paretovariate(1.2) for _ in range(count)]
        scale = budget / sum(raw)
        for i, r in enumerate(raw):
            size = max(64, int(r * scale))
            directory = rng.choice(dirs)
            name = "%s%03d%s" % (rng.choice(words)[:6], i, rng.choice(exts))
            files.append((kind, directory, name, size))
    rng.shuffle(files)
    result = []
    for kind, directory, name, size in files:
        if kind == "program":
            data = program_like(rng, size)
        elif kind == "text":
            data = text_like(rng, size, words)
        else:
            data = compressed_like(rng, size, words)
        path = os.path.join(staging, "library", directory)
        os.makedirs(path, exist_ok=True)
        with open(os.path.join(path, name), "wb") as f:
            f.write(data)
        result.append((directory, name))
    return result


def parse_layout(text):
    """The destinations, the archive members and plain files of a layout."""
    destinations, installed, section = {}, [], None
    for line in text.splitlines():
        line = line.strip()
        if not line or line[0] in ";#":
            continue
        if line.startswith("["):
            section = line[1:-1]
            continue
        key, _, value = line.partition("=")
        if section == "destinations":
            fields = value.split("|")
            destinations[int(key)] = (fields[0], int(fields[1]))
        elif section.startswith("archive ") and key == "Member":
            fields = value.split("|")
            if int(fields[1]) != -1:
                installed.append((int(fields[1]), os.path.basename(fields[0]), fields[0]))
        elif section.startswith("file ") and key == "Source":
            installed.append([None, section[5:], value])
        elif section.startswith("file ") and key == "Destination":
            installed[-1][0] = int(value)
    return destinations, installed


def destination_path(destinations, ident):
    if ident in FIXED:
        return FIXED[ident]
    name, parent = destinations[ident]
    return destination_path(destinations, parent) + "\\" + name


def make(staging, mb, methods):
    library = make_library(staging, mb)
    with open(os.path.join(staging, "layout.txt")) as f:
        layout = f.read()
    layout = re.sub(r"(?m)^Capacity=.*$", "Capacity=700000000", layout)
    ids = {}
    lines = []
    for directory, _ in sorted(set((d, None) for d, _ in library)):
        parts = directory.split("/")
        for depth in range(len(parts)):
            sub = "/".join(parts[: depth + 1])
            if sub not in ids:
                ids[sub] = FIRST_LIBRARY_ID + len(ids) + 1
                parent = ids["/".join(parts[:depth])] if depth else FIRST_LIBRARY_ID
                lines.append("%d=%s|%d|" % (ids[sub], parts[depth], parent))
    lines.insert(0, "%d=Library|0|" % FIRST_LIBRARY_ID)
    layout = layout.replace("[destinations]\n", "[destinations]\n" + "\n".join(lines) + "\n", 1)
    layout = layout.replace("[groups]\n", "[groups]\nLibrary=Library|Reference files|1|1|0\n", 1)
    layout += "\n[archive LIBRARY.MF1]\nGroup=Library\nText=library\n"
    layout += "".join("Member=library/%s/%s|%d|\n" % (d, n, ids[d]) for d, n in library)
    for method in methods:
        with open(os.path.join(staging, "bench-%s.txt" % method), "w") as f:
            f.write(re.sub(r"(?m)^Method=.*$", "Method=" + method, layout))
    destinations, installed = parse_layout(layout)
    with open(os.path.join(staging, "manifest.txt"), "w") as f:
        for ident, name, source in installed:
            f.write("%s\\%s|%s\n" % (destination_path(destinations, ident), name, source))


def manifest(staging):
    with open(os.path.join(staging, "manifest.txt")) as f:
        return [line.rstrip("\n").split("|") for line in f if line.strip()]


def nsis(staging, compressor, out, extra):
    lines = ["Unicode true", "Target amd64-unicode", "SetCompressor /FINAL " + compressor, 'Name "Peer"',
             'OutFile "%s"' % out, 'InstallDir "%s"' % HOME, "RequestExecutionLevel user"] + extra + ["Section"]
    current = None
    for target, source in manifest(staging):
        directory, name = target.rsplit("\\", 1)
        if directory != current:
            current = directory
            lines.append('SetOutPath "%s"' % ("$INSTDIR" + directory[len(HOME):] if directory.startswith(HOME) else directory))
        lines.append('File "/oname=%s" "%s"' % (name, os.path.join(staging, source)))
    lines.append("SectionEnd")
    with open(os.path.join(staging, "peer.nsi"), "w") as f:
        f.write("\n".join(lines) + "\n")


def check(staging, drive_c):
    wrong = 0
    for target, source in manifest(staging):
        installed = os.path.join(drive_c, *target[3:].split("\\"))
        if not os.path.isfile(installed):
            # Wine's file names are case-insensitive; Linux sees them as written.
            folder, name = os.path.split(installed)
            matches = [n for n in os.listdir(folder) if n.lower() == name.lower()] if os.path.isdir(folder) else []
            installed = os.path.join(folder, matches[0]) if matches else installed
        if not os.path.isfile(installed):
            print("missing: %s" % target)
            wrong += 1
        elif not filecmp.cmp(installed, os.path.join(staging, source), shallow=False):
            print("different: %s" % target)
            wrong += 1
    return 1 if wrong else 0


if __name__ == "__main__":
    command, staging = sys.argv[1], sys.argv[2]
    if command == "make":
        make(staging, int(sys.argv[3]), sys.argv[4:])
    elif command == "nsis":
        nsis(staging, sys.argv[3], sys.argv[4], sys.argv[5:])
    elif command == "check":
        sys.exit(check(staging, sys.argv[3]))
    else:
        sys.exit(__doc__)
