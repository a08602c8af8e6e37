#!/usr/bin/env python3
"""Writes the image fixtures of the tests (tests/data/image/) and the seed
corpus of the image fuzz target (fuzz/corpus/image_file/).

Most pictures are the same 16 x 16 "quad": red top left, green top right,
blue bottom left, white bottom right, each an 8 x 8 block, so a test can tell
rows from columns and top from bottom. ImageMagick's convert writes the JPEG,
PNG and run-length BMP variants; the plain BMPs and the odd files are written
here byte by byte.
"""
import os
import struct
import subprocess
import sys
import tempfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
FIXTURES = os.path.join(ROOT, "tests", "data", "image")
SEEDS = os.path.join(ROOT, "fuzz", "corpus", "image_file")

RED, GREEN, BLUE, WHITE = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)


def quad_pixel(x, y):
    if y < 8:
        return RED if x < 8 else GREEN
    return BLUE if x < 8 else WHITE


def ppm(width, height, pixel):
    rows = bytearray()
    for y in range(height):
        for x in range(width):
            rows += bytes(pixel(x, y))
    return b"P6\n%d %d\n255\n" % (width, height) + bytes(rows)


def bmp24(width, height, pixel, top_down=False):
    """An uncompressed 24-bit BMP; rows bottom-up unless top_down."""
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    order = range(height) if top_down else range(height - 1, -1, -1)
    for y in order:
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        body += row + bytes(stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, 24, 0, len(body),
                       2835, 2835, 0, 0)
    header = b"BM" + struct.pack("<IHHI", 14 + len(info) + len(body), 0, 0, 14 + len(info))
    return header + info + bytes(body)


def convert(source, options, target):
    subprocess.run(["convert", source] + options + [target], check=True)


def exif_first(jfif):
    """The same JPEG with its JFIF APP0 segment replaced by an Exif APP1."""
    assert jfif[:4] == b"\xff\xd8\xff\xe0"
    app0_length = struct.unpack(">H", jfif[4:6])[0]
    tiff = b"II*\x00\x08\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    payload = b"Exif\x00\x00" + tiff
    app1 = b"\xff\xe1" + struct.pack(">H", len(payload) + 2) + payload
    return jfif[:2] + app1 + jfif[4 + app0_length:]


def write(folder, name, data):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    for folder in (FIXTURES, SEEDS):
        os.makedirs(folder, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        source = os.path.join(tmp, "quad.ppm")
        write(tmp, "quad.ppm", ppm(16, 16, quad_pixel))
        jpeg = ["-sampling-factor", "1x1", "-quality", "95"]
        variants = {
            "baseline.jpg": jpeg,
            "progressive.jpg": jpeg + ["-interlace", "JPEG"],
            "png16.png": ["-depth", "16", "PNG48:%s"],
            "palette.png": ["PNG8:%s"],
            "interlaced.png": ["-interlace", "PNG", "PNG24:%s"],
            "rle8.bmp": ["-type", "Palette", "-compress", "RLE", "BMP3:%s"],
        }
        for name, options in variants.items():
            target = os.path.join(FIXTURES, name)
            if options[-1].endswith("%s"):
                convert(source, options[:-1], options[-1] % target)
            else:
                convert(source, options, target)
        with open(os.path.join(FIXTURES, "baseline.jpg"), "rb") as f:
            baseline = f.read()
        assert baseline[6:10] == b"JFIF", "convert wrote no JFIF header"
        with open(os.path.join(FIXTURES, "progressive.jpg"), "rb") as f:
            assert b"\xff\xc2" in f.read(), "the progressive JPEG has no progressive frame"
        write(FIXTURES, "exif.jpg", exif_first(baseline))

    write(FIXTURES, "bottom-up.bmp", bmp24(16, 16, quad_pixel))
    write(FIXTURES, "top-down.bmp", bmp24(16, 16, quad_pixel, top_down=True))
    write(FIXTURES, "red.bmp", bmp24(2, 2, lambda x, y: RED))
    with open(os.path.join(FIXTURES, "interlaced.png"), "rb") as f:
        interlaced = f.read()
    write(FIXTURES, "nine-bytes.png", interlaced[:9])
    write(FIXTURES, "truncated.png", interlaced[:len(interlaced) // 2])
    # A header that claims 60000 x 60000 pixels and nothing after it.
    write(FIXTURES, "huge.bmp", bmp24(1, 1, lambda x, y: RED)[:18] + struct.pack("<ii", 60000, 60000)
          + bmp24(1, 1, lambda x, y: RED)[26:])

    for name in ("baseline.jpg", "progressive.jpg", "exif.jpg", "png16.png", "palette.png", "interlaced.png",
                 "rle8.bmp", "bottom-up.bmp", "top-down.bmp", "truncated.png"):
        with open(os.path.join(FIXTURES, name), "rb") as f:
            write(SEEDS, name, f.read())
    return 0


if __name__ == "__main__":
    sys.exit(main())
