// A reader's plain model data turned into the engine's geometries.
#include <memory>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <Core/ImageManager.h>
#include <Reader/internal/ModelData.h>
#include <Rendering/Geometry.h>
#include <Rendering/Image.h>
#include <Rendering/Mesh.h>
#include <Rendering/Primitive.h>
#include <Rendering/Texture.h>
#include <Rendering/internal/ModelConverter.h>

#include "support/MeshCorners.h"
#include "support/TestPaths.h"

namespace
{

using Reader::ModelData;
using V = Vec3<double>;

// Vertex v of a set lies at (v, v % 7, -v) with the normal (0, 1, 0) turned
// a little by v, so that a vertex out of place shows in both.
ModelData::Vertices numberedVertices(std::size_t count)
{
    ModelData::Vertices vertices;
    for (std::size_t v = 0; v < count; ++v)
    {
        vertices.m_Positions.emplace_back(double(v), double(v % 7), -double(v));
        vertices.m_Normals.emplace_back(double(v % 5) / 10, 1, 0);
    }
    return vertices;
}

} // namespace

// Whatever a primitive's size and however its faces share vertices, every
// face is drawn in order, with its normals, from geometries of at most 65,536
// vertices.
TEST(ModelConverterTest, BigPrimitivesAreSplitNotCut)
{
    const int side = 260; // a grid whose faces share vertices
    std::vector<uint32_t> grid;
    for (uint32_t z = 0; z + 1 < side; ++z)
        for (uint32_t x = 0; x + 1 < side; ++x)
        {
            const uint32_t a = z * side + x, b = a + 1, c = a + side, d = c + 1;
            grid.insert(grid.end(), {a, b, d, a, d, c});
        }
    std::vector<uint32_t> separate(300000); // every face its own three vertices
    for (uint32_t i = 0; i < separate.size(); ++i)
        separate[i] = i;
    std::vector<uint32_t> reversed(separate.rbegin(), separate.rend());
    const struct
    {
        const char* m_Name;
        std::size_t m_Vertices;
        const std::vector<uint32_t>& m_Indices;
        std::size_t m_Geometries;
    } cases[] = {
        {"grid", side * side, grid, 2},
        {"separate faces", separate.size(), separate, 5},
        {"separate faces backwards", reversed.size(), reversed, 5},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_Name);
        ModelData data;
        data.m_VertexSets.push_back(numberedVertices(c.m_Vertices));
        const ModelData::Vertices expected = data.m_VertexSets[0];
        data.m_Primitives.emplace_back();
        data.m_Primitives[0].m_Indices = c.m_Indices;
        Rendering::Mesh mesh;
        Rendering::ModelConverter::convert(data, mesh);
        const TabulaTest::MeshCorners corners = TabulaTest::cornersOf(mesh, GL_TRIANGLES);
        EXPECT_EQ(corners.m_Geometries, c.m_Geometries);
        EXPECT_LE(corners.m_MaxGeometryVertices, Rendering::ModelConverter::c_MaxVertices);
        ASSERT_EQ(corners.m_Positions.size(), c.m_Indices.size());
        ASSERT_EQ(corners.m_Normals.size(), c.m_Indices.size());
        std::size_t misplaced = 0;
        for (std::size_t i = 0; i < c.m_Indices.size(); ++i)
            misplaced += corners.m_Positions[i] != expected.m_Positions[c.m_Indices[i]] ||
                         corners.m_Normals[i] != expected.m_Normals[c.m_Indices[i]];
        EXPECT_EQ(misplaced, 0u);
    }
}

// Primitives sharing a vertex set each get the vertices they use; an
// untextured material's colour goes on every vertex unless it is white, and
// texture coordinates go only with a texture.
TEST(ModelConverterTest, SharedVerticesAndMaterialColours)
{
    ModelData data;
    data.m_VertexSets.push_back(numberedVertices(6));
    data.m_VertexSets[0].m_TexCoords.assign(6, Vec2<double>(0.5, 0.5));
    data.m_Materials.resize(2);
    data.m_Materials[1].m_Color = V(1, 0, 0);
    const std::vector<uint32_t> lists[] = {{0, 1, 2}, {5, 4, 3, 3, 4, 2}, {1, 5}};
    const ModelData::Mode modes[] = {ModelData::Mode::Triangles, ModelData::Mode::Triangles, ModelData::Mode::Lines};
    for (int p = 0; p < 3; ++p)
    {
        data.m_Primitives.emplace_back();
        data.m_Primitives.back().m_Mode = modes[p];
        data.m_Primitives.back().m_Indices = lists[p];
        data.m_Primitives.back().m_Material = p < 2 ? p : -1;
    }
    Rendering::Mesh mesh;
    Rendering::ModelConverter::convert(data, mesh);
    ASSERT_EQ(mesh.getGeometries().size(), 3u);
    const std::size_t vertices[] = {3, 4, 2};
    const std::size_t colors[] = {0, 4, 0};
    for (std::size_t g = 0; g < 3; ++g)
    {
        SCOPED_TRACE(g);
        Rendering::Geometry& geometry = *mesh.getGeometries()[g];
        EXPECT_EQ(geometry.getVertexArray().size(), vertices[g]);
        EXPECT_EQ(geometry.getColorArray(), std::vector<V>(colors[g], V(1, 0, 0)));
        EXPECT_TRUE(geometry.getTexCoordArray().empty());
        Rendering::Primitive& primitive = *geometry.getPrimitives().at(0);
        EXPECT_TRUE(primitive.getTexturesIndicesArray().empty());
        EXPECT_EQ(primitive.getPrimitiveType(), g < 2 ? unsigned(GL_TRIANGLES) : unsigned(GL_LINES));
        std::vector<double> drawn;
        for (unsigned short index : primitive.getVertexIndicesArray())
            drawn.push_back(geometry.getVertexArray().at(index).x());
        EXPECT_EQ(drawn, std::vector<double>(lists[g].begin(), lists[g].end()));
        EXPECT_EQ(primitive.getNormalIndicesArray(), primitive.getVertexIndicesArray());
    }
    EXPECT_TRUE(data.m_VertexSets.empty()) << "the model data is used up";
}

// The picture inside the model is registered under "<model>#image<N>", used
// by the textured primitives, and given back with the mesh.
TEST(ModelConverterTest, ModelPicturesAreRegisteredByOriginAndGivenBack)
{
    Core::ImageManager* images = Core::ImageManager::instance();
    const std::size_t before = images->getImageCount();
    for (const char* file : {"BoxTextured/binary/BoxTextured.glb", "BoxTextured/embedded/BoxTextured.gltf",
                             "BoxTextured/separate/BoxTextured.gltf"})
    {
        SCOPED_TRACE(file);
        const std::string path = TabulaTest::dataPath(std::string("models/") + file);
        {
            std::unique_ptr<Rendering::Mesh> mesh = TabulaTest::loadMesh(path);
            Rendering::Primitive& primitive = *mesh->getGeometries().at(0)->getPrimitives().at(0);
            Rendering::Texture* texture = primitive.getTexture();
            ASSERT_NE(texture, nullptr);
            EXPECT_EQ(primitive.getTexturesIndicesArray(), primitive.getVertexIndicesArray());
            EXPECT_EQ(texture->getFileName(), path + "#image0");
            ASSERT_TRUE(texture->isLoaded());
            EXPECT_EQ(texture->getImage()->getWidth(), 211); // CesiumLogoFlat.png
            EXPECT_EQ(images->getImageCount(), before + 1);
        }
        EXPECT_EQ(images->getImageCount(), before);
    }
}
