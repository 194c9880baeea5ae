#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <Core/ImageManager.h>
#include <Reader/GLTFReader.h>
#include <Rendering/Geometry.h>
#include <Rendering/Image.h>
#include <Rendering/Mesh.h>
#include <Rendering/Primitive.h>
#include <Rendering/Texture.h>

#include "support/LogLines.h"
#include "support/MeshCorners.h"
#include "support/TestPaths.h"

namespace
{

using TabulaTest::cornersOf;
using TabulaTest::loadMesh;

std::string model(const std::string& name)
{
    return TabulaTest::dataPath("models/" + name);
}

// A one-mesh model drawn with glTF `mode` from float positions (x, y, z each),
// through 32-bit `indices` when there are any; its buffer is a separate file.
std::unique_ptr<Rendering::Mesh> inlineModel(const std::vector<float>& positions, int mode,
                                             std::vector<uint32_t> indices = {})
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
    auto mesh = std::make_unique<Rendering::Mesh>();
    testing::internal::CaptureStdout();
    EXPECT_TRUE(reader.loadFromMemory(json, "inline.gltf", mesh.get()));
    testing::internal::GetCapturedStdout();
    return mesh;
}

} // namespace

// Each broken file is refused with one line that names it and the true cause,
// and builds nothing.
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
        {"generated/data_uri_not_base64.gltf", "buffer 0 has a data: URI that is not base64"},
        {"generated/draco_not_required.gltf",
         "compresses its geometry with extension KHR_draco_mesh_compression, which is not supported"},
    };
    TabulaTest::LogLines log;
    std::vector<std::string>& lines = log.m_Lines;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_File);
        lines.clear();
        Rendering::Mesh mesh;
        EXPECT_FALSE(Reader::GLTFReader().load(model(c.m_File), &mesh));
        EXPECT_TRUE(mesh.getGeometries().empty());
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find(model(c.m_File) + " : "), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find(c.m_Reason), std::string::npos) << lines[0];
    }
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
        {"positions_without_view.gltf", {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, {}, {}},
        {"no_scene.gltf", {{0, 0, 0}, {1, 0, 0}, {0, 0, -1}, {0, 2, 0}, {1, 2, 0}, {0, 2, -1}}, {}, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_File);
        std::string printed;
        const std::unique_ptr<Rendering::Mesh> mesh = loadMesh(model("generated/" + std::string(c.m_File)), &printed);
        const TabulaTest::MeshCorners corners = cornersOf(*mesh, GL_TRIANGLES);
        EXPECT_EQ(corners.m_Positions, c.m_Positions) << printed;
        EXPECT_EQ(corners.m_Normals, c.m_Normals);
        std::vector<Vec2<double>> texCoords;
        for (Rendering::Geometry* geometry : mesh->getGeometries())
            for (Rendering::Primitive* primitive : geometry->getPrimitives())
                for (unsigned short i : primitive->getTexturesIndicesArray())
                    texCoords.push_back(geometry->getTexCoordArray().at(i));
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
        const TabulaTest::MeshCorners corners = cornersOf(*loadMesh(model(c.m_File)), GL_TRIANGLES);
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
        unsigned int m_Drawn;
        std::vector<int> m_Vertices;
    } cases[] = {
        {0, GL_POINTS, {0, 1, 2, 3, 4}},
        {1, GL_LINES, {0, 1, 2, 3}},
        {2, GL_LINES, {0, 1, 1, 2, 2, 3, 3, 4, 4, 0}},
        {3, GL_LINES, {0, 1, 1, 2, 2, 3, 3, 4}},
        {4, GL_TRIANGLES, {0, 1, 2}},
        {5, GL_TRIANGLES, {0, 1, 2, 2, 1, 3, 2, 3, 4}},
        {6, GL_TRIANGLES, {0, 1, 2, 0, 2, 3, 0, 3, 4}},
    };
    // Vertex v lies at x = v; the indexed model names them backwards.
    const std::vector<float> positions = {0, 0, 0, 1, 0, -1, 2, 0, 0, 3, 0, -1, 4, 0, 0};
    for (const auto& c : cases)
        for (bool indexed : {false, true})
        {
            SCOPED_TRACE("mode " + std::to_string(c.m_Mode) + (indexed ? " indexed" : ""));
            const TabulaTest::MeshCorners corners =
                cornersOf(*inlineModel(positions, c.m_Mode,
                                       indexed ? std::vector<uint32_t>{4, 3, 2, 1, 0} : std::vector<uint32_t>{}),
                          c.m_Drawn);
            std::vector<int> vertices;
            for (const Vec3<double>& p : corners.m_Positions)
                vertices.push_back(indexed ? 4 - int(p.x()) : int(p.x()));
            EXPECT_EQ(vertices, c.m_Vertices);
        }
}

// The only case where an unindexed part starts past its first corner.
TEST(GLTFReaderTest, BigMeshIsSplitNotTruncated)
{
    const std::size_t triangles = 100000;
    std::vector<float> positions;
    for (std::size_t t = 0; t < triangles; ++t)
        positions.insert(positions.end(), {float(t), 0, 0, float(t), 0, -1, float(t + 1), 0, 0});
    const TabulaTest::MeshCorners corners = cornersOf(*inlineModel(positions, 4), GL_TRIANGLES);
    EXPECT_LE(corners.m_MaxGeometryVertices, 65536u);
    ASSERT_EQ(corners.m_Positions.size(), 3 * triangles);
    std::size_t misplaced = 0;
    for (std::size_t c = 0; c < 3 * triangles; ++c)
        misplaced += !(corners.m_Positions[c] == Vec3<double>(positions[3 * c], 0, positions[3 * c + 2]));
    EXPECT_EQ(misplaced, 0u);
}

// The picture inside the model is registered under "<model>#image<N>", used
// by the textured primitives, and given back with the mesh.
TEST(GLTFReaderTest, ModelPicturesAreRegisteredByOriginAndGivenBack)
{
    Core::ImageManager* images = Core::ImageManager::instance();
    const std::size_t before = images->getImageCount();
    for (const char* file : {"BoxTextured/binary/BoxTextured.glb", "BoxTextured/embedded/BoxTextured.gltf",
                             "BoxTextured/separate/BoxTextured.gltf"})
    {
        SCOPED_TRACE(file);
        {
            std::unique_ptr<Rendering::Mesh> mesh = loadMesh(model(file));
            Rendering::Texture* texture = mesh->getGeometries().at(0)->getPrimitives().at(0)->getTexture();
            ASSERT_NE(texture, nullptr);
            EXPECT_EQ(texture->getFileName(), model(file) + "#image0");
            ASSERT_TRUE(texture->isLoaded());
            EXPECT_EQ(texture->getImage()->getWidth(), 211); // CesiumLogoFlat.png
            EXPECT_EQ(images->getImageCount(), before + 1);
        }
        EXPECT_EQ(images->getImageCount(), before);
    }
}

// A file cut anywhere is refused cleanly (the ASan build checks the reads).
TEST(GLTFReaderTest, EveryCutOfABinaryFileIsRefused)
{
    std::ifstream file(model("triangle.glb"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 100u);
    Reader::GLTFReader reader;
    reader.setResourceReader([](const std::string&, std::string&) { return false; });
    testing::internal::CaptureStdout();
    for (std::size_t size = 0; size < bytes.size(); ++size)
    {
        Rendering::Mesh mesh;
        EXPECT_FALSE(reader.loadFromMemory(std::string_view(bytes).substr(0, size), "cut.glb", &mesh)) << size;
    }
    testing::internal::GetCapturedStdout();
}
