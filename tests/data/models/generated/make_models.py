#!/usr/bin/env python3
"""Writes the small glTF files of this folder: one triangle (or two) whose
positions, normals, texture coordinates or indices come through a sparse
accessor, over a buffer view or over zeros, or through an accessor without
a buffer view; a file without scenes; and files whose refusal must name the
true cause. Each file holds its buffer as a base64 data: URI. Run it here to
make them again; GLTFReaderTest and ModelReaderTest state what each must do."""
import base64
import json
import struct
import zlib


def model(name, accessors, chunks, primitive, extra=None):
    # chunks: byte strings, one buffer view each, laid end to end (4-aligned).
    data, views = b"", []
    for chunk in chunks:
        views.append({"buffer": 0, "byteOffset": len(data), "byteLength": len(chunk)})
        data += chunk + b"\0" * (-len(chunk) % 4)
    root = {
        "asset": {"version": "2.0", "generator": "tests/data/models/generated/make_models.py"},
        "scenes": [{"nodes": [0]}], "scene": 0, "nodes": [{"mesh": 0}],
        "meshes": [{"primitives": [primitive]}],
        "buffers": [{"byteLength": len(data),
                     "uri": "data:application/octet-stream;base64," + base64.b64encode(data).decode()}],
        "bufferViews": views, "accessors": accessors}
    for key, value in (extra or {}).items():
        if value is None:
            del root[key]
        else:
            root[key] = value
    with open(name, "w") as f:
        json.dump(root, f, separators=(",", ":"))
        f.write("\n")


def floats(*values):
    return struct.pack("<%df" % len(values), *values)


def sparse(count, indices_view, values_view, index_type=5125):
    return {"count": count, "indices": {"bufferView": indices_view, "componentType": index_type},
            "values": {"bufferView": values_view}}


triangle = floats(0, 0, 0, 1, 0, 0, 0, 0, -1)
vec3 = {"componentType": 5126, "count": 3, "type": "VEC3"}

# Vertex 1 moves from (1, 0, 0) to (1, 5, 0); 8-bit sparse indices.
model("positions_over_view.gltf",
      [dict(vec3, bufferView=0, min=[0, 0, -1], max=[1, 5, 0], sparse=sparse(1, 1, 2, 5121))],
      [triangle, bytes([1]), floats(1, 5, 0)], {"attributes": {"POSITION": 0}})
# Zeros but for vertices 1 and 2; 16-bit sparse indices.
model("positions_over_zeros.gltf",
      [dict(vec3, min=[0, 0, -1], max=[1, 0, 0], sparse=sparse(2, 0, 1, 5123))],
      [struct.pack("<2H", 1, 2), floats(1, 0, 0, 0, 0, -1)], {"attributes": {"POSITION": 0}})
# Normals: zeros with vertex 0's set to +y, the rest from the base view.
model("normals_over_view.gltf",
      [dict(vec3, bufferView=0, min=[0, 0, -1], max=[1, 0, 0]),
       dict(vec3, bufferView=1, sparse=sparse(1, 2, 3))],
      [triangle, floats(0, 0, 0, 0, 1, 0, 0, 1, 0), struct.pack("<I", 0), floats(0, 1, 0)],
      {"attributes": {"POSITION": 0, "NORMAL": 1}})
# Texture coordinates: every one from the sparse values, over zeros. They
# are kept for a textured primitive: a white pixel is its picture.
pixel = zlib.compress(b"\0\xff\xff\xff")
png = b"\x89PNG\r\n\x1a\n" + b"".join(
    struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    for kind, data in ((b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 2, 0, 0, 0)), (b"IDAT", pixel), (b"IEND", b"")))
model("texcoords_over_zeros.gltf",
      [dict(vec3, bufferView=0, min=[0, 0, -1], max=[1, 0, 0]),
       {"componentType": 5126, "count": 3, "type": "VEC2", "sparse": sparse(3, 1, 2)}],
      [triangle, struct.pack("<3I", 0, 1, 2), floats(0, 0, 1, 0, 0, 1)],
      {"attributes": {"POSITION": 0, "TEXCOORD_0": 1}, "material": 0},
      {"materials": [{"pbrMetallicRoughness": {"baseColorTexture": {"index": 0}}}],
       "textures": [{"source": 0}],
       "images": [{"uri": "data:image/png;base64," + base64.b64encode(png).decode()}]})
# Indices 0 1 2 with index 0 replaced by 3: the triangle drawn is 3 1 2.
model("indices_over_view.gltf",
      [{"bufferView": 0, "componentType": 5126, "count": 4, "type": "VEC3", "min": [0, 0, -1], "max": [1, 0, 0]},
       {"bufferView": 1, "componentType": 5123, "count": 3, "type": "SCALAR", "sparse": sparse(1, 2, 3)}],
      [floats(0, 0, 0, 1, 0, 0, 0, 0, -1, 1, 0, -1), struct.pack("<3H", 0, 1, 2), struct.pack("<I", 0),
       struct.pack("<H", 3)],
      {"attributes": {"POSITION": 0}, "indices": 1})
# Indices over zeros, 0 0 0 with indices 1 and 2 set to 1 and 3: the
# triangle drawn is 0 1 3; as .gltf and as .glb (its buffer the BIN chunk).
square = floats(0, 0, 0, 1, 0, 0, 0, 0, -1, 1, 0, -1)
indices_over_zeros = (
    [{"bufferView": 0, "componentType": 5126, "count": 4, "type": "VEC3", "min": [0, 0, -1], "max": [1, 0, 0]},
     {"componentType": 5125, "count": 3, "type": "SCALAR", "sparse": sparse(2, 1, 2)}],
    [square, struct.pack("<2I", 1, 2), struct.pack("<2I", 1, 3)],
    {"attributes": {"POSITION": 0}, "indices": 1})
model("indices_over_zeros.gltf", *indices_over_zeros)
with open("indices_over_zeros.gltf") as f:
    root = json.load(f)
data = base64.b64decode(root["buffers"][0].pop("uri").split(",")[1])
text = json.dumps(root, separators=(",", ":")).encode()
text += b" " * (-len(text) % 4)
with open("indices_over_zeros.glb", "wb") as f:
    f.write(b"glTF" + struct.pack("<2I", 2, 28 + len(text) + len(data)) + struct.pack("<I", len(text)) + b"JSON" +
            text + struct.pack("<I", len(data)) + b"BIN\0" + data)
# No buffer view and no sparse values: every position is the origin.
model("positions_without_view.gltf",
      [dict(vec3, min=[0, 0, 0], max=[0, 0, 0])], [b"\0" * 4], {"attributes": {"POSITION": 0}})
# No scene: the root nodes are drawn (node 1 is node 0's child, moved up by 2).
model("no_scene.gltf",
      [dict(vec3, bufferView=0, min=[0, 0, -1], max=[1, 0, 0])], [triangle], {"attributes": {"POSITION": 0}},
      {"scenes": None, "scene": None, "nodes": [{"mesh": 0, "children": [1]}, {"mesh": 0, "translation": [0, 2, 0]}]})

# Refused, each for the cause its name says.
model("data_uri_not_base64.gltf", [dict(vec3, bufferView=0)], [triangle], {"attributes": {"POSITION": 0}})
with open("data_uri_not_base64.gltf") as f:
    root = json.load(f)
root["buffers"][0]["uri"] = "data:application/octet-stream,plain%20text"
with open("data_uri_not_base64.gltf", "w") as f:
    json.dump(root, f, separators=(",", ":"))
# Draco-compressed geometry (its accessors have no views) with the extension
# listed as used but not as required.
model("draco_not_required.gltf",
      [dict(vec3, min=[0, 0, -1], max=[1, 0, 0]), {"componentType": 5125, "count": 3, "type": "SCALAR"}],
      [b"\0" * 8],
      {"attributes": {"POSITION": 0}, "indices": 1,
       "extensions": {"KHR_draco_mesh_compression": {"bufferView": 0, "attributes": {"POSITION": 0}}}},
      {"extensionsUsed": ["KHR_draco_mesh_compression"]})
# A buffer view naming a buffer the file does not have.
model("view_names_no_buffer.gltf", [dict(vec3, bufferView=0)], [triangle], {"attributes": {"POSITION": 0}})
with open("view_names_no_buffer.gltf") as f:
    root = json.load(f)
root["bufferViews"][0]["buffer"] = 3
with open("view_names_no_buffer.gltf", "w") as f:
    json.dump(root, f, separators=(",", ":"))
    f.write("\n")
# A GLB of version 1 whose lengths are all right.
text = json.dumps({"asset": {"version": "2.0"}}).encode()
text += b" " * (-len(text) % 4)
with open("glb_version_1.glb", "wb") as f:
    f.write(b"glTF" + struct.pack("<3I", 1, 20 + len(text), len(text)) + b"JSON" + text)
