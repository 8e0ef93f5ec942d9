#!/usr/bin/env python3
"""Moves raw -lh5- streams in and out of LHA archives for the peer tests.

  lzh-container.py raw ARCHIVE OUTDIR     write each member's packed stream
                                          as OUTDIR/<name>.lh5 and print
                                          "name method packed original crc16"
  lzh-container.py wrap RAW ORIGINAL OUT  put a raw stream into a level-0
                                          LHA archive (CRC-16 of ORIGINAL)
"""
import os
import struct
import sys


def crc16(data):
    table = []
    for i in range(256):
        c = i
        for _ in range(8):
            c = (c >> 1) ^ 0xA001 if c & 1 else c >> 1
        table.append(c)
    r = 0
    for b in data:
        r = table[(r ^ b) & 0xFF] ^ (r >> 8)
    return r


def members(blob):
    pos = 0
    while pos < len(blob) and blob[pos] != 0:
        level = blob[pos + 20]
        method = blob[pos + 2:pos + 7].decode()
        packed, original = struct.unpack_from("<II", blob, pos + 7)
        if level == 0 or level == 1:
            size = blob[pos] + 2
            namelen = blob[pos + 21]
            name = blob[pos + 22:pos + 22 + namelen].decode("latin-1")
            crc = struct.unpack_from("<H", blob, pos + 22 + namelen)[0]
            data_at = pos + size
            if level == 1:
                # extended headers count in the packed size
                ext = struct.unpack_from("<H", blob, pos + size - 2)[0]
                while ext:
                    packed -= ext
                    ext_next = struct.unpack_from("<H", blob, data_at + ext - 2)[0]
                    data_at += ext
                    ext = ext_next
        elif level == 2:
            size = struct.unpack_from("<H", blob, pos)[0]
            crc = struct.unpack_from("<H", blob, pos + 21)[0]
            name = ""
            ext_at = pos + 24
            ext = struct.unpack_from("<H", blob, ext_at)[0]
            ext_at += 2
            while ext:
                if blob[ext_at] == 1:
                    name = blob[ext_at + 1:ext_at + ext - 2].decode("latin-1")
                ext_next = struct.unpack_from("<H", blob, ext_at + ext - 2)[0]
                ext_at += ext
                ext = ext_next
            data_at = pos + size
        else:
            raise SystemExit("unsupported header level %d" % level)
        yield name, method, blob[data_at:data_at + packed], original, crc
        pos = data_at + packed


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "raw":
        blob = open(sys.argv[2], "rb").read()
        for name, method, data, original, crc in members(blob):
            open(os.path.join(sys.argv[3], name + ".lh5"), "wb").write(data)
            print(name, method, len(data), original, "%04x" % crc)
    elif len(sys.argv) == 5 and sys.argv[1] == "wrap":
        raw = open(sys.argv[2], "rb").read()
        orig = open(sys.argv[3], "rb").read()
        name = os.path.basename(sys.argv[3]).encode()
        body = b"-lh5-" + struct.pack("<II", len(raw), len(orig)) + struct.pack("<I", 0x4D210000)
        body += bytes([0x20, 0, len(name)]) + name + struct.pack("<H", crc16(orig))
        head = bytes([len(body), sum(body) & 0xFF]) + body
        open(sys.argv[4], "wb").write(head + raw + b"\0")
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main()
