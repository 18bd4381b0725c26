#!/usr/bin/env python3
"""Writes the Orbello module's data folder: Config.ini, the piece pictures and the move sounds.

Usage: make_data.py CONFIG_INI OUT_DIR

The pictures are 24-bit bitmaps twice as wide as high: the left half is the picture, black
outside the shape; the right half is the mask, black inside the shape and white outside.
The module scales them to the board size, so they are drawn large and smooth here.
The sounds are short 16-bit mono PCM files under their Chinese names, UTF-8 on disk (Wine
under a code page 936 locale maps the module's GBK names to them).
"""
import math
import os
import shutil
import struct
import sys

SIZE = 64  # height of one half; the module scales to its own piece size


def write_bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b), y counted from the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - width * 3)
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def clamp(v):
    return max(0, min(255, int(round(v))))


def piece(base, rim):
    """A shaded disc: base colour lit from the upper left, with a darker rim."""
    c = (SIZE - 1) / 2.0
    radius = SIZE * 0.46

    def shape(x, y):
        return math.hypot(x - c, y - c) <= radius

    def colour(x, y):
        d = math.hypot(x - c, y - c)
        if d > radius - SIZE * 0.05:
            return rim
        # A soft highlight towards the upper left; the centre keeps the base colour.
        h = math.hypot(x - c * 0.55, y - c * 0.55) / radius
        light = max(0.0, 0.35 - h) * 180
        return tuple(clamp(v + light) for v in base)

    return shape, colour


def mark():
    """A ring near the edge of the square, so the piece under it stays visible."""
    c = (SIZE - 1) / 2.0
    outer, inner = SIZE * 0.5, SIZE * 0.36

    def shape(x, y):
        return inner <= math.hypot(x - c, y - c) <= outer

    return shape, lambda x, y: (255, 255, 0)


def write_picture(path, shape, colour):
    def pixel(x, y):
        inside = shape(x % SIZE, y)
        if x < SIZE:
            return colour(x, y) if inside else (0, 0, 0)
        return (0, 0, 0) if inside else (255, 255, 255)

    write_bmp(path, 2 * SIZE, SIZE, pixel)


def write_wav(path, notes, rate=22050):
    """notes: list of (frequency, seconds); a short decaying tone each."""
    samples = bytearray()
    for freq, seconds in notes:
        n = int(rate * seconds)
        for i in range(n):
            t = i / rate
            env = math.exp(-6.0 * t / seconds) * min(1.0, i / 40.0)
            v = int(12000 * env * math.sin(2 * math.pi * freq * t))
            samples += struct.pack("<h", v)
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
    body += b"data" + struct.pack("<I", len(samples)) + bytes(samples)
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_data.py CONFIG_INI OUT_DIR")
    config, out = sys.argv[1], sys.argv[2]
    os.makedirs(os.path.join(out, "bmp"), exist_ok=True)
    os.makedirs(os.path.join(out, "wav"), exist_ok=True)
    shutil.copyfile(config, os.path.join(out, "Config.ini"))

    write_picture(os.path.join(out, "bmp", "black.bmp"), *piece((24, 24, 24), (0, 0, 0)))
    write_picture(os.path.join(out, "bmp", "white.bmp"), *piece((236, 236, 236), (128, 128, 128)))
    write_picture(os.path.join(out, "bmp", "mark.bmp"), *mark())

    # Kept short: the module plays them synchronously on the host's thread.
    write_wav(os.path.join(out, "wav", "选子.wav"), [(880, 0.06)])
    write_wav(os.path.join(out, "wav", "落子.wav"), [(440, 0.08)])
    write_wav(os.path.join(out, "wav", "吃子.wav"), [(660, 0.06), (330, 0.1)])


if __name__ == "__main__":
    main()
