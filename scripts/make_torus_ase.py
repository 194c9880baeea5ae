#!/usr/bin/env python3
"""Write models for Tabula: a textured torus with vertex normals as ASE
(ASCII scene export), binary glTF 2.0 (.glb, picture inside) or Wavefront OBJ
(with its .mtl), and the pieces to build other shapes.

Command line (the output's extension picks the format):
    make_torus_ase.py --faces 100000 --output build/torus.ase [--texture wood.png]
    make_torus_ase.py --faces 100000 --output build/torus.glb
    make_torus_ase.py --faces 100000 --output build/torus.obj

As a module:
    from make_torus_ase import AseObject, write_ase, torus_objects, write_png
The library reads models in the file's z-up axes, so shapes are built with z
up; a torus lies flat on the board.

One object's faces index its vertices with 16-bit numbers, so a shape with
more than 65,536 vertices or texture vertices is written as several objects.

glTF and OBJ are y-up: the same torus is written there with the file's
(x, y, z) turned to (x, z, -y), so it lies flat on the board in every format.
"""

import argparse
import json
import math
import os
import struct
import zlib

MAX_VERTICES_PER_OBJECT = 65536


class AseObject:
    """One geometry object: positions, texture vertices, triangles (three
    vertex numbers each), texture triangles (three texture-vertex numbers each)
    and one normal per triangle corner."""

    def __init__(self, name):
        self.name = name
        self.vertices = []
        self.tvertices = []
        self.faces = []
        self.tfaces = []
        self.corner_normals = []


def _f(value):
    return "%.4f" % value


def _face_normal(a, b, c):
    ux, uy, uz = (b[i] - a[i] for i in range(3))
    vx, vy, vz = (c[i] - a[i] for i in range(3))
    n = (uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx)
    length = math.sqrt(sum(x * x for x in n)) or 1.0
    return tuple(x / length for x in n)


def write_ase(path, objects, bitmap=None):
    """Writes `objects` to `path`; with `bitmap`, one material whose diffuse map
    is that file name (as written, relative to the model's folder)."""
    out = []
    w = out.append
    w("*3DSMAX_ASCIIEXPORT\t200\n")
    w('*COMMENT "make_torus_ase.py"\n')
    w('*SCENE {\n\t*SCENE_FILENAME "%s"\n\t*SCENE_FIRSTFRAME 0\n\t*SCENE_LASTFRAME 100\n}\n' % os.path.basename(path))
    if bitmap is not None:
        w("*MATERIAL_LIST {\n\t*MATERIAL_COUNT 1\n\t*MATERIAL 0 {\n")
        w('\t\t*MATERIAL_NAME "Surface"\n\t\t*MATERIAL_CLASS "Standard"\n')
        w("\t\t*MAP_DIFFUSE {\n\t\t\t*MAP_NAME \"Map #1\"\n\t\t\t*MAP_CLASS \"Bitmap\"\n")
        w('\t\t\t*BITMAP "%s"\n\t\t\t*MAP_AMOUNT 1.0000\n\t\t}\n\t}\n}\n' % bitmap)
    for obj in objects:
        if len(obj.vertices) > MAX_VERTICES_PER_OBJECT or len(obj.tvertices) > MAX_VERTICES_PER_OBJECT:
            raise ValueError("object %s has more than %d vertices" % (obj.name, MAX_VERTICES_PER_OBJECT))
        w('*GEOMOBJECT {\n\t*NODE_NAME "%s"\n\t*NODE_TM {\n\t\t*NODE_NAME "%s"\n' % (obj.name, obj.name))
        w("\t\t*TM_ROW0 1.0000\t0.0000\t0.0000\n\t\t*TM_ROW1 0.0000\t1.0000\t0.0000\n")
        w("\t\t*TM_ROW2 0.0000\t0.0000\t1.0000\n\t\t*TM_ROW3 0.0000\t0.0000\t0.0000\n\t}\n")
        w("\t*MESH {\n\t\t*TIMEVALUE 0\n")
        w("\t\t*MESH_NUMVERTEX %d\n\t\t*MESH_NUMFACES %d\n" % (len(obj.vertices), len(obj.faces)))
        w("\t\t*MESH_VERTEX_LIST {\n")
        for i, (x, y, z) in enumerate(obj.vertices):
            w("\t\t\t*MESH_VERTEX %5d\t%s\t%s\t%s\n" % (i, _f(x), _f(y), _f(z)))
        w("\t\t}\n\t\t*MESH_FACE_LIST {\n")
        for i, (a, b, c) in enumerate(obj.faces):
            w("\t\t\t*MESH_FACE %5d:    A: %5d B: %5d C: %5d AB:    1 BC:    1 CA:    0\t *MESH_SMOOTHING 1 \t*MESH_MTLID 0\n"
              % (i, a, b, c))
        w("\t\t}\n")
        if obj.tvertices:
            w("\t\t*MESH_NUMTVERTEX %d\n\t\t*MESH_TVERTLIST {\n" % len(obj.tvertices))
            for i, (u, v) in enumerate(obj.tvertices):
                w("\t\t\t*MESH_TVERT %5d\t%s\t%s\t0.0000\n" % (i, _f(u), _f(v)))
            w("\t\t}\n\t\t*MESH_NUMTVFACES %d\n\t\t*MESH_TFACELIST {\n" % len(obj.tfaces))
            for i, (a, b, c) in enumerate(obj.tfaces):
                w("\t\t\t*MESH_TFACE %5d\t%d\t%d\t%d\n" % (i, a, b, c))
            w("\t\t}\n")
        if obj.corner_normals:
            w("\t\t*MESH_NORMALS {\n")
            for i, face in enumerate(obj.faces):
                n = _face_normal(*(obj.vertices[v] for v in face))
                w("\t\t\t*MESH_FACENORMAL %5d\t%s\t%s\t%s\n" % (i, _f(n[0]), _f(n[1]), _f(n[2])))
                for corner, v in enumerate(face):
                    nx, ny, nz = obj.corner_normals[3 * i + corner]
                    w("\t\t\t\t*MESH_VERTEXNORMAL %5d\t%s\t%s\t%s\n" % (v, _f(nx), _f(ny), _f(nz)))
            w("\t\t}\n")
        w("\t}\n\t*PROP_MOTIONBLUR 0\n\t*PROP_CASTSHADOW 1\n\t*PROP_RECVSHADOW 1\n")
        if bitmap is not None:
            w("\t*MATERIAL_REF 0\n")
        w("}\n")
    with open(path, "w", newline="\n") as f:
        f.write("".join(out))


def torus_objects(faces=2000, major_radius=0.3, minor_radius=0.1, name="Torus"):
    """A torus about the z axis of about `faces` triangles (rings x sides x 2),
    as few objects as the 16-bit limit allows."""
    cells = max(faces // 2, 9)
    sides = max(3, int(round(math.sqrt(cells / 1.25))))
    rings = max(3, int(round(cells / sides)))
    # Each object covers a run of rings and repeats its last ring of vertices.
    rings_per_object = max(1, min(rings, MAX_VERTICES_PER_OBJECT // (sides + 1) - 1))
    objects = []
    for first in range(0, rings, rings_per_object):
        count = min(rings_per_object, rings - first)
        obj = AseObject("%s%02d" % (name, len(objects) + 1))
        for r in range(first, first + count + 1):
            theta = 2 * math.pi * r / rings
            for s in range(sides + 1):
                phi = 2 * math.pi * s / sides
                nx, ny, nz = math.cos(phi) * math.cos(theta), math.cos(phi) * math.sin(theta), math.sin(phi)
                rho = major_radius + minor_radius * math.cos(phi)
                if s < sides:
                    obj.vertices.append((rho * math.cos(theta), rho * math.sin(theta), minor_radius * nz))
                obj.tvertices.append((r / rings, s / sides))
        normals = [None] * len(obj.vertices)
        for i, (x, y, z) in enumerate(obj.vertices):
            r = first + i // sides
            theta = 2 * math.pi * r / rings
            phi = 2 * math.pi * (i % sides) / sides
            normals[i] = (math.cos(phi) * math.cos(theta), math.cos(phi) * math.sin(theta), math.sin(phi))
        for r in range(count):
            for s in range(sides):
                v00 = r * sides + s
                v01 = r * sides + (s + 1) % sides
                v10 = (r + 1) * sides + s
                v11 = (r + 1) * sides + (s + 1) % sides
                t00 = r * (sides + 1) + s
                t01, t10, t11 = t00 + 1, t00 + sides + 1, t00 + sides + 2
                for face, tface in (((v00, v10, v11), (t00, t10, t11)), ((v00, v11, v01), (t00, t11, t01))):
                    obj.faces.append(face)
                    obj.tfaces.append(tface)
                    obj.corner_normals.extend(normals[v] for v in face)
        objects.append(obj)
    return objects


def torus_grid(faces=2000, major_radius=0.3, minor_radius=0.1):
    """The torus of torus_objects() as one y-up grid of (rings + 1) x (sides + 1)
    vertices (the seams repeated so each vertex has one texture coordinate):
    positions, normals, (u, v) with v up, and triangles of vertex numbers."""
    cells = max(faces // 2, 9)
    sides = max(3, int(round(math.sqrt(cells / 1.25))))
    rings = max(3, int(round(cells / sides)))
    positions, normals, uvs, triangles = [], [], [], []
    for r in range(rings + 1):
        theta = 2 * math.pi * r / rings
        for s in range(sides + 1):
            phi = 2 * math.pi * s / sides
            n = (math.cos(phi) * math.cos(theta), math.cos(phi) * math.sin(theta), math.sin(phi))
            rho = major_radius + minor_radius * math.cos(phi)
            p = (rho * math.cos(theta), rho * math.sin(theta), minor_radius * n[2])
            positions.append((p[0], p[2], -p[1]))
            normals.append((n[0], n[2], -n[1]))
            uvs.append((r / rings, s / sides))
    for r in range(rings):
        for s in range(sides):
            v00 = r * (sides + 1) + s
            v01, v10, v11 = v00 + 1, v00 + sides + 1, v00 + sides + 2
            triangles.append((v00, v10, v11))
            triangles.append((v00, v11, v01))
    return positions, normals, uvs, triangles


def write_obj(path, grid, bitmap=None):
    """Writes the grid as OBJ; with `bitmap`, a .mtl beside it whose map_Kd is
    that file name."""
    positions, normals, uvs, triangles = grid
    out = ["# make_torus_ase.py\n"]
    w = out.append
    base = os.path.splitext(os.path.basename(path))[0]
    if bitmap is not None:
        w("mtllib %s.mtl\n" % base)
        with open(os.path.join(os.path.dirname(os.path.abspath(path)), base + ".mtl"), "w", newline="\n") as f:
            f.write("newmtl Surface\nKd 1.0000 1.0000 1.0000\nmap_Kd %s\n" % bitmap)
    for x, y, z in positions:
        w("v %s %s %s\n" % (_f(x), _f(y), _f(z)))
    for u, v in uvs:
        w("vt %s %s\n" % (_f(u), _f(v)))
    for x, y, z in normals:
        w("vn %s %s %s\n" % (_f(x), _f(y), _f(z)))
    w("o Torus\n")
    if bitmap is not None:
        w("usemtl Surface\n")
    for a, b, c in triangles:
        w("f %d/%d/%d %d/%d/%d %d/%d/%d\n" % (a + 1, a + 1, a + 1, b + 1, b + 1, b + 1, c + 1, c + 1, c + 1))
    with open(path, "w", newline="\n") as f:
        f.write("".join(out))


def write_glb(path, grid, png=None):
    """Writes the grid as a binary glTF 2.0 file (float positions, normals and
    texture coordinates, 32-bit indices); with `png` (the bytes of a PNG), that
    picture inside the file as the base colour texture."""
    positions, normals, uvs, triangles = grid
    blobs, views, accessors = [], [], []

    def add_view(data, target=None):
        offset = sum(len(b) for b in blobs)
        blobs.append(data + b"\0" * (-len(data) % 4))
        view = {"buffer": 0, "byteOffset": offset, "byteLength": len(data)}
        if target:
            view["target"] = target
        views.append(view)
        return len(views) - 1

    def add_accessor(values, kind, component, fmt, target, bounds=False):
        data = b"".join(struct.pack(fmt, *v) if isinstance(v, tuple) else struct.pack(fmt, v) for v in values)
        accessor = {"bufferView": add_view(data, target), "componentType": component, "count": len(values),
                    "type": kind}
        if bounds:
            accessor["min"] = [min(v[i] for v in values) for i in range(3)]
            accessor["max"] = [max(v[i] for v in values) for i in range(3)]
        accessors.append(accessor)
        return len(accessors) - 1

    flipped = [(u, 1.0 - v) for u, v in uvs]  # glTF's v runs down the picture
    attributes = {"POSITION": add_accessor(positions, "VEC3", 5126, "<3f", 34962, True),
                  "NORMAL": add_accessor(normals, "VEC3", 5126, "<3f", 34962),
                  "TEXCOORD_0": add_accessor(flipped, "VEC2", 5126, "<2f", 34962)}
    indices = add_accessor([i for t in triangles for i in t], "SCALAR", 5125, "<I", 34963)
    primitive = {"attributes": attributes, "indices": indices, "mode": 4}
    document = {"asset": {"version": "2.0", "generator": "make_torus_ase.py"}, "scene": 0,
                "scenes": [{"nodes": [0]}], "nodes": [{"mesh": 0, "name": "Torus"}],
                "meshes": [{"primitives": [primitive]}]}
    if png is not None:
        document["images"] = [{"bufferView": add_view(png), "mimeType": "image/png"}]
        document["textures"] = [{"source": 0}]
        document["materials"] = [{"pbrMetallicRoughness": {"baseColorTexture": {"index": 0}}}]
        primitive["material"] = 0
    binary = b"".join(blobs)
    document["buffers"] = [{"byteLength": len(binary)}]
    document["bufferViews"] = views
    document["accessors"] = accessors
    text = json.dumps(document, separators=(",", ":")).encode()
    text += b" " * (-len(text) % 4)
    glb = struct.pack("<4sII", b"glTF", 2, 12 + 8 + len(text) + 8 + len(binary))
    glb += struct.pack("<I4s", len(text), b"JSON") + text + struct.pack("<I4s", len(binary), b"BIN\0") + binary
    with open(path, "wb") as f:
        f.write(glb)


def png_bytes(size=64, dark=(120, 70, 30), light=(200, 150, 90), squares=8):
    """A small checkered RGB picture as PNG bytes."""
    step = max(1, size // squares)
    rows = []
    for y in range(size):
        row = bytearray([0])
        for x in range(size):
            row.extend(light if (x // step + y // step) % 2 == 0 else dark)
        rows.append(bytes(row))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b"")
    return png


def write_png(path, size=64, dark=(120, 70, 30), light=(200, 150, 90), squares=8):
    """A small checkered RGB picture, for a model's diffuse map."""
    with open(path, "wb") as f:
        f.write(png_bytes(size, dark, light, squares))


def main():
    parser = argparse.ArgumentParser(description="Write a textured torus with vertex normals as an ASE, GLB or OBJ model.")
    parser.add_argument("--faces", type=int, default=2000, help="about this many triangles (default 2000)")
    parser.add_argument("--major-radius", type=float, default=0.3, help="ring radius, model units (default 0.3)")
    parser.add_argument("--minor-radius", type=float, default=0.1, help="tube radius, model units (default 0.1)")
    parser.add_argument("--texture", default="torus.png",
                        help="diffuse bitmap named in the model, beside it (default torus.png)")
    parser.add_argument("--write-texture", action="store_true", help="also write that bitmap as a checkered PNG")
    parser.add_argument("--output", required=True, help="path of the .ase, .glb or .obj file to write")
    args = parser.parse_args()

    extension = os.path.splitext(args.output)[1].lower()
    if extension in (".glb", ".obj"):
        grid = torus_grid(args.faces, args.major_radius, args.minor_radius)
        if extension == ".glb":
            write_glb(args.output, grid, png_bytes())
        else:
            write_obj(args.output, grid, args.texture)
        count = len(grid[3])
    else:
        objects = torus_objects(args.faces, args.major_radius, args.minor_radius)
        write_ase(args.output, objects, args.texture)
        count = sum(len(o.faces) for o in objects)
    if args.write_texture and extension != ".glb":
        write_png(os.path.join(os.path.dirname(os.path.abspath(args.output)), args.texture))
    print("%s: %d faces, %d bytes" % (args.output, count, os.path.getsize(args.output)))


if __name__ == "__main__":
    main()
