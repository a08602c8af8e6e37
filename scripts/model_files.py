"""Writers of the model files the scripts make: glTF 2.0 (binary .glb or
.gltf with its .bin), Wavefront OBJ with its .mtl, and the PNG pictures
they name. Plain Python, no packages beyond the standard library.

A mesh is a list of faces; each face is a list of corners, and a corner is
(position, normal, uv). glTF gets one vertex per corner that differs in any
of the three (so a box has its 24 corners apart, as exporters write it);
OBJ gets shared v/vt/vn lists and indices into them.
"""
import base64
import json
import math
import struct
import zlib

ARRAY_BUFFER, ELEMENT_ARRAY_BUFFER = 34962, 34963
FLOAT, UNSIGNED_INT = 5126, 5125


def png(width, height, pixel):
    """An 8-bit RGB PNG; pixel(x, y) gives (r, g, b), y = 0 the top row."""
    rows = b"".join(b"\0" + bytes(c for x in range(width) for c in pixel(x, y)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


def box_faces(size, centre=(0.0, 0.0, 0.0), uv_of_face=None):
    """The six faces of a box as quads, counter-clockwise seen from outside,
    each with its face normal; uv_of_face(axis, sign) gives the four uv of a
    face (default the whole picture), corners in the order bottom-left,
    bottom-right, top-right, top-left as the face is seen from outside with
    +y (or -z for the top and bottom) up."""
    sx, sy, sz = (s / 2.0 for s in size)
    cx, cy, cz = centre
    faces = []
    # (normal, the face's right and up directions)
    frames = [((1, 0, 0), (0, 0, -1), (0, 1, 0)), ((-1, 0, 0), (0, 0, 1), (0, 1, 0)),
              ((0, 1, 0), (1, 0, 0), (0, 0, -1)), ((0, -1, 0), (1, 0, 0), (0, 0, 1)),
              ((0, 0, 1), (1, 0, 0), (0, 1, 0)), ((0, 0, -1), (-1, 0, 0), (0, 1, 0))]
    half = (sx, sy, sz)
    for normal, right, up in frames:
        def point(a, b):
            return tuple(c + half[i] * (normal[i] + a * right[i] + b * up[i])
                         for i, c in enumerate((cx, cy, cz)))
        axis = max(range(3), key=lambda i: abs(normal[i]))
        uvs = uv_of_face(axis, normal[axis]) if uv_of_face else [(0, 1), (1, 1), (1, 0), (0, 0)]
        corners = [point(-1, -1), point(1, -1), point(1, 1), point(-1, 1)]
        faces.append([(p, normal, uv) for p, uv in zip(corners, uvs)])
    return faces


def revolved(profile, segments, smooth=True):
    """A closed body of revolution about +y from (height, radius) pairs
    bottom to top: quads (or triangles at a point) between rings, with
    smooth side normals when asked, and flat caps on ends of non-zero
    radius. The side's seam repeats its first column of corners, as an
    exporter that unwraps uv writes it."""
    faces = []

    def ring_point(h, r, k):
        # The seam's corners repeat the first column's positions exactly.
        a = 2 * math.pi * (k % segments) / segments
        return (r * math.cos(a), h, -r * math.sin(a))

    for (h0, r0), (h1, r1) in zip(profile, profile[1:]):
        slope = (r0 - r1) / max(h1 - h0, 1e-9)
        for k in range(segments):
            corners = []
            for kk, h, r, v in ((k, h0, r0, 1.0), (k + 1, h0, r0, 1.0), (k + 1, h1, r1, 0.0), (k, h1, r1, 0.0)):
                a = 2 * math.pi * kk / segments
                if smooth:
                    n = (math.cos(a), slope, -math.sin(a))
                else:
                    am = 2 * math.pi * (k + 0.5) / segments
                    n = (math.cos(am), slope, -math.sin(am))
                length = math.sqrt(sum(c * c for c in n))
                corners.append((ring_point(h, r, kk), tuple(c / length for c in n), (kk / segments, v)))
            if r1 == 0:
                corners = corners[:3]
            elif r0 == 0:
                corners = [corners[0], corners[2], corners[3]]
            faces.append(corners)
    for (h, r), down in ((profile[0], True), (profile[-1], False)):
        if r == 0:
            continue
        normal = (0.0, -1.0 if down else 1.0, 0.0)
        centre = ((0.0, h, 0.0), normal, (0.5, 0.5))
        for k in range(segments):
            a, b = ring_point(h, r, k), ring_point(h, r, k + 1)
            rim = [(a, normal, (0.5, 0.5)), (b, normal, (0.5, 0.5))]
            faces.append([centre, rim[1], rim[0]] if down else [centre, rim[0], rim[1]])
    return faces


def transformed(faces, offset=(0, 0, 0)):
    return [[(tuple(p[i] + offset[i] for i in range(3)), n, uv) for p, n, uv in face] for face in faces]


class Gltf:
    """A glTF 2.0 document being built: one binary buffer, written as .glb or
    as .gltf beside a .bin (or with the buffer in a data URI)."""

    def __init__(self):
        self.doc = {"asset": {"version": "2.0", "generator": "xmoplay scripts/model_files.py"},
                    "scene": 0, "scenes": [{"nodes": []}], "nodes": [], "meshes": [],
                    "accessors": [], "bufferViews": [], "buffers": []}
        self.data = bytearray()

    def _list(self, name):
        return self.doc.setdefault(name, [])

    def view(self, data, target=None):
        while len(self.data) % 4:
            self.data.append(0)
        view = {"buffer": 0, "byteOffset": len(self.data), "byteLength": len(data)}
        if target:
            view["target"] = target
        self.data += data
        self.doc["bufferViews"].append(view)
        return len(self.doc["bufferViews"]) - 1

    def accessor(self, values, kind):
        """values: tuples of floats (VEC2, VEC3) or ints (SCALAR indices)."""
        if kind == "SCALAR":
            data = struct.pack("<%dI" % len(values), *values)
            entry = {"componentType": UNSIGNED_INT, "count": len(values), "type": "SCALAR",
                     "bufferView": self.view(data, ELEMENT_ARRAY_BUFFER)}
        else:
            flat = [c for v in values for c in v]
            data = struct.pack("<%df" % len(flat), *flat)
            entry = {"componentType": FLOAT, "count": len(values), "type": kind,
                     "bufferView": self.view(data, ARRAY_BUFFER)}
            if kind == "VEC3":
                entry["min"] = [min(v[i] for v in values) for i in range(3)]
                entry["max"] = [max(v[i] for v in values) for i in range(3)]
        self.doc["accessors"].append(entry)
        return len(self.doc["accessors"]) - 1

    def image(self, png_bytes, uri=None):
        """A picture in the buffer, or named by uri (the caller writes it)."""
        image = {"uri": uri} if uri else {"bufferView": self.view(png_bytes), "mimeType": "image/png"}
        self._list("images").append(image)
        return len(self.doc["images"]) - 1

    def texture(self, image, clamp=False):
        sampler = {"wrapS": 33071, "wrapT": 33071} if clamp else {}
        self._list("samplers").append(sampler)
        self._list("textures").append({"source": image, "sampler": len(self.doc["samplers"]) - 1})
        return len(self.doc["textures"]) - 1

    def material(self, name, colour, metallic=0.0, roughness=0.8, texture=None):
        pbr = {"baseColorFactor": list(colour) + [1.0] if len(colour) == 3 else list(colour),
               "metallicFactor": metallic, "roughnessFactor": roughness}
        if texture is not None:
            pbr["baseColorTexture"] = {"index": texture}
        self._list("materials").append({"name": name, "pbrMetallicRoughness": pbr})
        return len(self.doc["materials"]) - 1

    def mesh(self, name, parts):
        """parts: (faces, material or None); faces are split into triangles
        as fans."""
        primitives = []
        for faces, material in parts:
            vertices, index_of, indices = [], {}, []
            for face in faces:
                ids = []
                for corner in face:
                    if corner not in index_of:
                        index_of[corner] = len(vertices)
                        vertices.append(corner)
                    ids.append(index_of[corner])
                for k in range(1, len(ids) - 1):
                    indices += [ids[0], ids[k], ids[k + 1]]
            primitive = {"attributes": {"POSITION": self.accessor([v[0] for v in vertices], "VEC3"),
                                        "NORMAL": self.accessor([v[1] for v in vertices], "VEC3"),
                                        "TEXCOORD_0": self.accessor([v[2] for v in vertices], "VEC2")},
                         "indices": self.accessor(indices, "SCALAR")}
            if material is not None:
                primitive["material"] = material
            primitives.append(primitive)
        self.doc["meshes"].append({"name": name, "primitives": primitives})
        return len(self.doc["meshes"]) - 1

    def node(self, name, mesh=None, children=(), root=False, **transform):
        node = {"name": name}
        if mesh is not None:
            node["mesh"] = mesh
        if children:
            node["children"] = list(children)
        node.update(transform)
        self.doc["nodes"].append(node)
        index = len(self.doc["nodes"]) - 1
        if root:
            self.doc["scenes"][0]["nodes"].append(index)
        return index

    def glb(self):
        self.doc["buffers"] = [{"byteLength": len(self.data)}]
        text = json.dumps(self.doc, separators=(",", ":")).encode()
        text += b" " * (-len(text) % 4)
        data = bytes(self.data) + b"\0" * (-len(self.data) % 4)
        body = struct.pack("<I4s", len(text), b"JSON") + text + struct.pack("<I4s", len(data), b"BIN\0") + data
        return struct.pack("<4sII", b"glTF", 2, 12 + len(body)) + body

    def gltf(self, bin_uri=None):
        """The JSON text, with the buffer in bin_uri (write self.data there)
        or, without one, in a data URI."""
        uri = bin_uri or "data:application/octet-stream;base64," + base64.b64encode(bytes(self.data)).decode()
        self.doc["buffers"] = [{"byteLength": len(self.data), "uri": uri}]
        return json.dumps(self.doc, indent=1) + "\n"


def obj_text(objects, mtllib=None):
    """objects: (name, [(material or None, faces)]), written with shared
    v/vt/vn lists and one 'o' per object."""
    lines = ["# written by xmoplay scripts/model_files.py"]
    if mtllib:
        lines.append("mtllib " + mtllib)
    lists = {"v": {}, "vt": {}, "vn": {}}
    body = []

    def index(kind, value):
        table = lists[kind]
        if value not in table:
            table[value] = len(table) + 1
        return table[value]

    for name, parts in objects:
        body.append("o " + name)
        for material, faces in parts:
            if material:
                body.append("usemtl " + material)
            for face in faces:
                body.append("f " + " ".join("%d/%d/%d" % (index("v", p), index("vt", (uv[0], 1 - uv[1])), index("vn", n))
                                            for p, n, uv in face))
    for kind in ("v", "vt", "vn"):
        for value in lists[kind]:
            lines.append(kind + " " + " ".join("%g" % round(c, 6) for c in value))
    return "\n".join(lines + body) + "\n"


def mtl_text(materials):
    """materials: (name, Kd, Ks, Ns, map_Kd or None[, further lines])."""
    lines = ["# written by xmoplay scripts/model_files.py"]
    for name, kd, ks, ns, picture, *extra in materials:
        lines += ["", "newmtl " + name, "Kd %g %g %g" % kd, "Ks %g %g %g" % ks, "Ns %g" % ns]
        if picture:
            lines.append("map_Kd " + picture)
        lines += extra[0] if extra else []
    return "\n".join(lines) + "\n"
