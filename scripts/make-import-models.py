#!/usr/bin/env python3
"""Writes every glTF and OBJ model file of the repository, and the pictures
they name:

  docs/examples/crate.glb        a small textured crate (glTF binary, picture inside)
  docs/examples/tower.obj, .mtl  a tower in four parts ("Base", "Walls", "Roof", "Flag")
  assets/demo/tree.glb           the demo film's fir tree (trunk and three tiers)
  tests/data/import/             the loader tests' fixtures
  fuzz/corpus/gltf_import/, fuzz/corpus/obj_import/   seeds of the two fuzz targets

The closed bodies are written as exporters write them: a vertex per normal
and texture seam (24 corners for a box), so that their shadows need the
player's welding to close.
"""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from model_files import Gltf, box_faces, mtl_text, obj_text, png, revolved, transformed  # noqa: E402

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")


def write(path, data):
    path = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())
    print("wrote", os.path.relpath(path, ROOT))


# --- Test fixtures ---------------------------------------------------------

# The atlas of the textured cube: 3 x 2 cells of 16 x 16 pixels, one per
# face; each cell is its face's colour in its upper half and a third of it
# in its lower half, so a picture test can tell faces and which way is up.
CELL = 16
FACE_CELLS = {(0, 1): (0, 0), (0, -1): (1, 0), (1, 1): (2, 0), (1, -1): (0, 1), (2, 1): (1, 1), (2, -1): (2, 1)}
FACE_COLOURS = {(0, 1): (255, 0, 0), (0, -1): (0, 255, 255), (1, 1): (0, 255, 0), (1, -1): (255, 0, 255),
                (2, 1): (0, 0, 255), (2, -1): (255, 255, 0)}


def atlas_pixel(x, y):
    cell = (x // CELL, y // CELL)
    face = next(f for f, c in FACE_CELLS.items() if c == cell)
    colour = FACE_COLOURS[face]
    return colour if y % CELL < CELL // 2 else tuple(c // 3 for c in colour)


def atlas_uv(axis, sign):
    cx, cy = FACE_CELLS[(axis, sign)]
    u0, u1 = cx / 3.0, (cx + 1) / 3.0
    v0, v1 = cy / 2.0, (cy + 1) / 2.0
    return [(u0, v1), (u1, v1), (u1, v0), (u0, v0)]


def textured_cube():
    g = Gltf()
    atlas = g.texture(g.image(png(3 * CELL, 2 * CELL, atlas_pixel)))
    material = g.material("Atlas", (1, 1, 1), metallic=0.0, roughness=1.0, texture=atlas)
    g.node("Cube", g.mesh("Cube", [(box_faces((1, 1, 1), uv_of_face=atlas_uv), material)]), root=True)
    return g.glb()


def parts():
    """A node tree for selection and transforms: "Car" moved by 10 along x
    holds "Body" (a unit box scaled 2 along x), "Wheel" (a bar along x,
    turned a quarter about z so that it stands along y, moved 2 along z),
    "Mirrored" (mirrored in x, moved 3 up, no material), "Sign" (a picture
    beside the file) and "Ghost" (a picture that is missing)."""
    g = Gltf()
    box = box_faces((1, 1, 1))
    red = g.material("Red", (1, 0, 0), metallic=0.0, roughness=0.5)
    chrome = g.material("Chrome", (0.5, 0.5, 0.5), metallic=1.0, roughness=0.0)
    sign = g.material("Sign", (1, 1, 1), texture=g.texture(g.image(None, uri="checker.png"), clamp=True))
    ghost = g.material("Ghost", (1, 1, 1), texture=g.texture(g.image(None, uri="missing.png")))
    quarter = math.sqrt(0.5)
    children = [
        g.node("Body", g.mesh("Body", [(box, red)]), scale=[2, 1, 1]),
        g.node("Wheel", g.mesh("Wheel", [(box_faces((1, 0.2, 0.2)), chrome)]), translation=[0, 0, 2],
               rotation=[0, 0, quarter, quarter]),
        g.node("Mirrored", g.mesh("Mirrored", [(box, None)]), translation=[0, 3, 0], scale=[-1, 1, 1]),
        g.node("Sign", g.mesh("Sign", [(box_faces((0.5, 0.5, 0.5), (0, 1, 0)), sign)])),
        g.node("Ghost", g.mesh("Ghost", [(box_faces((0.5, 0.5, 0.5), (0, 2, 0)), ghost)])),
    ]
    g.node("Car", children=children, root=True, translation=[10, 0, 0])
    text = g.gltf("parts.bin")
    return text, bytes(g.data), g


def checker_pixel(x, y):
    return (255, 255, 255) if (x // 4 + y // 4) % 2 == 0 else (40, 40, 40)


def bricks_pixel(x, y):
    row = y // 8
    mortar = y % 8 == 7 or (x + 8 * (row % 2)) % 16 == 15
    return (200, 200, 190) if mortar else (170, 60, 40)


def two_tone_box():
    """A unit cube round its origin, red on top and blue elsewhere, every
    face with points of its own, as an exporter that splits by material
    writes it: both meshes are open, the welded whole is closed."""
    lines = ["# written by xmoplay scripts/make-import-models.py", "mtllib parts.mtl"]
    for face in box_faces((1, 1, 1)):
        lines.append("usemtl " + ("Red" if face[0][1] == (0, 1, 0) else "Blue"))
        lines += ["v %g %g %g" % p for p, n, uv in face]
        lines.append("f -4 -3 -2 -1")
    return "\n".join(lines) + "\n"


def write_fixtures():
    write("tests/data/import/textured-cube.glb", textured_cube())
    text, data, g = parts()
    write("tests/data/import/parts.gltf", text)
    write("tests/data/import/parts.bin", data)
    write("tests/data/import/checker.png", png(16, 16, checker_pixel))
    write("tests/data/import/bricks.png", png(16, 16, bricks_pixel))
    write("tests/data/import/parts.mtl", mtl_text([
        ("Red", (1, 0, 0), (0.5, 0.5, 0.5), 500, None),
        ("Bricks", (1, 1, 1), (0, 0, 0), 10, "bricks.png"),
        ("Clamped", (1, 1, 1), (0, 0, 0), 10, "-clamp on bricks.png"),
        ("Lost", (1, 1, 1), (0, 0, 0), 10, "missing.png"),
        ("Bumpy", (0.5, 0.5, 0.5), (0, 0, 0), 10, None, ["map_bump bricks.png", "map_Ks bricks.png"]),
        ("Shifted", (1, 1, 1), (0, 0, 0), 10, "-o 0.5 0.5 0 bricks.png"),
        ("Blue", (0.2, 0.3, 1), (0, 0, 0), 10, None),
    ]))
    write("tests/data/import/two-tone-box.obj", two_tone_box())
    write("fuzz/corpus/gltf_import/textured-cube.glb", textured_cube())
    write("fuzz/corpus/gltf_import/parts.gltf", g.gltf())


# --- Example models ------------------------------------------------------

def crate_pixel(x, y):
    """Planks across, a frame round the edge and a cross brace."""
    n = 64
    frame = x < 6 or x >= n - 6 or y < 6 or y >= n - 6
    brace = abs(x - y) < 4 or abs(x + y - (n - 1)) < 4
    if frame or brace:
        shade = 150 + 12 * ((x * 7 + y * 3) % 5)
        return (shade, int(shade * 0.72), int(shade * 0.42))
    seam = y % 13 == 0
    grain = 8 * ((x // 3 + y * 5) % 4)
    base = 90 if seam else 185 + grain
    return (base, int(base * 0.68), int(base * 0.38))


def crate():
    g = Gltf()
    wood = g.material("Wood", (1, 1, 1), metallic=0.0, roughness=0.7, texture=g.texture(g.image(png(64, 64, crate_pixel))))
    g.node("Crate", g.mesh("Crate", [(box_faces((0.6, 0.6, 0.6), (0, 0.3, 0)), wood)]), root=True)
    return g.glb()


def tower():
    base = box_faces((1.2, 0.2, 1.2), (0, 0.1, 0))
    walls = transformed(revolved([(0.2, 0.45), (1.6, 0.4)], 12), (0, 0, 0))
    roof = revolved([(1.6, 0.55), (2.3, 0.0)], 12, smooth=False)
    pole = box_faces((0.04, 0.5, 0.04), (0, 2.5, 0))
    flag = box_faces((0.3, 0.18, 0.02), (0.17, 2.65, 0))
    objects = [("Base", [("Stone", base)]), ("Walls", [("Plaster", walls)]), ("Roof", [("Tiles", roof)]),
               ("Flag", [("Pole", pole), ("Cloth", flag)])]
    materials = [("Stone", (0.45, 0.45, 0.5), (0.1, 0.1, 0.1), 50, None),
                 ("Plaster", (0.92, 0.88, 0.78), (0.05, 0.05, 0.05), 20, None),
                 ("Tiles", (0.7, 0.15, 0.1), (0.3, 0.3, 0.3), 300, None),
                 ("Pole", (0.3, 0.3, 0.3), (0.8, 0.8, 0.8), 800, None),
                 ("Cloth", (1.0, 0.8, 0.1), (0, 0, 0), 10, None)]
    return obj_text(objects, "tower.mtl"), mtl_text(materials)


def tree():
    """A fir: a capped trunk and three closed tiers, bark and needles."""
    g = Gltf()
    bark = g.material("Bark", (0.4, 0.25, 0.12), metallic=0.0, roughness=0.9)
    needles = g.material("Needles", (0.12, 0.42, 0.16), metallic=0.0, roughness=0.8)
    trunk = revolved([(0.0, 0.09), (0.45, 0.07)], 8)
    tiers = []
    for bottom, radius, height in ((0.35, 0.55, 0.6), (0.7, 0.42, 0.55), (1.02, 0.28, 0.5)):
        tiers += revolved([(bottom, radius), (bottom + height, 0.0)], 10)
    g.node("Fir", g.mesh("Fir", [(trunk, bark), (tiers, needles)]), root=True)
    return g.glb()


def write_examples():
    write("docs/examples/crate.glb", crate())
    obj, mtl = tower()
    write("docs/examples/tower.obj", obj)
    write("docs/examples/tower.mtl", mtl)
    write("assets/demo/tree.glb", tree())
    write("fuzz/corpus/gltf_import/tree.glb", tree())
    write("fuzz/corpus/obj_import/tower.obj", obj)
    write("fuzz/corpus/obj_import/oddities.obj", "\n".join([
        "# polygons, negative indices, a line, a point, colours, groups",
        "v 0 0 0 1 0 0", "v 1 0 0 0 1 0", "v 1 1 0 0 0 1", "v 0 1 0 1 1 1", "v 0.5 1.5 0 1 1 1",
        "vt 0 0", "vt 1 0", "vt 1 1", "vn 0 0 1",
        "g first second", "usemtl none", "f 1/1/1 2/2/1 3/3/1 4/1/1 5/2/1",
        "o Other", "s 1", "f -1 -2 -3", "l 1 2 3", "p 4", "f 1//1 2//1 9//1", ""]))


if __name__ == "__main__":
    write_fixtures()
    write_examples()
