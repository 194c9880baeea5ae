#!/usr/bin/env python3
"""Makes every asset of the draughts demo, deterministically: pictures,
normal maps, piece models and the GLSL shader sources.

The output is committed under examples/draughts/assets/, so nothing here runs
at build time. To regenerate after changing this script:

    cmake --build build --target draughts_assets
    python3 examples/draughts/tools/make_assets.py build/examples/draughts/draughts_assets

The argument is the small libjpeg encoder built from tools/ppm_to_jpeg.cpp;
it turns the wood pictures, written here as PPM, into JPEG files. Only the
Python standard library is used (PNG is zlib + struct).
"""

import math
import os
import struct
import subprocess
import sys
import tempfile
import zlib

ASSETS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets")


# ---------------------------------------------------------------- pictures

def write_png(path, width, height, pixels):
    """pixels: rows top to bottom, each a list of (r, g, b) bytes."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b in row:
            raw += bytes((r, g, b))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        out.write(chunk(b"IEND", b""))


def write_ppm(path, width, height, pixels):
    with open(path, "wb") as out:
        out.write(b"P6\n%d %d\n255\n" % (width, height))
        for row in pixels:
            for r, g, b in row:
                out.write(bytes((r, g, b)))


def hash01(x, y, seed):
    # Integer hash, so the pictures are the same on every machine and Python.
    h = (x * 374761393 + y * 668265263 + seed * 2147483647) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0


def value_noise(x, y, seed, period):
    """Smooth noise in [0, 1] that tiles every `period` lattice cells."""
    x0, y0 = math.floor(x), math.floor(y)
    fx, fy = x - x0, y - y0
    sx, sy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)

    def at(ix, iy):
        return hash01(ix % period, iy % period, seed)

    top = at(x0, y0) * (1 - sx) + at(x0 + 1, y0) * sx
    bottom = at(x0, y0 + 1) * (1 - sx) + at(x0 + 1, y0 + 1) * sx
    return top * (1 - sy) + bottom * sy


def fractal(x, y, seed, period, octaves=4):
    total, weight, scale = 0.0, 0.0, 1.0
    for octave in range(octaves):
        amplitude = 0.5 ** octave
        total += amplitude * value_noise(x * scale, y * scale, seed + octave, period * int(scale))
        weight += amplitude
        scale *= 2
    return total / weight


def height_field(size, function):
    return [[function(x, y) for x in range(size)] for y in range(size)]


def mix(a, b, t):
    return tuple(int(max(0, min(255, a[i] + (b[i] - a[i]) * t))) for i in range(3))


def colourise(heights, dark, light):
    return [[mix(dark, light, h) for h in row] for row in heights]


def normal_map(heights, strength):
    """Tangent-space normals of a tiling height field: x right, y up the
    picture, z out of the surface, each packed as (n + 1) / 2."""
    size = len(heights)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            dx = heights[y][(x + 1) % size] - heights[y][(x - 1) % size]
            # Picture rows run downwards while texture v runs upwards.
            dy = heights[(y - 1) % size][x] - heights[(y + 1) % size][x]
            nx, ny, nz = -dx * strength, -dy * strength, 1.0
            length = math.sqrt(nx * nx + ny * ny + nz * nz)
            row.append(tuple(int(round((c / length + 1) * 127.5)) for c in (nx, ny, nz)))
        rows.append(row)
    return rows


def wood_heights(size, seed, rings, warp):
    def grain(x, y):
        u, v = x / size, y / size
        bend = fractal(u * 4, v * 4, seed, 4) * warp
        ring = 0.5 + 0.5 * math.sin(2 * math.pi * (u * rings + bend))
        fibre = fractal(u * 32, v * 2, seed + 17, 32, 3)
        return 0.65 * ring ** 3 + 0.35 * fibre
    return height_field(size, grain)


def marble_heights(size, seed):
    def veins(x, y):
        u, v = x / size, y / size
        turbulence = fractal(u * 4, v * 4, seed, 4)
        vein = abs(math.sin(2 * math.pi * (u + v + 2.5 * turbulence)))
        return 0.6 * vein ** 0.3 + 0.4 * fractal(u * 16, v * 16, seed + 5, 16, 2)
    return height_field(size, veins)


def piece_picture(size, body_dark, body_light, seed):
    """Rows for texture v in [0, 0.85) hold the body's rings; the top rows
    (v from 0.85) are the gold that the king's crown maps onto."""
    heights = wood_heights(size, seed, 6, 0.4)
    rows = colourise(heights, body_dark, body_light)
    gold_rows = int(size * 0.15)
    for y in range(gold_rows):
        for x in range(size):
            shine = 0.5 + 0.5 * math.sin(2 * math.pi * x / size * 8)
            rows[y][x] = mix((150, 105, 20), (250, 215, 90), shine)
    return rows


# ----------------------------------------------------------------- shaders

VERTEX_SHADER = """// Draughts demo: passes eye-space position and normal on for per-pixel light.
#version 120

varying vec3 v_Position;
varying vec3 v_Normal;

void main()
{
    v_Position = vec3(gl_ModelViewMatrix * gl_Vertex);
    v_Normal = gl_NormalMatrix * gl_Normal;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = ftransform();
}
"""

FRAGMENT_SHADER = """// Draughts demo: the picture on unit 0, its normal map (if any) on unit 1,
// lit per pixel by the first two fixed-function lights. The material's
// diffuse colour is white except on highlighted squares, whose tint it is.
#version 120

uniform sampler2D TextureID;
uniform sampler2D NormalsID;

varying vec3 v_Position;
varying vec3 v_Normal;

// Tangent frame from screen-space derivatives, as the models carry no tangents.
mat3 surfaceFrame(vec3 n, vec3 p, vec2 uv)
{
    vec3 dp1 = dFdx(p);
    vec3 dp2 = dFdy(p);
    vec2 duv1 = dFdx(uv);
    vec2 duv2 = dFdy(uv);
    vec3 dp2perp = cross(dp2, n);
    vec3 dp1perp = cross(n, dp1);
    vec3 t = dp2perp * duv1.x + dp1perp * duv2.x;
    vec3 b = dp2perp * duv1.y + dp1perp * duv2.y;
    float scale = inversesqrt(max(max(dot(t, t), dot(b, b)), 1e-12));
    return mat3(t * scale, b * scale, n);
}

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec4 albedo = texture2D(TextureID, uv);
    vec3 n = normalize(v_Normal);
    // Nothing bound on unit 1 reads as black: keep the surface's own normal.
    vec3 bump = texture2D(NormalsID, uv).rgb;
    if (dot(bump, bump) > 0.01)
        n = normalize(surfaceFrame(n, v_Position, uv) * (bump * 2.0 - 1.0));

    vec3 view = normalize(-v_Position);
    vec3 diffuse = vec3(0.30);
    vec3 specular = vec3(0.0);
    for (int i = 0; i < 2; ++i)
    {
        vec4 position = gl_LightSource[i].position;
        vec3 toLight = position.w == 0.0 ? normalize(position.xyz) : normalize(position.xyz - v_Position);
        float spot = 1.0;
        if (gl_LightSource[i].spotCutoff <= 90.0)
            spot = dot(-toLight, normalize(gl_LightSource[i].spotDirection)) >= gl_LightSource[i].spotCosCutoff ? 1.0 : 0.0;
        float facing = max(dot(n, toLight), 0.0);
        diffuse += spot * facing * gl_LightSource[i].diffuse.rgb;
        if (facing > 0.0)
            specular += spot * pow(max(dot(n, normalize(toLight + view)), 0.0), 24.0) * gl_LightSource[i].specular.rgb;
    }

    vec3 colour = albedo.rgb * diffuse + 0.25 * specular;
    vec3 tint = gl_FrontMaterial.diffuse.rgb;
    float tinted = 1.0 - min(tint.r, min(tint.g, tint.b));
    colour = mix(colour, tint * (0.35 + 0.65 * diffuse), 0.5 * tinted);
    gl_FragColor = vec4(colour, 1.0);
}
"""


# ------------------------------------------------------------------ models

SEGMENTS = 16
GOLD_V = 0.86


class Lathe:
    """Triangles of surfaces of revolution about the z axis (the file's up
    axis). Each patch is a run of profile points (r, z); patches are kept
    apart so a crease between them gets two normals."""

    def __init__(self):
        self.vertices = []
        self.normals = []
        self.tvertices = []
        self.faces = []

    def patch(self, profile, v0, v1, lift=None):
        """profile: (r, z) points; lift(i, angle) optionally raises profile
        point i at that angle (crown teeth). Texture v runs from v0 to v1."""
        rows = []
        count = len(profile)
        for i, (r, z) in enumerate(profile):
            # Outward normal in the (radius, z) plane from the profile's direction.
            a = profile[max(i - 1, 0)]
            b = profile[min(i + 1, count - 1)]
            dr, dz = b[0] - a[0], b[1] - a[1]
            length = math.hypot(dr, dz) or 1.0
            nr, nz = dz / length, -dr / length
            row = []
            for j in range(SEGMENTS + 1):
                angle = 2 * math.pi * j / SEGMENTS
                c, s = math.cos(angle), math.sin(angle)
                height = z + (lift(i, angle) if lift else 0.0)
                self.vertices.append((r * c, r * s, height))
                self.normals.append((nr * c, nr * s, nz))
                self.tvertices.append((j / SEGMENTS, v0 + (v1 - v0) * i / (count - 1)))
                row.append(len(self.vertices) - 1)
            rows.append(row)
        for i in range(count - 1):
            for j in range(SEGMENTS):
                a, b = rows[i][j], rows[i][j + 1]
                c, d = rows[i + 1][j], rows[i + 1][j + 1]
                if profile[i][0] > 1e-9:
                    self.faces.append((a, b, d))
                if profile[i + 1][0] > 1e-9:
                    self.faces.append((a, d, c))

    def centre_vertically(self):
        low = min(v[2] for v in self.vertices)
        high = max(v[2] for v in self.vertices)
        middle = (low + high) / 2
        self.vertices = [(x, y, z - middle) for x, y, z in self.vertices]


def man(lathe, base=0.0, rim=True, height=0.13):
    """A turned disc: straight side, rounded top edge, and either a raised
    rim round a slightly sunken top or a flat top. The underside rests on the
    board and is never seen, so it is left open."""
    radius, edge = 0.38, 0.02
    top = base + height
    lathe.patch([(radius, base), (radius, top - edge)], 0.15, 0.45)
    lathe.patch([(radius, top - edge), (radius - edge, top)], 0.45, 0.5)
    if not rim:
        lathe.patch([(radius - edge, top), (0.0, top)], 0.5, 0.85)
        return top
    inner = radius - 0.065
    lathe.patch([(radius - edge, top), (inner, top)], 0.5, 0.6)
    lathe.patch([(inner, top), (inner - 0.015, top - edge)], 0.6, 0.65)
    lathe.patch([(inner - 0.015, top - edge), (0.0, top - edge)], 0.65, 0.85)
    return top - edge


def king(lathe):
    """A disc twice a man's height under a toothed gold crown."""
    top = man(lathe, 0.0, rim=False, height=0.24)
    crown_outer, crown_inner, wall = 0.22, 0.18, 0.09

    def teeth(angle):
        # Eight points, each a rounded bump above the band.
        return 0.06 * max(0.0, math.cos(8 * angle)) ** 2

    lathe.patch([(crown_outer, top), (crown_outer, top + wall)], GOLD_V, 0.93,
                lambda i, angle: teeth(angle) if i == 1 else 0.0)
    lathe.patch([(crown_outer, top + wall), (crown_inner, top + wall)], 0.93, 0.95,
                lambda i, angle: teeth(angle))
    lathe.patch([(crown_inner, top + wall), (crown_inner, top)], 0.95, 1.0,
                lambda i, angle: teeth(angle) if i == 0 else 0.0)
    lathe.patch([(crown_inner, top), (0.0, top + 0.04)], GOLD_V, 0.9)


def number(value):
    text = "%.3f" % value
    return "0.000" if text == "-0.000" else text


def write_ase(path, lathe, bitmap):
    """The engine turns file positions (x, y, z) into (x, z, -y) but hands
    file normals to OpenGL as (x, -y, -z); normals are written as
    (nx, -nz, ny) so that both come out in the same frame."""
    out = ["*3DSMAX_ASCIIEXPORT 200", "*COMMENT \"made by make_assets.py\""]
    out += ["*MATERIAL_LIST {", "\t*MATERIAL_COUNT 1", "\t*MATERIAL 0 {",
            "\t\t*MATERIAL_NAME \"%s\"" % bitmap.split(".")[0], "\t\t*MAP_DIFFUSE {",
            "\t\t\t*BITMAP \"%s\"" % bitmap, "\t\t}", "\t}", "}"]
    out += ["*GEOMOBJECT {", "\t*NODE_NAME \"piece\"", "\t*NODE_TM {",
            "\t\t*TM_ROW0 1.0000 0.0000 0.0000", "\t\t*TM_ROW1 0.0000 1.0000 0.0000",
            "\t\t*TM_ROW2 0.0000 0.0000 1.0000", "\t\t*TM_ROW3 0.0000 0.0000 0.0000", "\t}"]
    out += ["\t*MESH {", "\t\t*MESH_NUMVERTEX %d" % len(lathe.vertices),
            "\t\t*MESH_NUMFACES %d" % len(lathe.faces), "\t\t*MESH_VERTEX_LIST {"]
    for i, v in enumerate(lathe.vertices):
        out.append("\t\t\t*MESH_VERTEX %d %s" % (i, " ".join(number(c) for c in v)))
    out += ["\t\t}", "\t\t*MESH_FACE_LIST {"]
    for i, (a, b, c) in enumerate(lathe.faces):
        out.append("\t\t\t*MESH_FACE %d: A: %d B: %d C: %d AB: 1 BC: 1 CA: 1 *MESH_SMOOTHING 1 *MESH_MTLID 0"
                   % (i, a, b, c))
    out += ["\t\t}", "\t\t*MESH_NUMTVERTEX %d" % len(lathe.tvertices), "\t\t*MESH_TVERTLIST {"]
    for i, (u, v) in enumerate(lathe.tvertices):
        out.append("\t\t\t*MESH_TVERT %d %s %s 0.000" % (i, number(u), number(v)))
    out += ["\t\t}", "\t\t*MESH_NUMTVFACES %d" % len(lathe.faces), "\t\t*MESH_TFACELIST {"]
    for i, (a, b, c) in enumerate(lathe.faces):
        out.append("\t\t\t*MESH_TFACE %d %d %d %d" % (i, a, b, c))
    out += ["\t\t}", "\t\t*MESH_NORMALS {"]

    def as_file_normal(n):
        return " ".join(number(c) for c in (n[0], -n[2], n[1]))

    for i, face in enumerate(lathe.faces):
        p = [lathe.vertices[k] for k in face]
        e1 = [p[1][k] - p[0][k] for k in range(3)]
        e2 = [p[2][k] - p[0][k] for k in range(3)]
        n = (e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0])
        length = math.sqrt(sum(c * c for c in n)) or 1.0
        out.append("\t\t\t*MESH_FACENORMAL %d %s" % (i, as_file_normal([c / length for c in n])))
        for k in face:
            out.append("\t\t\t*MESH_VERTEXNORMAL %d %s" % (k, as_file_normal(lathe.normals[k])))
    out += ["\t\t}", "\t}", "\t*MATERIAL_REF 0", "}", ""]
    with open(path, "w") as f:
        f.write("\n".join(out))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_assets.py PATH/TO/draughts_assets")
    jpeg_tool = sys.argv[1]
    os.makedirs(ASSETS, exist_ok=True)

    def asset(name):
        return os.path.join(ASSETS, name)

    def jpeg(name, size, rows):
        with tempfile.TemporaryDirectory() as work:
            ppm = os.path.join(work, "picture.ppm")
            write_ppm(ppm, size, size, rows)
            subprocess.run([jpeg_tool, ppm, asset(name), "88"], check=True)

    wood = wood_heights(256, 3, 9, 0.6)
    jpeg("board_wood.jpg", 256, colourise(wood, (92, 52, 24), (176, 112, 58)))
    # The normal map of a picture keeps the picture's extension.
    jpeg("board_wood_normal.jpg", 256, normal_map(wood, 3.0))

    dark = marble_heights(64, 11)
    write_png(asset("square_dark.png"), 64, 64, colourise(dark, (18, 58, 40), (64, 112, 84)))
    write_png(asset("square_dark_normal.png"), 64, 64, normal_map(dark, 2.0))
    light = wood_heights(64, 23, 3, 0.3)
    write_png(asset("square_light.png"), 64, 64, colourise(light, (214, 186, 140), (240, 222, 186)))
    write_png(asset("square_light_normal.png"), 64, 64, normal_map(light, 1.5))

    write_png(asset("piece_black.png"), 64, 64, piece_picture(64, (20, 18, 18), (70, 60, 56), 31))
    write_png(asset("piece_white.png"), 64, 64, piece_picture(64, (200, 184, 150), (246, 238, 218), 37))

    for name, source in (("draughts.vert", VERTEX_SHADER), ("draughts.frag", FRAGMENT_SHADER)):
        with open(asset(name), "w") as out:
            out.write(source)

    for side in ("black", "white"):
        model = Lathe()
        man(model)
        model.centre_vertically()
        write_ase(asset("man_%s.ase" % side), model, "piece_%s.png" % side)
        model = Lathe()
        king(model)
        model.centre_vertically()
        write_ase(asset("king_%s.ase" % side), model, "piece_%s.png" % side)


if __name__ == "__main__":
    main()
