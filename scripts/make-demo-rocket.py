#!/usr/bin/env python3
"""Writes assets/demo/rocket.x3d: the demo film's toy rocket as a scene file.

A body of revolution (nose cone, hull, engine skirt), four fins and a window,
each its own Shape with its own Material, all in one Group named "Rocket".
Coordinates are baked in (the player applies only the scale of a Transform),
the rocket stands on y = 0 and its meshes cast shadows.

A shadow volume is extruded only from edges that join two faces, so every
casting mesh is closed: each part of the body is capped at both ends by a fan
of triangles (a shadow face holds at most four corners), or ends in a point.
The window lies flat on the hull, which casts its shadow for it.
"""
import math
import os
import sys

SEGMENTS = 16

# Profile of the body from the bottom up: (height, radius).
HULL = [(0.05, 0.16), (0.25, 0.20), (0.95, 0.20), (1.05, 0.19)]
NOSE = [(1.05, 0.19), (1.25, 0.15), (1.40, 0.09), (1.50, 0.03), (1.53, 0.0)]
SKIRT = [(0.0, 0.13), (0.05, 0.16)]


def ring(height, radius):
    return [(radius * math.cos(2 * math.pi * k / SEGMENTS), height,
             radius * math.sin(2 * math.pi * k / SEGMENTS)) for k in range(SEGMENTS)]


def revolve(profile):
    """A closed body of revolution: quads between consecutive rings, wound
    counter-clockwise seen from outside; an end of radius 0 is one point,
    any other end a fan of triangles round its centre."""
    points, faces = [], []
    ends = []
    for h, r in profile:
        ends.append(len(points))
        points.extend(ring(h, r) if r > 0 else [(0.0, h, 0.0)])

    def corner(i, k):
        return ends[i] + (k % SEGMENTS if profile[i][1] > 0 else 0)

    for i in range(len(profile) - 1):
        for k in range(SEGMENTS):
            quad = [corner(i, k), corner(i + 1, k), corner(i + 1, k + 1), corner(i, k + 1)]
            faces.append([v for n, v in enumerate(quad) if v not in quad[:n]])
    for i, outward in ((0, -1), (len(profile) - 1, 1)):
        h, r = profile[i]
        if r == 0:
            continue
        centre = len(points)
        points.append((0.0, h, 0.0))
        for k in range(SEGMENTS):
            a, b = corner(i, k), corner(i, k + 1)
            faces.append([centre, a, b] if outward < 0 else [centre, b, a])
    return points, faces


def fins():
    points, faces = [], []
    for f in range(4):
        angle = math.pi / 4 + f * math.pi / 2
        c, s = math.cos(angle), math.sin(angle)
        outline = [(0.18, 0.02), (0.55, 0.0), (0.42, 0.38), (0.18, 0.42)]  # (radius, height)
        base = len(points)
        for side in (-0.015, 0.015):
            for r, h in outline:
                points.append((r * c - side * s, h, r * s + side * c))
        front = [base + i for i in range(4)]
        back = [base + 4 + i for i in reversed(range(4))]
        faces.append(front)
        faces.append(back)
        for i in range(4):
            j = (i + 1) % 4
            faces.append([base + j, base + i, base + 4 + i, base + 4 + j])
    return points, faces


def window():
    points, faces = [], []
    for k in range(8):
        a = 2 * math.pi * k / 8
        points.append((0.201, 0.72 + 0.07 * math.sin(a), 0.07 * math.cos(a)))
    faces.append(list(range(8)))
    return points, faces


def shape(name, colour, points, faces, shininess=0.4, casts=True):
    coords = ", ".join("%.4f %.4f %.4f" % p for p in points)
    index = " ".join(" ".join(str(i) for i in f) + " -1" for f in faces)
    r, g, b = colour
    return ("   <Shape DEF=\"%s\">\n"
            "    <Appearance><Material diffuseColor=\"%.3f %.3f %.3f\" specularColor=\"0.4 0.4 0.4\""
            " shininess=\"%.2f\"/></Appearance>\n"
            "    <IndexedFaceSet castshadow=\"%s\" coordIndex=\"%s\">\n"
            "     <Coordinate point=\"%s\"/>\n"
            "    </IndexedFaceSet>\n"
            "   </Shape>\n") % (name, r, g, b, shininess, "true" if casts else "false", index, coords)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "assets", "demo", "rocket.x3d")
    parts = [
        shape("Hull", (0.92, 0.92, 0.88), *revolve(HULL)),
        shape("Nose", (0.85, 0.08, 0.06), *revolve(NOSE)),
        shape("Skirt", (0.25, 0.25, 0.28), *revolve(SKIRT)),
        shape("Fins", (0.05, 0.25, 0.75), *fins()),
        shape("Window", (0.3, 0.75, 0.95), *window(), shininess=0.9, casts=False),
    ]
    with open(out, "w") as f:
        f.write("<?xml version=\"1.0\"?>\n<!-- The toy rocket of the demo film, made by"
                " scripts/make-demo-rocket.py. -->\n<X3D>\n <Scene DEF=\"RocketScene\">\n"
                "  <Group DEF=\"Rocket\">\n")
        f.writelines(parts)
        f.write("  </Group>\n </Scene>\n</X3D>\n")


if __name__ == "__main__":
    main()
