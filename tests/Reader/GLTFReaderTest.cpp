#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <Reader/internal/GLTFReader.h>
#include <Reader/internal/ModelData.h>

#include "support/ModelCorners.h"
#include "support/TestPaths.h"

namespace
{

using Mode = Reader::ModelData::Mode;
using TabulaTest::cornersOf;

Reader::ModelData loadModel(const std::string& path)
{
    return TabulaTest::loadModel<Reader::GLTFReader>(path);
}

std::string model(const std::string& name)
{
    return TabulaTest::dataPath("models/" + name);
}

// A one-mesh model drawn with glTF `mode` from float positions (x, y, z each),
// through 32-bit `indices` when there are any; its buffer is a separate file.
Reader::ModelData inlineModel(const std::vector<float>& positions, int mode, std::vector<uint32_t> indices = {})
{
    const bool indexed = !indices.empty();
    if (!indexed)
        indices = {0};
    std::string buffer(reinterpret_cast<const char*>(positions.data()), 4 * positions.size());
    buffer.append(reinterpret_cast<const char*>(indices.data()), 4 * indices.size());
    const std::string json =
        "{\"asset\":{\"version\":\"2.0\"},\"scenes\":[{\"nodes\":[0]}],\"nodes\":[{\"mesh\":0}],"
        "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0},\"mode\":" +
        std::to_string(mode) + (indexed ? ",\"indices\":1" : "") +
        "}]}],\"buffers\":[{\"byteLength\":" + std::to_string(buffer.size()) +
        ",\"uri\":\"model.bin\"}],\"bufferViews\":[{\"buffer\":0,\"byteLength\":" +
        std::to_string(4 * positions.size()) +
        "},{\"buffer\":0,\"byteOffset\":" + std::to_string(4 * positions.size()) +
        ",\"byteLength\":" + std::to_string(4 * indices.size()) +
        "}],\"accessors\":[{\"bufferView\":0,\"componentType\":5126,\"count\":" + std::to_string(positions.size() / 3) +
        ",\"type\":\"VEC3\"},{\"bufferView\":1,\"componentType\":5125,\"count\":" + std::to_string(indices.size()) +
        ",\"type\":\"SCALAR\"}]}";
    Reader::GLTFReader reader;
    reader.setResourceReader(
        [&](const std::string&, std::string& bytes)
        {
            bytes = buffer;
            return true;
        });
    Reader::ModelData data;
    TabulaTest::LogCapture quiet;
    EXPECT_TRUE(reader.loadFromMemory(json, "inline.gltf", data));
    return data;
}

} // namespace

// Each broken file is refused with one line that names it and the true cause,
// and gives nothing.
TEST(GLTFReaderTest, BrokenFilesAreRefusedWithOneLineNamingTheCause)
{
    const struct
    {
        const char* m_File;
        const char* m_Reason;
    } cases[] = {
        {"truncated.gltf", ""},
        {"bad_base64.gltf", ""},
        {"accessor_past_view.gltf", "accessor 0"},
        {"view_past_buffer.gltf", "buffer view 1"},
        {"index_past_vertices.gltf", "index 3"},
        {"required_extension.gltf", "KHR_mesh_quantization"},
        {"node_cycle.gltf", "node 0"},
        {"infinite_position.gltf", "finite"},
        {"chunk_length_lies.glb", "GLB chunk length"},
        {"empty_buffer.glb", "readable"},
        {"buffer_past_chunk.glb", "byteLength"},
        {"picture_view_text.glb", "buffer"},
        {"no_such_file.glb", "cannot be read"},
        {"generated/glb_version_1.glb", "is GLB version 1, not 2"},
        {"generated/view_names_no_buffer.gltf", "buffer view 0 names no buffer"},
        {"generated/data_uri_not_base64.gltf", "buffer 0 has a data: URI that is not base64"},
        {"generated/draco_not_required.gltf",
         "compresses its geometry with extension KHR_draco_mesh_compression, which is not supported"},
    };
    for (const auto& c : cases)
        TabulaTest::expectModelRefused<Reader::GLTFReader>(model(c.m_File), c.m_Reason);
}

// Sparse values replace the base ones (a view's or zeros) of positions,
// normals, texture coordinates and indices; an accessor without a view reads
// as zeros; a file without scenes draws its root nodes, children included.
TEST(GLTFReaderTest, SparseAndViewlessAccessorsReadAsTheFileSays)
{
    using V = Vec3<double>;
    const struct
    {
        const char* m_File;
        std::vector<V> m_Positions;
        std::vector<V> m_Normals;
        std::vector<Vec2<double>> m_TexCoords; // as drawn: t = 1 - v
    } cases[] = {
        {"positions_over_view.gltf", {{0, 0, 0}, {1, 5, 0}, {0, 0, -1}}, {}, {}},
        {"positions_over_zeros.gltf", {{0, 0, 0}, {1, 0, 0}, {0, 0, -1}}, {}, {}},
        {"normals_over_view.gltf", {{0, 0, 0}, {1, 0, 0}, {0, 0, -1}}, {{0, 1, 0}, {0, 1, 0}, {0, 1, 0}}, {}},
        {"texcoords_over_zeros.gltf", {{0, 0, 0}, {1, 0, 0}, {0, 0, -1}}, {}, {{0, 1}, {1, 1}, {0, 0}}},
        {"indices_over_view.gltf", {{1, 0, -1}, {1, 0, 0}, {0, 0, -1}}, {}, {}},
        {"indices_over_zeros.gltf", {{0, 0, 0}, {1, 0, 0}, {1, 0, -1}}, {}, {}},
        {"indices_over_zeros.glb", {{0, 0, 0}, {1, 0, 0}, {1, 0, -1}}, {}, {}},
        {"positions_without_view.gltf", {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, {}, {}},
        {"no_scene.gltf", {{0, 0, 0}, {1, 0, 0}, {0, 0, -1}, {0, 2, 0}, {1, 2, 0}, {0, 2, -1}}, {}, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_File);
        const Reader::ModelData data = loadModel(model("generated/" + std::string(c.m_File)));
        const TabulaTest::MeshCorners corners = cornersOf(data, Mode::Triangles);
        EXPECT_EQ(corners.m_Positions, c.m_Positions);
        EXPECT_EQ(corners.m_Normals, c.m_Normals);
        std::vector<Vec2<double>> texCoords;
        for (const Reader::ModelData::Primitive& primitive : data.m_Primitives)
            for (uint32_t i : primitive.m_Indices)
                if (!data.m_VertexSets.at(primitive.m_Vertices).m_TexCoords.empty())
                    texCoords.push_back(data.m_VertexSets.at(primitive.m_Vertices).m_TexCoords.at(i));
        EXPECT_EQ(texCoords, c.m_TexCoords);
    }
}

// y-up and right-handed like the engine: nothing is swapped or flipped. In
// the node tree the parent translates by (2, 0, 0) after scaling by 2 and the
// child turns a quarter about y, normals included.
TEST(GLTFReaderTest, CornersAndNormalsKeepTheFileAxesDownTheNodeTree)
{
    using V = Vec3<double>;
    const struct
    {
        const char* m_File;
        V m_Positions[3];
        V m_Normals[3];
    } cases[] = {
        {"triangle.gltf", {{0, 0, 0}, {0, 0, -1}, {1, 0, 0}}, {{0, 1, 0}, {0, 1, 0}, {0, 1, 0}}},
        {"node_tree.gltf", {{2, 0, 0}, {0, 0, 0}, {2, 0, -2}}, {{1, 0, 0}, {0, 1, 0}, {0, 0, -1}}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_File);
        const TabulaTest::MeshCorners corners = cornersOf(loadModel(model(c.m_File)), Mode::Triangles);
        ASSERT_EQ(corners.m_Positions.size(), 3u);
        ASSERT_EQ(corners.m_Normals.size(), 3u);
        for (int i = 0; i < 3; ++i)
            for (int axis = 0; axis < 3; ++axis)
            {
                EXPECT_NEAR(corners.m_Positions[i].ptr()[axis], c.m_Positions[i].ptr()[axis], 1e-6) << "corner " << i;
                EXPECT_NEAR(corners.m_Normals[i].ptr()[axis], c.m_Normals[i].ptr()[axis], 1e-6) << "normal " << i;
            }
    }
}

// Strips, fans, loops and line strips become triangles and lines in the
// file's order, indexed or not; a strip's every other triangle turns back.
TEST(GLTFReaderTest, EveryModeDrawsItsCornersInTheFilesOrder)
{
    const struct
    {
        int m_Mode;
        Mode m_Drawn;
        std::vector<int> m_Vertices;
    } cases[] = {
        {0, Mode::Points, {0, 1, 2, 3, 4}},
        {1, Mode::Lines, {0, 1, 2, 3}},
        {2, Mode::Lines, {0, 1, 1, 2, 2, 3, 3, 4, 4, 0}},
        {3, Mode::Lines, {0, 1, 1, 2, 2, 3, 3, 4}},
        {4, Mode::Triangles, {0, 1, 2}},
        {5, Mode::Triangles, {0, 1, 2, 2, 1, 3, 2, 3, 4}},
        {6, Mode::Triangles, {0, 1, 2, 0, 2, 3, 0, 3, 4}},
    };
    // Vertex v lies at x = v; the indexed model names them backwards.
    const std::vector<float> positions = {0, 0, 0, 1, 0, -1, 2, 0, 0, 3, 0, -1, 4, 0, 0};
    for (const auto& c : cases)
        for (bool indexed : {false, true})
        {
            SCOPED_TRACE("mode " + std::to_string(c.m_Mode) + (indexed ? " indexed" : ""));
            const TabulaTest::MeshCorners corners =
                cornersOf(inlineModel(positions, c.m_Mode,
                                      indexed ? std::vector<uint32_t>{4, 3, 2, 1, 0} : std::vector<uint32_t>{}),
                          c.m_Drawn);
            std::vector<int> vertices;
            for (const Vec3<double>& p : corners.m_Positions)
                vertices.push_back(indexed ? 4 - int(p.x()) : int(p.x()));
            EXPECT_EQ(vertices, c.m_Vertices);
        }
}

// A big primitive is kept whole: fitting it to 16-bit geometries is the
// converter's job (ModelConverterTest).
TEST(GLTFReaderTest, BigMeshIsKeptWhole)
{
    const std::size_t triangles = 100000;
    std::vector<float> positions;
    for (std::size_t t = 0; t < triangles; ++t)
        positions.insert(positions.end(), {float(t), 0, 0, float(t), 0, -1, float(t + 1), 0, 0});
    const TabulaTest::MeshCorners corners = cornersOf(inlineModel(positions, 4), Mode::Triangles);
    EXPECT_EQ(corners.m_Geometries, 1u);
    ASSERT_EQ(corners.m_Positions.size(), 3 * triangles);
    std::size_t misplaced = 0;
    for (std::size_t c = 0; c < 3 * triangles; ++c)
        misplaced += !(corners.m_Positions[c] == Vec3<double>(positions[3 * c], 0, positions[3 * c + 2]));
    EXPECT_EQ(misplaced, 0u);
}

// A file cut anywhere is refused cleanly (the ASan build checks the reads).
TEST(GLTFReaderTest, EveryCutOfABinaryFileIsRefused)
{
    std::ifstream file(model("triangle.glb"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 100u);
    Reader::GLTFReader reader;
    reader.setResourceReader([](const std::string&, std::string&) { return false; });
    TabulaTest::LogCapture quiet;
    for (std::size_t size = 0; size < bytes.size(); ++size)
    {
        Reader::ModelData data;
        EXPECT_FALSE(reader.loadFromMemory(std::string_view(bytes).substr(0, size), "cut.glb", data)) << size;
    }
}
