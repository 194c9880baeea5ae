// Real glTF 2.0 and OBJ files from other tools (Debian's assimp-testmodels):
// the sound ones load and agree with assimp's reading, the broken ones are
// refused with a line naming them or load what is sound in them.

#include <gtest/gtest.h>

#ifndef TABULA_ASSIMP_MODELS_DIR
TEST(ModelReaderCorpusTest, NeedsAssimpAndItsTestModels)
{
    GTEST_SKIP() << "assimp or /usr/share/assimp/models is not installed";
}
#else

#include <filesystem>
#include <memory>
#include <string>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <Rendering/Geometry.h>
#include <Rendering/Mesh.h>
#include <Rendering/Primitive.h>
#include <Rendering/Texture.h>

#include "support/Bounds.h"
#include "support/MeshCorners.h"
#include "support/TestPaths.h"

namespace
{

using TabulaTest::loadMesh;

const std::string c_Models = TABULA_ASSIMP_MODELS_DIR;

// Triangle count and bounds of every corner against assimp's reading; a
// refused model would draw nothing where assimp draws.
void expectAgreesWithAssimp(const std::string& path)
{
    SCOPED_TRACE(path);
    std::unique_ptr<Rendering::Mesh> mesh = loadMesh(path);
    std::size_t ourTriangles = 0, theirTriangles = 0;
    TabulaTest::Bounds ourBox, theirBox;
    for (Rendering::Geometry* geometry : mesh->getGeometries())
    {
        for (Rendering::Primitive* primitive : geometry->getPrimitives())
            if (primitive->getPrimitiveType() == GL_TRIANGLES)
                ourTriangles += primitive->getVertexIndicesArray().size() / 3;
        for (const Vec3<double>& v : geometry->getVertexArray())
            ourBox.add(v.x(), v.y(), v.z());
    }
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, aiProcess_Triangulate | aiProcess_PreTransformVertices);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    for (unsigned int m = 0; m < scene->mNumMeshes; ++m)
    {
        const aiMesh* part = scene->mMeshes[m];
        for (unsigned int f = 0; f < part->mNumFaces; ++f)
            theirTriangles += part->mFaces[f].mNumIndices == 3;
        for (unsigned int v = 0; v < part->mNumVertices; ++v)
            theirBox.add(part->mVertices[v].x, part->mVertices[v].y, part->mVertices[v].z);
    }
    EXPECT_EQ(ourTriangles, theirTriangles);
    TabulaTest::expectBox(ourBox, theirBox.lo, theirBox.hi);
}

} // namespace

TEST(ModelReaderCorpusTest, SoundModelsAndOurSparseOnesAgreeWithAssimp)
{
    const char* const models[] = {
        "glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb",
        "glTF2/BoxTexcoords-glTF/boxTexcoords.gltf",
        "glTF2/BoxTextured-glTF-Binary/BoxTextured.glb",
        "glTF2/BoxTextured-glTF-Embedded/BoxTextured.gltf",
        "glTF2/BoxTextured-glTF-pbrSpecularGlossiness/BoxTextured.gltf",
        "glTF2/BoxTextured-glTF/BoxTextured.gltf",
        "glTF2/ClearCoat-glTF/ClearCoatTest.gltf",
        "glTF2/cameras/Cameras.gltf",
        "glTF2/glTF-Sample-Models/AnimatedMorphCube-glTF/AnimatedMorphCube.gltf",
        "glTF2/simple_skin/simple_skin.gltf",
        "glTF2/textureTransform/TextureTransformTest.gltf",
    };
    std::vector<std::string> all;
    for (const char* model : models)
        all.push_back(c_Models + "/" + model);
    for (int mode = 0; mode <= 15; ++mode) // every drawing mode, indexed or not
        all.push_back(c_Models + "/glTF2/glTF-Asset-Generator/Mesh_PrimitiveMode/Mesh_PrimitiveMode_" +
                      std::string(mode < 10 ? "0" : "") + std::to_string(mode) + ".gltf");
    // Every OBJ file but the UTF-16 one (assimp reads nothing of it; its byte
    // order is OBJReaderTest's) and the point cloud (nothing to draw, read below).
    for (const auto& entry : std::filesystem::directory_iterator(c_Models + "/OBJ"))
        if (entry.path().extension() == ".obj" && entry.path().filename() != "box_UTF16BE.obj" &&
            entry.path().filename() != "point_cloud.obj")
            all.push_back(c_Models + "/OBJ/" + entry.path().filename().string());
    // Our small files that exercise sparse accessors (assimp reads no file
    // without a scene).
    for (const char* file : {"positions_over_view.gltf", "positions_over_zeros.gltf", "normals_over_view.gltf",
                             "texcoords_over_zeros.gltf", "indices_over_view.gltf", "indices_over_zeros.gltf",
                             "indices_over_zeros.glb"})
        all.push_back(TabulaTest::dataPath("models/generated/" + std::string(file)));
    ASSERT_EQ(all.size(), 54u);
    for (const std::string& model : all)
        expectAgreesWithAssimp(model);
}

// The spider's materials name their pictures ".\\SpiderTex.jpg", Windows
// style: they are found beside the model and drawn.
TEST(ModelReaderCorpusTest, MaterialPicturesAreFoundBesideTheModel)
{
    std::string printed;
    const std::unique_ptr<Rendering::Mesh> mesh = loadMesh(c_Models + "/OBJ/spider.obj", &printed);
    std::size_t textured = 0;
    for (Rendering::Geometry* geometry : mesh->getGeometries())
        for (Rendering::Primitive* primitive : geometry->getPrimitives())
            textured += primitive->getTexture() != nullptr;
    EXPECT_GE(textured, 4u) << printed;
    EXPECT_EQ(printed.find("cannot be read"), std::string::npos) << printed;
}

// Each broken file either is refused (one line naming it, an empty mesh) or
// loads the part that is sound; one that yields nothing to draw is refused
// too. None crashes or leaks (the ASan build).
TEST(ModelReaderCorpusTest, BrokenModelsAreRefusedByName)
{
    const struct
    {
        const char* m_Model;
        bool m_Refused;
        const char* m_Reason; // a word of the line, when refused
    } cases[] = {
        // Compressed geometry leaves the rest unreadable: the extension is
        // still what the line names.
        {"glTF2/draco/2CylinderEngine.gltf", true, "KHR_draco_mesh_compression"},
        {"glTF2/MissingBin/BoxTextured.gltf", true, ""},
        {"glTF2/BoxBadNormals-glTF-Binary/BoxBadNormals.glb", false, ""},
        {"glTF2/IncorrectVertexArrays/Cube.gltf", false, ""},
        {"glTF2/SchemaFailures/sceneWrongType.gltf", true, "BoxTextured0.bin"},
        {"glTF2/TestNoRootNode/NoScene.gltf", true, "no faces, lines or points"},
        {"glTF2/TestNoRootNode/SceneWithoutNodes.gltf", true, "no faces, lines or points"},
        {"glTF2/issue_3269/texcoord_crash.gltf", false, ""},
        {"glTF2/wrongTypes/badArray.gltf", true, "no faces, lines or points"},
        {"glTF2/wrongTypes/badExtension.gltf", false, ""},
        {"glTF2/wrongTypes/badNumber.gltf", false, ""},
        {"glTF2/wrongTypes/badObject.gltf", false, ""},
        {"glTF2/wrongTypes/badString.gltf", false, ""},
        {"glTF2/wrongTypes/badUint.gltf", false, ""},
        {"invalid/empty.obj", true, "no faces, lines or points"},
        {"invalid/malformed.obj", true, ""},
        {"invalid/malformed2.obj", false, ""},
        {"OBJ/point_cloud.obj", true, "no faces, lines or points"}, // vertices without faces
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_Model);
        const std::string path = c_Models + "/" + c.m_Model;
        if (c.m_Refused)
            TabulaTest::expectRefused(path, c.m_Reason);
        else
        {
            std::string printed;
            loadMesh(path, &printed);
            EXPECT_EQ(printed.find("Couldn't load Mesh file"), std::string::npos) << printed;
        }
    }
}
#endif
