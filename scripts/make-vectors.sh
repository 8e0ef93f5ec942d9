#!/usr/bin/env bash
# Regenerates tests/vectors: streams made by independent peers from the
# deterministic sample inputs, plus our encoder's streams after lhasa has
# extracted them correctly.
#   jlha-KIND.lh5   -lh5- stream written by jlha (jlha-utils)
#   ours-KIND.lh5   -lh5- stream of our encoder (checked with lhasa's lha)
#   zlib-KIND-L.zz  zlib stream written by Python's zlib at level L
# MANIFEST lists "file method kind size" for the tests.
# Usage: scripts/make-vectors.sh [build-dir]   (default build-native)
set -euo pipefail
setup_root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$setup_root/build-native}
gen=$build/tests/native/archive/samplegen
tool=$build/tools/mediatool/mediatool
for t in "$gen" "$tool"; do [ -x "$t" ] || { echo "build $t first (cmake --build $build)" >&2; exit 1; }; done
command -v jlha >/dev/null || { echo "jlha (jlha-utils) is needed" >&2; exit 1; }
command -v lha >/dev/null || { echo "lha (lhasa) is needed" >&2; exit 1; }
out=$setup_root/tests/vectors
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
rm -f "$out"/*.lh5 "$out"/*.zz "$out"/MANIFEST
kinds="text:100000 noise:20000 random:20000 runs:300000 mixed:150000"
for ks in $kinds; do
  kind=${ks%%:*} size=${ks##*:}
  "$gen" "$kind" "$size" "$work/$kind.bin"
  # jlha's stream, taken out of its archive.
  (cd "$work" && jlha a "jlha-$kind.lzh" "$kind.bin" >/dev/null 2>&1)
  mkdir -p "$work/raw-$kind"
  # jlha stores incompressible data (-lh0-); only its -lh5- streams count.
  if python3 "$setup_root/scripts/lzh-container.py" raw "$work/jlha-$kind.lzh" "$work/raw-$kind" | grep -q -- "-lh5-"; then
    cp "$work/raw-$kind/$kind.bin.lh5" "$out/jlha-$kind.lh5"
    echo "jlha-$kind.lh5 lzh $kind $size" >> "$out/MANIFEST"
  fi
  # Ours, accepted only when lhasa extracts the original bytes.
  "$tool" encode lzh "$work/$kind.bin" "$work/ours-$kind.lh5"
  python3 "$setup_root/scripts/lzh-container.py" wrap "$work/ours-$kind.lh5" "$work/$kind.bin" "$work/ours-$kind.lzh"
  mkdir -p "$work/x-$kind"
  (cd "$work/x-$kind" && lha xqf "../ours-$kind.lzh")
  cmp "$work/x-$kind/$kind.bin" "$work/$kind.bin"
  cp "$work/ours-$kind.lh5" "$out/"
  echo "ours-$kind.lh5 lzh $kind $size" >> "$out/MANIFEST"
  for level in 1 9; do
    python3 -c 'import sys, zlib; open(sys.argv[2], "wb").write(zlib.compress(open(sys.argv[1], "rb").read(), int(sys.argv[3])))' \
      "$work/$kind.bin" "$out/zlib-$kind-$level.zz" "$level"
    echo "zlib-$kind-$level.zz deflate $kind $size" >> "$out/MANIFEST"
  done
done
du -sh "$out"
