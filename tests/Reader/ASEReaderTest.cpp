#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <Reader/ASEReader.h>
#include <Rendering/Geometry.h>
#include <Rendering/Mesh.h>
#include <Rendering/Primitive.h>
#include <Rendering/Texture.h>

#include "support/TestPaths.h"

namespace
{

using Indices = std::vector<unsigned short>;
using Points = std::vector<Vec3<double>>;
using Rendering::Geometry;
using Rendering::Mesh;
using Rendering::Primitive;

const std::string c_BadStructure = "[ASEReader]> Bad structure in ASE file.\n";

int countOf(const std::string& text, const std::string& line)
{
    int count = 0;
    for (std::size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
        ++count;
    return count;
}

Geometry& geometry(Mesh& mesh, std::size_t i)
{
    return *mesh.getGeometries().at(i);
}
Primitive& primitive(Mesh& mesh, std::size_t g, std::size_t p)
{
    return *geometry(mesh, g).getPrimitives().at(p);
}
std::string textureFile(Primitive& p)
{
    return p.getTexture() ? p.getTexture()->getFileName() : std::string("none");
}

struct AseCase
{
    const char* m_File;
    int m_BadStructures;
    std::size_t m_Geometries;
    std::function<void(Mesh&)> m_Check;
};

const std::vector<AseCase> c_Cases = {
    {"triangle.ase", 0, 1,
     [](Mesh& m)
     {
         EXPECT_EQ(geometry(m, 0).getVertexArray(), (Points{{0, 0, 0}, {1, 0, 0}, {0, 0, -1}}));
         ASSERT_EQ(geometry(m, 0).getPrimitives().size(), 1u);
         Primitive& p = primitive(m, 0, 0);
         EXPECT_EQ(p.getPrimitiveType(), unsigned(GL_TRIANGLES));
         EXPECT_EQ(p.getVertexIndicesArray(), (Indices{0, 1, 2}));
         EXPECT_EQ(p.getAssociateGeometry(), &geometry(m, 0));
         EXPECT_EQ(textureFile(p), TabulaTest::dataPath("ase/wood.png"));
     }},
    // Rows 0 to 2 move the vertex; row 3 never does.
    {"node_rows.ase", 0, 1,
     [](Mesh& m) {
         EXPECT_EQ(geometry(m, 0).getVertexArray(), (Points{{2, 3, -1}}));
     }},
    {"normals.ase", 0, 1,
     [](Mesh& m)
     {
         ASSERT_EQ(geometry(m, 0).getNormalArray().size(), 3u);
         EXPECT_EQ(geometry(m, 0).getNormalArray()[2], Vec3<double>(0, -1, 0));
         EXPECT_EQ(primitive(m, 0, 0).getNormalIndicesArray(), (Indices{0, 1, 2}));
     }},
    {"duplicate_normals.ase", 0, 1,
     [](Mesh& m)
     {
         const auto& normals = geometry(m, 0).getNormalArray();
         ASSERT_EQ(normals.size(), 6u);
         EXPECT_EQ(normals[5], Vec3<double>(1, 0, 0));
         EXPECT_EQ(normals[0], Vec3<double>(0, 0, 0));
         EXPECT_EQ(primitive(m, 0, 0).getNormalIndicesArray(), (Indices{3, 4, 5, 5, 4, 3}));
     }},
    {"mixed_faces.ase", 0, 1,
     [](Mesh& m)
     {
         ASSERT_EQ(geometry(m, 0).getPrimitives().size(), 2u);
         Primitive& quads = primitive(m, 0, 0);
         Primitive& triangles = primitive(m, 0, 1);
         EXPECT_EQ(quads.getPrimitiveType(), unsigned(GL_QUADS));
         EXPECT_EQ(quads.getVertexIndicesArray(), (Indices{0, 1, 2, 3, 3, 2, 1, 0}));
         EXPECT_EQ(triangles.getPrimitiveType(), unsigned(GL_TRIANGLES));
         EXPECT_EQ(triangles.getVertexIndicesArray(), (Indices{1, 4, 2}));
         EXPECT_EQ(triangles.getTexturesIndicesArray(), (Indices{0, 1, 2}));
         EXPECT_EQ(quads.getNormalIndicesArray(), (Indices{0, 1, 2}));
         EXPECT_EQ(triangles.getNormalIndicesArray(), (Indices{0, 1, 2}));
     }},
    // The unknown block's "}" ends the object before its material reference.
    {"unknown_block_in_object.ase", 0, 1,
     [](Mesh& m)
     {
         EXPECT_EQ(primitive(m, 0, 0).getVertexIndicesArray(), (Indices{0, 1, 2}));
         EXPECT_EQ(primitive(m, 0, 0).getTexture(), nullptr);
     }},
    // The mapping channel's list is read as the mesh's own, its "}" ends the
    // mesh and the face list's "}" the object; the next object still loads.
    {"unknown_block_in_mesh.ase", 0, 2,
     [](Mesh& m)
     {
         EXPECT_EQ(geometry(m, 0).getVertexArray().size(), 3u);
         ASSERT_EQ(geometry(m, 0).getTexCoordArray().size(), 2u);
         EXPECT_DOUBLE_EQ(geometry(m, 0).getTexCoordArray()[0].x(), 0.25);
         EXPECT_TRUE(geometry(m, 0).getPrimitives().empty());
         EXPECT_EQ(geometry(m, 1).getVertexArray(), (Points{{7, 9, -8}}));
     }},
    {"vertex_list_before_count.ase", 1, 1, [](Mesh& m) { EXPECT_TRUE(geometry(m, 0).getVertexArray().empty()); }},
    // "2" runs straight into the next "*MESH_FACE", so face 1 is never seen.
    {"swallowed_face.ase", 0, 1,
     [](Mesh& m) {
         EXPECT_EQ(primitive(m, 0, 0).getVertexIndicesArray(), (Indices{0, 1, 2, 3, 1, 0}));
     }},
    {"scene_without_brace.ase", 1, 0, [](Mesh&) {}},
    // The vertex cut after its number is kept, its coordinates 0.
    {"truncated.ase", 1, 1,
     [](Mesh& m) {
         EXPECT_EQ(geometry(m, 0).getVertexArray(), (Points{{0, 0, 0}, {1, 0, 0}, {0, 0, 0}}));
     }},
    {"bitmap_paths.ase", 0, 3,
     [](Mesh& m)
     {
         EXPECT_EQ(primitive(m, 0, 0).getPrimitiveType(), unsigned(GL_POINTS));
         EXPECT_EQ(textureFile(primitive(m, 0, 0)), TabulaTest::dataPath("ase/wood grain.png"));
         EXPECT_EQ(primitive(m, 1, 0).getPrimitiveType(), unsigned(GL_LINES));
         EXPECT_EQ(textureFile(primitive(m, 1, 0)), TabulaTest::dataPath("ase/wood.png"));
         EXPECT_EQ(primitive(m, 2, 0).getPrimitiveType(), unsigned(GL_POLYGON));
         EXPECT_EQ(primitive(m, 2, 0).getTexture(), nullptr);
     }},
    {"bad_numbers.ase", 0, 1,
     [](Mesh& m)
     {
         EXPECT_EQ(geometry(m, 0).getVertexArray(), (Points{{0, 0, 0}, {0, 0, 0}}));
         EXPECT_EQ(primitive(m, 0, 0).getVertexIndicesArray(), (Indices{65535, 70000 % 65536, 65535}));
         // "2:" reads as 2, the colon left for the next word.
         EXPECT_EQ(primitive(m, 0, 0).getTexturesIndicesArray(), (Indices{65535, 65535, 2}));
         EXPECT_EQ(primitive(m, 0, 0).getTexture(), nullptr);
     }},
    {"out_of_range_indices.ase", 0, 1,
     [](Mesh& m)
     {
         EXPECT_EQ(geometry(m, 0).getNormalArray().size(), 3u);
         EXPECT_EQ(primitive(m, 0, 0).getNormalIndicesArray().at(5), 7);
         EXPECT_EQ(primitive(m, 0, 0).getTexture(), nullptr);
     }},
    {"huge_counts.ase", 0, 1,
     [](Mesh& m)
     {
         EXPECT_LT(geometry(m, 0).getNormalArray().size(), 100u);
         EXPECT_EQ(geometry(m, 0).getPrimitives().size(), 0u);
     }},
    {"tface_before_faces.ase", 0, 1,
     [](Mesh& m) { EXPECT_TRUE(primitive(m, 0, 0).getTexturesIndicesArray().empty()); }},
    // The cut normal keeps the coordinate read before the end, 0 for the rest.
    {"truncated_normal.ase", 1, 1,
     [](Mesh& m) {
         EXPECT_EQ(geometry(m, 0).getNormalArray(), (Points{{1, 0, 0}}));
     }},
    {"colors.ase", 0, 1,
     [](Mesh& m)
     {
         ASSERT_EQ(geometry(m, 0).getColorArray().size(), 2u);
         EXPECT_EQ(geometry(m, 0).getColorArray()[1], Vec3<double>(1, 0.5, 0));
         EXPECT_EQ(primitive(m, 0, 0).getVertexIndicesArray(), (Indices{0, 0, 0}));
     }},
};

TEST(ASEReaderTest, ReadsEachSmallFileAsDescribed)
{
    for (const AseCase& c : c_Cases)
    {
        SCOPED_TRACE(c.m_File);
        std::string path = TabulaTest::dataPath(std::string("ase/") + c.m_File);
        testing::internal::CaptureStdout();
        Mesh mesh(path);
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(countOf(out, c_BadStructure), c.m_BadStructures) << out;
        EXPECT_EQ(countOf(out, "Mesh File : \"" + path + "\" loaded.\n"), 1) << out;
        ASSERT_EQ(mesh.getGeometries().size(), c.m_Geometries);
        c.m_Check(mesh);
    }
}

// Everything a mesh holds, every number to the last bit.
std::string contents(Mesh& mesh)
{
    std::ostringstream out;
    out << std::hexfloat;
    for (Geometry* g : mesh.getGeometries())
    {
        for (const Points* points : {&g->getVertexArray(), &g->getNormalArray(), &g->getColorArray()})
        {
            for (const Vec3<double>& p : *points)
                out << p.x() << ' ' << p.y() << ' ' << p.z() << ' ';
            out << "; ";
        }
        for (const Vec2<double>& t : g->getTexCoordArray())
            out << t.x() << ' ' << t.y() << ' ';
        for (Primitive* p : g->getPrimitives())
        {
            out << "; " << p->getPrimitiveType() << ' ' << textureFile(*p) << ' ';
            for (const Indices* indices :
                 {&p->getVertexIndicesArray(), &p->getTexturesIndicesArray(), &p->getNormalIndicesArray()})
                for (unsigned short i : *indices)
                    out << i << ' ';
        }
        out << "| ";
    }
    return out.str();
}

// Every cut of a real file ends the load cleanly, whatever it leaves behind,
// and reads the same whether the text comes a few bytes at a time (read byte
// by byte), in chunks about the size of the word index's 64-byte blocks, or at
// once: the odd numbers, blanks and long words hold each path to the same rules.
TEST(ASEReaderTest, EveryPrefixOfARealFileLoadsTheSameInAnyChunks)
{
    const std::string text =
        "*MATERIAL_LIST { *MATERIAL_COUNT 1 *MATERIAL 0 { *MAP_DIFFUSE { *BITMAP \"a  b.png\" } } }\r\n"
        "*GEOMOBJECT { *NODE_TM { *TM_ROW0 1 0 0\t*TM_ROW3 -1e400 +5 2.5E-2 } *MESH { *MESH_NUMVERTEX 3\n"
        "*MESH_VERTEX_LIST {\v*MESH_VERTEX 0 -0.0251 1.5x 12345678.12345678 *MESH_VERTEX 1 -0 .5 5.\f"
        "*MESH_VERTEX 2 nan 0x1A 000000000000000001 }" +
        std::string(70, ' ') + std::string(90, '7') +
        " *MESH_FACE_LIST {\n"
        "*MESH_FACE 0: A: 0 B: 1 C: 2 AB: 1 } *MESH_NUMTVERTEX 1 *MESH_TVERTLIST { *MESH_TVERT 0 0 0 0 }\n"
        "*MESH_TFACELIST { *MESH_TFACE 0 0 0 0 } *MESH_NUMCVERTEX 1 *MESH_CVERTLIST { *MESH_VERTCOL 0 1 1 1 }\n"
        "*MESH_CFACE 0 0 0 0 } *MESH_NORMALS { *MESH_VERTEXNORMAL 0 0 0 1 } } *MATERIAL_REF 0 }\n";
    for (std::size_t length = 0; length <= text.size(); ++length)
    {
        std::vector<std::string> seen;
        for (std::size_t chunk : {1 + length % 5, 60 + length % 8, std::size_t(1) << 20})
        {
            Mesh mesh;
            Reader::ASEReader reader;
            reader.setChunkSize(chunk);
            testing::internal::CaptureStdout();
            EXPECT_TRUE(reader.loadFromMemory(std::string_view(text.data(), length), "/nowhere/m.ase", &mesh));
            const std::string out = testing::internal::GetCapturedStdout();
            EXPECT_LE(countOf(out, c_BadStructure), 1) << length;
            // Only the reader's own line: a bitmap that failed once stays quiet after.
            seen.push_back(std::to_string(countOf(out, c_BadStructure)) + contents(mesh));
        }
        EXPECT_EQ(seen[1], seen[0]) << length;
        EXPECT_EQ(seen[2], seen[0]) << length;
    }
}

// UTF-16 text of either byte order, from a file or from memory, reads as its
// ASCII does.
TEST(ASEReaderTest, UTF16TextReadsAsItsASCII)
{
    const std::string path = TabulaTest::dataPath("ase/normals.ase");
    std::ifstream file(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Mesh plain;
    ASSERT_TRUE(Reader::ASEReader().loadFromMemory(text, path, &plain));
    ASSERT_FALSE(plain.getGeometries().empty());
    for (bool littleEndian : {true, false})
    {
        std::string wide = littleEndian ? "\xff\xfe" : "\xfe\xff";
        for (char c : text)
            wide += littleEndian ? std::string{c, '\0'} : std::string{'\0', c};
        const std::string widePath = TabulaTest::buildPath(littleEndian ? "utf16le.ase" : "utf16be.ase");
        std::ofstream(widePath, std::ios::binary) << wide;
        Mesh fromMemory, fromFile;
        EXPECT_TRUE(Reader::ASEReader().loadFromMemory(wide, path, &fromMemory));
        EXPECT_TRUE(Reader::ASEReader().load(widePath, &fromFile));
        EXPECT_EQ(contents(fromMemory), contents(plain)) << littleEndian;
        EXPECT_EQ(contents(fromFile), contents(plain)) << littleEndian;
    }
}

} // namespace
