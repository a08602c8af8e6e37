#!/usr/bin/env python3
"""Writes the import benchmark's models into OUT_DIR: a rolling landscape of
about TRIANGLES triangles as big.glb (glTF binary: positions, normals and
32-bit indices, as exporters write a smooth mesh) and as big.obj (shared v
and vn lists, "f v//vn" triangles), and a film naming each (big-glb.xmo,
big-obj.xmo).

usage: large_models.py OUT_DIR TRIANGLES
"""
import math
import os
import struct
import sys
from array import array

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
from model_files import Gltf  # noqa: E402

ELEMENT_ARRAY_BUFFER, ARRAY_BUFFER = 34963, 34962
FLOAT, UNSIGNED_INT = 5126, 5125


def landscape(triangles):
    """Positions, normals (flat lists of floats) and triangle corner indices
    of a grid of n x n quads, n chosen to give at least `triangles`."""
    n = max(1, math.ceil(math.sqrt(triangles / 2)))
    k = 12.0 / n
    positions, normals = array("f"), array("f")
    for j in range(n + 1):
        z = j / n - 0.5
        for i in range(n + 1):
            x = i / n - 0.5
            positions.extend((x, 0.05 * math.sin(i * k) * math.cos(j * k), z))
            # The surface's slope, from the derivative of its height.
            dx = 0.05 * k * n * math.cos(i * k) * math.cos(j * k)
            dz = -0.05 * k * n * math.sin(i * k) * math.sin(j * k)
            length = math.sqrt(dx * dx + 1 + dz * dz)
            normals.extend((-dx / length, 1 / length, -dz / length))
    indices = array("I")
    for j in range(n):
        for i in range(n):
            a = j * (n + 1) + i
            b, c, d = a + 1, a + n + 1, a + n + 2
            indices.extend((a, c, b, b, c, d))
    return positions, normals, indices


def glb(positions, normals, indices):
    g = Gltf()
    count = len(positions) // 3
    bounds = [(min(positions[i::3]), max(positions[i::3])) for i in range(3)]
    g.doc["accessors"] = [
        {"bufferView": g.view(positions.tobytes(), ARRAY_BUFFER), "componentType": FLOAT, "count": count,
         "type": "VEC3", "min": [b[0] for b in bounds], "max": [b[1] for b in bounds]},
        {"bufferView": g.view(normals.tobytes(), ARRAY_BUFFER), "componentType": FLOAT, "count": count,
         "type": "VEC3"},
        {"bufferView": g.view(indices.tobytes(), ELEMENT_ARRAY_BUFFER), "componentType": UNSIGNED_INT,
         "count": len(indices), "type": "SCALAR"}]
    g.doc["meshes"].append({"name": "Land", "primitives": [{"attributes": {"POSITION": 0, "NORMAL": 1},
                                                             "indices": 2}]})
    g.node("Land", 0, root=True)
    return g.glb()


def obj(positions, normals, indices):
    lines = ["# written by xmoplay bench/large_models.py"]
    lines += ["v %.5f %.5f %.5f" % tuple(positions[i:i + 3]) for i in range(0, len(positions), 3)]
    lines += ["vn %.5f %.5f %.5f" % tuple(normals[i:i + 3]) for i in range(0, len(normals), 3)]
    lines += ["f %d//%d %d//%d %d//%d" % (a, a, b, b, c, c)
              for a, b, c in zip(*(map(lambda v: v + 1, indices[i::3]) for i in range(3)))]
    return ("\n".join(lines) + "\n").encode()


FILM = """<?xml version="1.0"?>
<Movie>
 <Objects>
  <Object id="1" filename="{model}"/>
 </Objects>
 <Models>
  <Model id="1" objectid="1" position="0 0 0"/>
 </Models>
 <Sequences>
  <Sequence duration="1">
   <Camera>
    <CameraElement duration="1">
     <LookAt><Point position="0 0 0"/></LookAt>
     <Eye><Point position="0 2 3"/></Eye>
    </CameraElement>
   </Camera>
  </Sequence>
 </Sequences>
</Movie>
"""


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: large_models.py OUT_DIR TRIANGLES")
    out, triangles = sys.argv[1], int(sys.argv[2])
    mesh = landscape(triangles)
    for name, data in (("big.glb", glb(*mesh)), ("big.obj", obj(*mesh))):
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        with open(os.path.join(out, name.replace(".", "-") + ".xmo"), "w") as f:
            f.write(FILM.format(model=name))
    print(len(mesh[2]) // 3)


if __name__ == "__main__":
    main()
