#!/usr/bin/env python3
"""Draws the setup's bitmaps, icons and sounds (our own artwork, made by code).

Run from anywhere: writes into resources/art/. The outputs are committed so
that the build needs no Python; run again after changing a drawing.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def bmp_rle8(width, height, pixel):
    """A bottom-up BMP, RLE8 (the art has fewer than 256 colours, in runs: a
    few kilobytes instead of a hundred of 24-bit pixels on the install
    media); pixel(x, y) gives (r, g, b) with y from the top."""
    rows, palette = [], {}
    for y in range(height - 1, -1, -1):
        rows.append([palette.setdefault(pixel(x, y), len(palette)) for x in range(width)])
    if len(palette) > 256:
        raise ValueError("more than 256 colours")
    data = bytearray()
    for number, row in enumerate(rows):
        x = 0
        while x < width:
            run = 1
            while x + run < width and run < 255 and row[x + run] == row[x]:
                run += 1
            data += bytes((run, row[x]))
            x += run
        data += b"\0\1" if number == height - 1 else b"\0\0"  # end of bitmap, end of line
    colours = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 54 + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(data), 2835, 2835, len(palette), 0)
    return header + info + colours + bytes(data)


def ico32(pixel):
    """A 32x32 icon, 24-bit colour with an AND mask; pixel gives (r, g, b) or None."""
    w = h = 32
    xor = bytearray()
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        bits = 0
        mrow = bytearray()
        for x in range(w):
            p = pixel(x, y)
            if p is None:
                xor += b"\0\0\0"
                bits = (bits << 1) | 1
            else:
                xor += bytes((p[2], p[1], p[0]))
                bits <<= 1
            if x % 8 == 7:
                mrow.append(bits & 0xFF)
                bits = 0
        mask += mrow
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 24, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = info + bytes(xor) + bytes(mask)
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", w, h, 0, 0, 1, 24, len(image), 22) + image


def shield(x, y, w, h):
    """Inside a shield outline scaled to w x h."""
    cx = w / 2
    if y < h * 0.55:
        return abs(x - cx) < w * 0.42
    t = (y - h * 0.55) / (h * 0.45)
    return abs(x - cx) < w * 0.42 * (1 - t)


def welcome(x, y):
    w, h = 120, 240
    bg = (0, 0, int(255 - 200 * y / h))
    if shield(x - 10, y - 40, 100, 130):
        if abs(x - 60) < 6 or abs(y - 95) < 6:
            return (255, 255, 255)
        return (200, 30, 30)
    if 190 < y < 200 and 15 < x < 105:
        return (255, 220, 0)
    return bg


def setup_type(x, y):
    if (x // 20 + y // 20) % 2 == 0 and 10 < x < 110 and 20 < y < 220:
        return (0, 128, 128)
    return (0, 0, 128 + y // 4)


def summary(x, y):
    if 20 < x < 100 and 30 < y < 200 and ((y - 30) % 24) < 12:
        return (255, 255, 255) if x < 30 else (0, 160, 0)
    return (0, 0, 96 + y // 3)


def user_info(x, y):
    # A head and shoulders.
    if math.hypot(x - 60, y - 80) < 26:
        return (255, 220, 180)
    if y > 115 and abs(x - 60) < 45 - max(0, 140 - y) * 0.6 and y < 200:
        return (0, 128, 0)
    return (0, 0, 96 + y // 3)


def directory(x, y):
    # A folder.
    if 70 < y < 170 and 15 < x < 105:
        return (255, 200, 40) if y > 85 or x < 55 else (0, 0, 96 + y // 3)
    return (0, 0, 96 + y // 3)


def keep_config(x, y):
    # Stacked cards: the settings that stay.
    for i in range(3):
        top = 50 + i * 40
        if top < y < top + 30 and 20 + i * 8 < x < 100 + i * 4:
            return (230, 230, 230) if (y - top) % 10 else (80, 80, 80)
    return (0, 0, 96 + y // 3)


def options(x, y):
    # A globe.
    d = math.hypot(x - 60, y - 110)
    if d < 40:
        if abs(x - 60) < 2 or abs(y - 110) < 2 or abs(d - 25) < 1.5:
            return (255, 255, 255)
        return (0, 140, 200)
    return (0, 0, 96 + y // 3)


def icon_setup(x, y):
    if shield(x - 2, y - 1, 28, 30):
        return (255, 255, 255) if (abs(x - 16) < 2 or abs(y - 12) < 2) else (200, 30, 30)
    return None


def icon_stop(x, y):
    d = math.hypot(x - 15.5, y - 15.5)
    if d < 14:
        return (255, 255, 255) if abs(x - y) < 2 or abs(x + y - 31) < 2 else (200, 0, 0)
    return None


def icon_restart(x, y):
    d = math.hypot(x - 15.5, y - 15.5)
    if 9 < d < 14 and not (x > 15 and y < 8):
        return (0, 0, 160)
    if 14 < x < 22 and 2 < y < 10 and x - 14 > y - 6:
        return (0, 0, 160)
    return None


def billboard(seed):
    """A 320x160 billboard: a band of colour with a pattern of its own."""
    colours = [(0, 90, 170), (150, 20, 20), (0, 120, 60), (110, 60, 140)]
    base = colours[seed]

    def pixel(x, y):
        if shield(x - 20, y - 20, 100, 120):
            return (255, 255, 255) if (abs(x - 70) < 5 or abs(y - 70) < 5) else (200, 30, 30)
        stripe = ((x + y * (seed + 1)) // 16) % 2
        k = 1.0 - 0.4 * y / 160
        r, g, b = (int(c * k) for c in base)
        if stripe:
            r, g, b = min(255, r + 30), min(255, g + 30), min(255, b + 30)
        if 150 < x < 300 and 60 + seed * 10 < y < 70 + seed * 10:
            return (255, 220, 0)
        return (r, g, b)

    return pixel


def wav(notes, rate=11025):
    """8-bit mono PCM: notes are (frequency, seconds)."""
    samples = bytearray()
    for freq, secs in notes:
        n = int(rate * secs)
        for i in range(n):
            env = min(1.0, i / 200, (n - i) / 400)
            samples.append(int(128 + 90 * env * math.sin(2 * math.pi * freq * i / rate)) & 0xFF)
    fmt = struct.pack("<4sIHHIIHH", b"fmt ", 16, 1, 1, rate, rate, 1, 8)
    data = struct.pack("<4sI", b"data", len(samples)) + bytes(samples)
    return struct.pack("<4sI4s", b"RIFF", 4 + len(fmt) + len(data), b"WAVE") + fmt + data


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def main():
    write("welcome.bmp", bmp_rle8(120, 240, welcome))
    write("setuptype.bmp", bmp_rle8(120, 240, setup_type))
    write("summary.bmp", bmp_rle8(120, 240, summary))
    write("userinfo.bmp", bmp_rle8(120, 240, user_info))
    write("directory.bmp", bmp_rle8(120, 240, directory))
    write("keepconfig.bmp", bmp_rle8(120, 240, keep_config))
    write("options.bmp", bmp_rle8(120, 240, options))
    write("setup.ico", ico32(icon_setup))
    write("stop.ico", ico32(icon_stop))
    write("restart.ico", ico32(icon_restart))
    for index, number in enumerate((143, 145, 146, 147)):
        write("billboard%d.bmp" % number, bmp_rle8(320, 160, billboard(index)))
    write("BBOARD1.WAV", wav([(440, 0.2), (554, 0.2)]))
    write("BBOARD2.WAV", wav([(554, 0.2), (440, 0.2)]))
    write("WELCOME.WAV", wav([(523, 0.15), (659, 0.15), (784, 0.3)]))
    write("DONE.WAV", wav([(784, 0.15), (659, 0.15), (523, 0.3)]))


if __name__ == "__main__":
    main()
