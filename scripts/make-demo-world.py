#!/usr/bin/env python3
"""Writes the world of the demo film into assets/demo/: the sky backdrop
"test4.jpg", the terrain's height map "heigh.bmp" and its surface texture
"moon512.jpg" (the player reads all three by these names).

The height map is 21 x 21 points, two units apart from (-20, -20), so the
ground spans -20 to 20 in x and z. It is flat (height 0, the physics ground
plane) over the middle, where the film's bricks stand and their shadows fall,
and rises to rolling hills up to three units high towards the rim.

The sky wraps round once across its width (the texture repeats as the
camera turns). A level view shows the band from a quarter of the way down
to a third, so the horizon sits at about a third of the height; the sun's
glow stands where the camera sees it when looking towards the shadow light
at (13, 10, 8) (heading 0.77 of a turn, a little over a quarter down).

The surface texture is drawn with the terrain's GL_BLEND environment, which
shows the lit ground times one minus the texture: a dark texture gives a
bright ground. It is painted as the ground should look and then negated.

Needs ImageMagick's convert. Every JPEG written must begin with a JFIF
header (FF D8 FF E0, "JFIF"), the only JPEG the player recognises.
"""
import math
import os
import random
import struct
import subprocess
import sys
import tempfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
DEMO = os.path.join(ROOT, "assets", "demo")

GRID = 21          # height-map points per side
ORIGIN = -20.0     # world x and z of the first point
SPACING = 2.0
FLAT_X = 10.0      # flat for |x| <= FLAT_X and |z| <= FLAT_Z
FLAT_Z = 8.0
HILL_RISE = 8.0    # units over which the hills reach their full height


def height_at(x, z, rng_phase):
    """Height 0..1 of the world point (x, z)."""
    dx = max(0.0, abs(x) - FLAT_X)
    dz = max(0.0, abs(z) - FLAT_Z)
    d = math.hypot(dx, dz)
    if d == 0.0:
        return 0.0
    rise = min(1.0, d / HILL_RISE)
    rise = rise * rise * (3.0 - 2.0 * rise)  # smoothstep
    a, b, c = rng_phase
    rolling = 0.65 + 0.2 * math.sin(0.45 * x + a) + 0.15 * math.sin(0.6 * z + b) * math.cos(0.3 * x + c)
    return max(0.0, min(1.0, rise * rolling))


def write_height_map(path):
    rng = random.Random(7)
    phase = (rng.uniform(0, 6.3), rng.uniform(0, 6.3), rng.uniform(0, 6.3))
    stride = (GRID * 3 + 3) & ~3
    body = bytearray()
    # BMP rows run bottom-up: the file's last row is the map's first (z = -20).
    for row in range(GRID - 1, -1, -1):
        line = bytearray()
        for column in range(GRID):
            x = ORIGIN + column * SPACING
            z = ORIGIN + row * SPACING
            level = round(255 * height_at(x, z, phase))
            line += bytes((level, level, level))
        body += line + bytes(stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, GRID, GRID, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    header = b"BM" + struct.pack("<IHHI", 14 + len(info) + len(body), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + bytes(body))


def run(*args):
    subprocess.run(["convert"] + [str(a) for a in args], check=True)


def tileable_noise(tmp, name, width, height, blur, out_width, out_height, seed):
    """Smooth grey random noise that wraps round at its left and right edges:
    made three times side by side and scaled together, of which the middle
    copy is kept, so its edges run on into the next copy."""
    path = os.path.join(tmp, name)
    run("-size", "%dx%d" % (width, height), "xc:", "-seed", seed, "+noise", "Random", "-channel", "G",
        "-separate", "+channel", "-virtual-pixel", "tile", "-blur", "0x%g" % blur, "-auto-level",
        "(", "+clone", ")", "(", "+clone", ")", "+append",
        "-filter", "Gaussian", "-resize", "%dx%d!" % (3 * out_width, out_height),
        "-crop", "%dx%d+%d+0" % (out_width, out_height, out_width), "+repage", path)
    return path


def write_sky(tmp, path):
    width, height = 2048, 1024
    horizon = 350
    sun_x, sun_y = 1584, 294
    gradient = os.path.join(tmp, "gradient.png")
    run("-size", "%dx%d" % (width, horizon), "gradient:#123f8a-#bcd8f0",
        "(", "-size", "%dx%d" % (width, height - horizon), "gradient:#c9dcea-#8a9aa6", ")",
        "-append", "-blur", "0x12", gradient)
    # Big soft puffs with some finer detail, wider than high as seen from below.
    puffs = tileable_noise(tmp, "puffs.png", 48, 40, 1.5, width, height, 11)
    detail = tileable_noise(tmp, "detail.png", 192, 160, 2, width, height, 12)
    clouds = os.path.join(tmp, "clouds.png")
    run(puffs, detail, "-compose", "blend", "-define", "compose:args=30,70", "-composite", "-auto-level", clouds)
    # Clouds thin out towards the horizon and leave the zenith clear.
    mask = os.path.join(tmp, "mask.png")
    run("-size", "%dx%d" % (width, horizon), "gradient:black-white", "-evaluate", "sin", "0.5",
        "(", "-size", "%dx%d" % (width, height - horizon), "xc:black", ")", "-append", mask)
    cloud_alpha = os.path.join(tmp, "cloud_alpha.png")
    run(clouds, "-level", "50%,90%", mask, "-compose", "multiply", "-composite", cloud_alpha)
    sky = os.path.join(tmp, "sky.png")
    run(gradient, "(", "-size", "%dx%d" % (width, height), "xc:#f4f6fa", cloud_alpha, "-alpha", "off",
        "-compose", "copy_opacity", "-composite", ")", "-compose", "over", "-composite", sky)
    glow = os.path.join(tmp, "glow.png")
    run("-size", "%dx%d" % (width, height), "xc:black", "-fill", "white",
        "-draw", "circle %d,%d %d,%d" % (sun_x, sun_y, sun_x + 18, sun_y), "-blur", "0x40",
        "-fill", "white", "-draw", "circle %d,%d %d,%d" % (sun_x, sun_y, sun_x + 14, sun_y), "-blur", "0x2",
        "-auto-level", glow)
    run(sky, "(", "-size", "%dx%d" % (width, height), "xc:#fff6d8", glow, "-alpha", "off",
        "-compose", "copy_opacity", "-composite", ")", "-compose", "over", "-composite",
        "-strip", "-quality", "90", path)


def write_surface(tmp, path):
    size = 512
    base = tileable_noise(tmp, "dust.png", 128, 128, 2.5, size, size, 13)
    ground = os.path.join(tmp, "ground.png")
    run(base, "+level", "68%,86%", ground)
    rng = random.Random(3)
    draws = []
    # The texture spans the whole ground once, about 12 pixels to a unit.
    for _ in range(90):
        r = rng.choice([3, 4, 5, 6, 8, 10, 14, 20])
        cx, cy = rng.randrange(size), rng.randrange(size)
        draws += ["-fill", "gray58", "-stroke", "gray93", "-strokewidth", str(max(2, r // 4)),
                  "-draw", "circle %d,%d %d,%d" % (cx, cy, cx + r, cy)]
    run(ground, *draws, "-blur", "0x2.5", "-negate", "-strip", "-quality", "90", path)


def check_jfif(path):
    with open(path, "rb") as f:
        head = f.read(10)
    if head[:4] != b"\xff\xd8\xff\xe0" or head[6:10] != b"JFIF":
        sys.exit("%s does not start with a JFIF header" % path)


def main():
    os.makedirs(DEMO, exist_ok=True)
    write_height_map(os.path.join(DEMO, "heigh.bmp"))
    with tempfile.TemporaryDirectory() as tmp:
        write_sky(tmp, os.path.join(DEMO, "test4.jpg"))
        write_surface(tmp, os.path.join(DEMO, "moon512.jpg"))
    for name in ("test4.jpg", "moon512.jpg"):
        check_jfif(os.path.join(DEMO, name))
    return 0


if __name__ == "__main__":
    sys.exit(main())
