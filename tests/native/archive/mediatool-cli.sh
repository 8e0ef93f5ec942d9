#!/usr/bin/env bash
# The media tool's command line: build, list, verify and extract a small
# product, and the failure report of each bad input (class, cause, title).
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
mkdir src
head -c 300000 /dev/urandom > src/BIG.BIN
seq 1 20000 > src/NUMBERS.TXT
printf 'hello\n' > src/HELLO.TXT
cat > product.layout <<'LAYOUT'
[media]
Capacity=120000
Method=smallest
[destinations]
0=|-1|
[groups]
Main=Main|Main files|1|1|0
[archive MAIN.MF1]
Group=Main
Member=src/BIG.BIN|0
Member=src/NUMBERS.TXT|0|Newer
[file HELLO.TXT]
Group=Main
Source=src/HELLO.TXT
Destination=0
LAYOUT
"$tool" build product.layout media > build.out 2> build.err || fail "build: $(cat build.err)"
grep -q '^\[1/2\] MAIN.MF1: BIG.BIN' build.err || fail "no progress lines"
[ -f media/DISK01/SETUP.INI ] && [ -f media/DISK01/MAIN.MF1 ] && [ -f media/DISK02/MAIN.MF2 ] || fail "media layout: $(ls -R media)"
grep -q '^MAIN.MF1=[0-9]*|1|2|-1|0|' media/DISK01/SETUP.INI || fail "profile: $(cat media/DISK01/SETUP.INI)"
"$tool" list media/DISK01/MAIN.MF1 > list.out
grep -q 'BIG.BIN .* continues' list.out && grep -q 'NUMBERS.TXT' list.out || fail "list: $(cat list.out)"
"$tool" verify media/DISK01/MAIN.MF1 | grep -q '2 members verified' || fail verify
"$tool" extract media/DISK01/MAIN.MF1 out > /dev/null
cmp out/BIG.BIN src/BIG.BIN && cmp out/NUMBERS.TXT src/NUMBERS.TXT || fail "extracted bytes differ"
"$tool" extract media/DISK01/MAIN.MF1 one NUMBERS.TXT > /dev/null
[ -f one/NUMBERS.TXT ] && [ ! -f one/BIG.BIN ] || fail "extract by name"

# Failures: exit 1 and the setup's report.
expect() { # expected-text command...
  local want=$1; shift
  if "$@" > fail.out 2>&1; then fail "$* succeeded"; fi
  grep -qF -- "$want" fail.out || fail "$*: wanted '$want', got '$(cat fail.out)'"
}
printf 'MZ this is no archive' > NOTARC.MF1
expect 'CMultiFileException 2 File is not an archive file.' "$tool" list NOTARC.MF1
printf 'mflh' > SHORT.MF1
expect 'CXFileException 14 End of file.' "$tool" verify SHORT.MF1
expect 'CXFileException 2 File not found.' "$tool" verify NOFILE.MF1
cp media/DISK01/MAIN.MF1 media/DISK01/BAD.MF1
printf 'XXXX' | dd of=media/DISK01/BAD.MF1 bs=1 seek=8 conv=notrunc 2>/dev/null
expect 'CMultiFileException 3 Archive file damaged (missing entry header).' "$tool" verify media/DISK01/BAD.MF1
"$tool" pack -m stored CRC.MF1 src/NUMBERS.TXT 2>/dev/null
size=$(stat -c %s CRC.MF1)
printf 'Z' | dd of=CRC.MF1 bs=1 seek=$((size - 10)) conv=notrunc 2>/dev/null
expect 'CMultiFileException 5 Archive file damaged (CRC Mismatch)' "$tool" verify CRC.MF1
"$tool" pack -m stored METH.MF1 src/HELLO.TXT 2>/dev/null
printf '\005' | dd of=METH.MF1 bs=1 seek=$((8 + 292)) conv=notrunc 2>/dev/null
expect 'CMultiFileException 1 Unknown compression method.' "$tool" verify METH.MF1
rm media/DISK02/MAIN.MF2
expect 'CXFileException 14 End of file.' "$tool" verify media/DISK01/MAIN.MF1
expect 'would not have a valid file name' "$tool" pack -s 50000 A.MF9 src/BIG.BIN
echo "mediatool command line ok"
