#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan, UBSan) in build-fuzz and runs
# each for the given number of seconds (default 60). CI runs it with 20;
# for a long run: scripts/fuzz.sh 3600. Corpora stay in build-fuzz/corpus.
set -euo pipefail
setup_root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=$setup_root/build-fuzz
targets="fuzz_archive fuzz_lzh fuzz_deflate fuzz_lzh_roundtrip fuzz_profile fuzz_checksum fuzz_undo_journal"
CC=clang CXX=clang++ cmake -S "$setup_root" -B "$build" -DSETUP_FUZZ=ON -DSETUP_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target $targets >/dev/null
corpus=$build/corpus
mkdir -p "$corpus"/{archive,lzh,deflate,roundtrip,profile,checksum,undo}
# Seeds: the peer vectors as decoder inputs (3-byte size prefix), and small
# archives of every method, one of them cut into volumes.
python3 - "$setup_root/tests/vectors" "$corpus" <<'PY'
import os, struct, sys, zlib
vec, corpus = sys.argv[1:3]
for line in open(os.path.join(vec, "MANIFEST")):
    name, method, kind, size = line.split()
    data = open(os.path.join(vec, name), "rb").read()
    if len(data) > 40000:
        continue
    sub = "lzh" if method == "lzh" else "deflate"
    open(os.path.join(corpus, sub, name), "wb").write(struct.pack("<I", int(size))[:3] + data)
def header(name, expanded, stored, crc, method, dest=0, cont=0):
    h = b"mfen" + struct.pack("<HHii", 1, 346, 0, 0)
    h += name.encode().ljust(260, b"\0")
    h += struct.pack("<IIIIiihHh", expanded, stored, crc, 0, method, 0, dest, 0x20, cont)
    return h + b"Newer".ljust(40, b"\0")
text = b"the scanner and the setup diskette " * 40
z = zlib.compress(text)
arc = b"mflh\0\0\0\0" + header("A.TXT", len(text), len(text), 0, 2) + text
arc += header("B.TXT", len(text), len(z), 0, 4) + z + header("C.BIN", 0, 0, 0, 2, -1)
open(os.path.join(corpus, "archive", "one-volume"), "wb").write(b"\0" + arc)
cut = 8 + 346 + 100
first = arc[:cut]
first = first[:8 + 304] + struct.pack("<h", 1) + first[8 + 306:]
open(os.path.join(corpus, "archive", "two-volumes"), "wb").write(b"\1" + struct.pack("<H", cut) + first + b"mflh\0\0\0\0" + arc[cut:])
open(os.path.join(corpus, "roundtrip", "text"), "wb").write(text)
open(os.path.join(corpus, "checksum", "text"), "wb").write(b"\xff\xff\xff\xff\x40\x02" + text)
profile = (b"[destinations]\r\n0=|-1|\r\n2=Data|0|\r\n3=Common|-1|\r\n[groups]\r\n"
           b"Main=Manager|The scanner|1|1|1\r\nPublic=Public files|Always|1|1|0\r\n"
           b"[targets]\r\nKORVI95.EXE=0|-1|0|Brantoke AntiVirus|||\r\nKORCMD95.EXE=0|-1|1|@Agent|/s||\r\n"
           b"[diskettes]\r\n1=Disk 1|\r\n2=Disk 2|\r\n[Main]\r\nMAIN.MF1=382007|1|3|-1|0|main\r\n"
           b"MAIN.MF2=1000|1|3|2|0|\r\n[Public]\r\nREADME.TXT=55|0|1|1|2|\r\n")
open(os.path.join(corpus, "profile", "profile"), "wb").write(profile)
settings = (b"[UserInfo]\r\nName=Somebody\r\nCompany=Firm\r\n[KorvisanInstall]\r\nInstallPath=C:\\AV\r\n"
            b"[Components]\r\nRealtime=1\r\n[Distribution]\r\nInBegHr=8\r\nBeginHour=9\r\nServer=SERVERNAME\r\n"
            b"[rename]\r\nNUL=C:\\TEMP\\X.TMP\r\n")
open(os.path.join(corpus, "profile", "settings"), "wb").write(settings)
open(os.path.join(corpus, "profile", "journal"), "wb").write(
    b"temp=C:\\AV\\0a1b2c3d.exe\r\naside=33|C:\\AV\\1234abcd.dll|C:\\AV\\k.dll\r\n")
open(os.path.join(corpus, "undo", "journal"), "wb").write(
    b"KORSETUP UNDO 1\r\ndir|C:\\AV\r\nfile|C:\\AV\\K.DLL|C:\\AV\\0a1b2c3d.DLL|33\r\n"
    b"key|HKLM|Software\\Brantoke\r\nvalue|HKLM|Software\\Brantoke|Path|1:433a5c415600\r\n"
    b"ini|C:\\WINDOWS\\KORVISAN.INI|Options|Sound|=31\r\nsection|C:\\WINDOWS\\WIN.INI|Korvisan\r\n"
    b"text|C:\\AUTOEXEC.BAT|C:\\12345678.BAT|32\r\nwininit|C:\\WINDOWS\\WININIT.INI|0|NUL=C:\\X.TMP\r\n"
    b"group|1|Brantoke%7CAV\r\nitem|Brantoke|Scanner\r\ncall|rescue.dll|A:\\\r\ncommit\r\ndir|C:\\B")
open(os.path.join(corpus, "undo", "wininit"), "wb").write(
    b"NUL=C:\\X.TMP\r\n[rename]\r\nNUL=C:\\X.TMP\r\nC:\\A=C:\\B\r\n[other]\r\nNUL=C:\\X.TMP\r\n")
open(os.path.join(corpus, "profile", "switches"), "wb").write(b"/D:A:\\ /T123 /U /I:KORVISAN.ICF /M:STATUS.MIF /B")
PY
status=0
run() { # target corpus-subdir
  echo "== $1 for ${seconds}s"
  "$build/bin/$1" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/$1-" \
      "$corpus/$2" 2>"$build/$1.log" || { status=1; tail -40 "$build/$1.log"; }
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$build/$1.log" || true
}
run fuzz_archive archive
run fuzz_lzh lzh
run fuzz_deflate deflate
run fuzz_lzh_roundtrip roundtrip
run fuzz_profile profile
run fuzz_checksum checksum
run fuzz_undo_journal undo
exit $status
