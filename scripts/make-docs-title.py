#!/usr/bin/env python3
"""Writes docs/examples/title.png, the title card of the tile example.

A 160 by 120 picture (the screen's 4:3): a red brick with four studs on a
night-blue ground, drawn pixel by pixel so the card needs nothing but Python.
"""
import os
import struct
import sys
import zlib

WIDTH, HEIGHT = 160, 120
GROUND = (16, 24, 64)
BRICK = (204, 0, 0)
SHADE = (150, 0, 0)
STUD_RADIUS = 9


def colour_at(x, y):
    # Brick body, with a darker lower edge so it reads as a solid.
    if 30 <= x < 130 and 52 <= y < 92:
        return SHADE if y >= 84 else BRICK
    # Four studs standing on the brick's top edge.
    for cx in (42, 67, 92, 117):
        if y < 52 and (x - cx) ** 2 + (y - 52) ** 2 <= STUD_RADIUS ** 2:
            return BRICK
    return GROUND


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png_bytes():
    rows = b"".join(
        b"\x00" + b"".join(bytes(colour_at(x, y)) for x in range(WIDTH)) for y in range(HEIGHT))
    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0)  # 8-bit RGB
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
            png_chunk(b"IDAT", zlib.compress(rows, 9)) + png_chunk(b"IEND", b""))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "docs", "examples", "title.png")
    tmp = out + ".tmp"
    with open(tmp, "wb") as f:
        f.write(png_bytes())
    os.replace(tmp, out)


if __name__ == "__main__":
    main()
