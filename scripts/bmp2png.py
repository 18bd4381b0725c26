#!/usr/bin/env python3
"""Converts an uncompressed 24- or 32-bit BMP to PNG with the standard library only.

Usage: bmp2png.py IN.bmp OUT.png
"""
import struct
import sys
import zlib


def read_bmp(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM":
        sys.exit(f"{path}: not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bpp, compression = struct.unpack_from("<iiHHI", data, 18)
    if bpp not in (24, 32) or compression not in (0, 3):
        sys.exit(f"{path}: only uncompressed 24- and 32-bit BMP files are handled")
    step = bpp // 8
    stride = (width * step + 3) & ~3
    rows = []
    for y in range(abs(height)):
        src = y if height < 0 else abs(height) - 1 - y  # positive height: bottom-up rows
        start = offset + src * stride
        row = bytearray()
        for x in range(width):
            b, g, r = data[start + x * step : start + x * step + 3]
            row += bytes((r, g, b))
        rows.append(bytes(row))
    return width, abs(height), rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return (
            struct.pack(">I", len(body))
            + kind
            + body
            + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
        )

    raw = b"".join(b"\0" + row for row in rows)
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: bmp2png.py IN.bmp OUT.png")
    write_png(sys.argv[2], *read_bmp(sys.argv[1]))
