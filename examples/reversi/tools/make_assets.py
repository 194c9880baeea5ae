#!/usr/bin/env python3
"""Writes the Reversi assets in the folder given: the disc as a glTF 2.0 file
(disc.gltf, with its picture disc.png) and the green felt of the squares
(felt.png).

The disc is a flat cylinder centred on its origin, y up: its upper half
(top face and upper rim) is black, its lower half white, one primitive each.
The colours come from a two-texel picture rather than material colours,
which the fixed-function lighting does not use. A disc shows Black as it is
and White turned upside down, so a flip is a half turn about a horizontal
axis.
"""
import base64
import json
import math
import os
import random
import struct
import sys
import zlib

RADIUS = 0.42
HALF_HEIGHT = 0.07
SEGMENTS = 48
BLACK = (18, 18, 20)
WHITE = (238, 236, 228)


def felt(size=64):
    """A green felt: a mid green with a faint grain."""
    grain = random.Random(7)
    shades = [[grain.uniform(-1, 1) for _ in range(size)] for _ in range(size)]
    return lambda x, y: (int(40 + 8 * shades[y][x]), int(150 + 16 * shades[y][x]), int(80 + 10 * shades[y][x]))


def half(sign):
    """Positions, normals and triangle indices of one half: the face at
    y = sign * HALF_HEIGHT and the rim between it and y = 0."""
    positions, normals, indices = [], [], []
    face_y = sign * HALF_HEIGHT
    # The face: a centre and a ring, normals straight out.
    positions.append((0.0, face_y, 0.0))
    normals.append((0.0, float(sign), 0.0))
    for i in range(SEGMENTS):
        angle = 2 * math.pi * i / SEGMENTS
        positions.append((RADIUS * math.cos(angle), face_y, -RADIUS * math.sin(angle)))
        normals.append((0.0, float(sign), 0.0))
    for i in range(SEGMENTS):
        a, b = 1 + i, 1 + (i + 1) % SEGMENTS
        # Counter-clockwise seen from outside the face.
        indices += [0, a, b] if sign > 0 else [0, b, a]
    # The rim: two rings, normals pointing away from the axis.
    rim = len(positions)
    for i in range(SEGMENTS):
        angle = 2 * math.pi * i / SEGMENTS
        x, z = math.cos(angle), -math.sin(angle)
        for y in (face_y, 0.0):
            positions.append((RADIUS * x, y, RADIUS * z))
            normals.append((x, 0.0, z))
    for i in range(SEGMENTS):
        j = (i + 1) % SEGMENTS
        edge, middle = rim + 2 * i, rim + 2 * i + 1
        next_edge, next_middle = rim + 2 * j, rim + 2 * j + 1
        if sign > 0:
            indices += [edge, middle, next_middle, edge, next_middle, next_edge]
        else:
            indices += [edge, next_middle, middle, edge, next_edge, next_middle]
    return positions, normals, indices


def write_png(path, width, height, pixel):
    """An 8-bit RGB PNG whose pixel (x, y) is pixel(x, y)."""
    rows = b""
    for y in range(height):
        rows += b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width))  # filter: none

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) +
                  chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_assets.py OUTPUT_DIR")
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    blob = bytearray()
    views, accessors, primitives = [], [], []

    def add(data, target, accessor):
        while len(blob) % 4:
            blob.append(0)
        views.append({"buffer": 0, "byteOffset": len(blob), "byteLength": len(data), "target": target})
        blob.extend(data)
        accessor["bufferView"] = len(views) - 1
        accessors.append(accessor)
        return len(accessors) - 1

    for texel, sign in ((0.25, 1), (0.75, -1)):
        positions, normals, indices = half(sign)
        flat = [c for p in positions for c in p]
        position = add(struct.pack("<%df" % len(flat), *flat), 34962, {
            "componentType": 5126, "count": len(positions), "type": "VEC3",
            "min": [min(p[k] for p in positions) for k in range(3)],
            "max": [max(p[k] for p in positions) for k in range(3)]})
        flat = [c for n in normals for c in n]
        normal = add(struct.pack("<%df" % len(flat), *flat), 34962,
                     {"componentType": 5126, "count": len(normals), "type": "VEC3"})
        uv = add(struct.pack("<%df" % (2 * len(positions)), *([texel, 0.5] * len(positions))), 34962,
                 {"componentType": 5126, "count": len(positions), "type": "VEC2"})
        index = add(struct.pack("<%dH" % len(indices), *indices), 34963,
                    {"componentType": 5123, "count": len(indices), "type": "SCALAR"})
        primitives.append({"attributes": {"POSITION": position, "NORMAL": normal, "TEXCOORD_0": uv},
                           "indices": index, "material": 0})

    document = {
        "asset": {"version": "2.0", "generator": "Tabula Reversi make_discs.py"},
        "scene": 0,
        "scenes": [{"nodes": [0]}],
        "nodes": [{"mesh": 0, "name": "disc"}],
        "meshes": [{"primitives": primitives}],
        "materials": [{"name": "faces", "pbrMetallicRoughness": {"baseColorTexture": {"index": 0}}}],
        "textures": [{"source": 0}],
        "images": [{"uri": "disc.png"}],
        "buffers": [{"byteLength": len(blob),
                     "uri": "data:application/octet-stream;base64," + base64.b64encode(bytes(blob)).decode()}],
        "bufferViews": views,
        "accessors": accessors,
    }
    with open(os.path.join(out_dir, "disc.gltf"), "w") as out:
        json.dump(document, out, indent=1)
    write_png(os.path.join(out_dir, "disc.png"), 2, 1, lambda x, y: BLACK if x == 0 else WHITE)
    write_png(os.path.join(out_dir, "felt.png"), 64, 64, felt())


if __name__ == "__main__":
    main()
