#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <Core/ImageManager.h>
#include <Reader/GLTFReader.h>
#include <Rendering/Geometry.h>
#include <Rendering/Image.h>
#include <Rendering/Mesh.h>
#include <Rendering/Primitive.h>
#include <Rendering/Texture.h>

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

void expectNear(const Vec3<double>& actual, const Vec3<double>& expected, const std::string& what)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(actual.ptr()[i], expected.ptr()[i], 1e-6) << what << " axis " << i;
}

std::string base64(const std::string& bytes)
{
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3)
    {
        uint32_t n = uint32_t(uint8_t(bytes[i])) << 16;
        n |= i + 1 < bytes.size() ? uint32_t(uint8_t(bytes[i + 1])) << 8 : 0;
        n |= i + 2 < bytes.size() ? uint32_t(uint8_t(bytes[i + 2])) : 0;
        for (std::size_t k = 0; k < 4; ++k)
            out += i + k <= bytes.size() ? digits[(n >> (18 - 6 * k)) & 63] : '=';
    }
    return out;
}

} // namespace

// Each broken file prints one line naming it and why, then the mesh's own
// failure line, and builds nothing.
TEST(GLTFReaderTest, BrokenFilesAreRefusedWithOneLine)
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
        {"chunk_length_lies.glb", "GLB"},
        {"empty_buffer.glb", "readable"},
        {"no_such_file.glb", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_File);
        std::string printed;
        std::unique_ptr<Rendering::Mesh> mesh = loadMesh(model(c.m_File), &printed);
        EXPECT_TRUE(mesh->getGeometries().empty());
        std::istringstream lines(printed);
        std::string reason, failure, more;
        std::getline(lines, reason);
        std::getline(lines, failure);
        EXPECT_NE(reason.find(model(c.m_File)), std::string::npos) << printed;
        EXPECT_NE(reason.find(c.m_Reason), std::string::npos) << printed;
        EXPECT_EQ(failure, "Couldn't load Mesh file : \"" + model(c.m_File) + "\"") << printed;
        EXPECT_FALSE(std::getline(lines, more)) << printed;
    }
}

// y-up and right-handed like the engine: nothing is swapped or flipped.
TEST(GLTFReaderTest, TextAndBinaryKeepTheFileAxes)
{
    for (const char* file : {"triangle.gltf", "triangle.glb"})
    {
        SCOPED_TRACE(file);
        const TabulaTest::MeshCorners corners = cornersOf(*loadMesh(model(file)), GL_TRIANGLES);
        ASSERT_EQ(corners.m_Positions.size(), 3u);
        ASSERT_EQ(corners.m_Normals.size(), 3u);
        expectNear(corners.m_Positions[0], Vec3<double>(0, 0, 0), "corner 0");
        expectNear(corners.m_Positions[1], Vec3<double>(0, 0, -1), "corner 1");
        expectNear(corners.m_Positions[2], Vec3<double>(1, 0, 0), "corner 2");
        for (const Vec3<double>& n : corners.m_Normals)
            expectNear(n, Vec3<double>(0, 1, 0), "normal");
    }
}

// Parent: translate (2, 0, 0) after scale 2; child: a quarter turn about y.
TEST(GLTFReaderTest, NodeTransformsComposeDownTheTree)
{
    const TabulaTest::MeshCorners corners = cornersOf(*loadMesh(model("node_tree.gltf")), GL_TRIANGLES);
    ASSERT_EQ(corners.m_Positions.size(), 3u);
    expectNear(corners.m_Positions[0], Vec3<double>(2, 0, 0), "corner 0");
    expectNear(corners.m_Positions[1], Vec3<double>(0, 0, 0), "corner 1");
    expectNear(corners.m_Positions[2], Vec3<double>(2, 0, -2), "corner 2");
    for (const Vec3<double>& n : corners.m_Normals)
        expectNear(n, Vec3<double>(0, 1, 0), "normal");
}

// 100,000 unindexed triangles are 300,000 vertices: several geometries of at
// most 65,536 vertices, and every triangle where the file puts it.
TEST(GLTFReaderTest, BigMeshIsSplitNotTruncated)
{
    const std::size_t triangles = 100000;
    std::string buffer;
    for (std::size_t t = 0; t < triangles; ++t)
    {
        const float v[9] = {float(t), 0, 0, float(t), 0, -1, float(t + 1), 0, 0};
        buffer.append(reinterpret_cast<const char*>(v), sizeof v);
    }
    const std::string json =
        "{\"asset\":{\"version\":\"2.0\"},\"scenes\":[{\"nodes\":[0]}],\"nodes\":[{\"mesh\":0}],"
        "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0}}]}],"
        "\"buffers\":[{\"byteLength\":" +
        std::to_string(buffer.size()) + ",\"uri\":\"data:application/octet-stream;base64," + base64(buffer) +
        "\"}],\"bufferViews\":[{\"buffer\":0,\"byteLength\":" + std::to_string(buffer.size()) +
        "}],\"accessors\":[{\"bufferView\":0,\"componentType\":5126,\"count\":" + std::to_string(3 * triangles) +
        ",\"type\":\"VEC3\"}]}";
    Rendering::Mesh mesh;
    ASSERT_TRUE(Reader::GLTFReader().loadFromMemory(json, "big.gltf", &mesh));
    const TabulaTest::MeshCorners corners = cornersOf(mesh, GL_TRIANGLES);
    EXPECT_GT(corners.m_Geometries, 4u);
    EXPECT_LE(corners.m_MaxGeometryVertices, 65536u);
    ASSERT_EQ(corners.m_Positions.size(), 3 * triangles);
    for (std::size_t t = 0; t < triangles; t += 997)
    {
        expectNear(corners.m_Positions[3 * t], Vec3<double>(double(t), 0, 0), "triangle " + std::to_string(t));
        expectNear(corners.m_Positions[3 * t + 2], Vec3<double>(double(t + 1), 0, 0), "triangle " + std::to_string(t));
    }
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
            ASSERT_FALSE(mesh->getGeometries().empty());
            Rendering::Texture* texture = mesh->getGeometries()[0]->getPrimitives()[0]->getTexture();
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
        EXPECT_TRUE(mesh.getGeometries().empty());
    }
    testing::internal::GetCapturedStdout();
}
