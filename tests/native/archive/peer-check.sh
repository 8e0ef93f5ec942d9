#!/usr/bin/env bash
# Live peer check: our LZH streams in an LHA archive extract with lhasa, and
# jlha's archives decode with our decoder. Skips (77) without the peers.
set -euo pipefail
tool=$1 gen=$2 root=$3
command -v lha >/dev/null && command -v jlha >/dev/null || exit 77
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
for ks in text:70000 noise:30000 runs:200000 mixed:400000; do
  kind=${ks%%:*} size=${ks##*:}
  "$gen" "$kind" "$size" "$kind.bin"
  "$tool" encode lzh "$kind.bin" "$kind.lh5"
  python3 "$root/scripts/lzh-container.py" wrap "$kind.lh5" "$kind.bin" "$kind.lzh"
  mkdir "x-$kind"
  (cd "x-$kind" && lha xqf "../$kind.lzh")
  cmp "x-$kind/$kind.bin" "$kind.bin"
  jlha a "j-$kind.lzh" "$kind.bin" >/dev/null 2>&1
  mkdir "raw-$kind"
  python3 "$root/scripts/lzh-container.py" raw "j-$kind.lzh" "raw-$kind" >/dev/null
  "$tool" decode lzh "raw-$kind/$kind.bin.lh5" "$kind.dec" "$size"
  cmp "$kind.dec" "$kind.bin"
  echo "$kind: ours $(stat -c %s "$kind.lh5") bytes, jlha $(stat -c %s "raw-$kind/$kind.bin.lh5") bytes, both ways ok"
done
