#include <gtest/gtest.h>

#ifndef TABULA_HAVE_ASSIMP
TEST(ASEReaderCorpusTest, NeedsAssimp)
{
    GTEST_SKIP() << "assimp is not installed";
}
#else

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <Rendering/Geometry.h>
#include <Rendering/Mesh.h>
#include <Rendering/Primitive.h>

#include "support/Bounds.h"
#include "support/MeshCorners.h"
#include "support/TestPaths.h"

namespace
{

// Each object with its node transform, without the importer's own axis turn
// at the root.
void collect(const aiScene* scene, const aiNode* node, const aiMatrix4x4& parent,
             std::vector<std::pair<const aiMesh*, aiMatrix4x4>>& out)
{
    const aiMatrix4x4 transform = node->mParent ? parent * node->mTransformation : aiMatrix4x4();
    for (unsigned int i = 0; i < node->mNumMeshes; ++i)
        out.emplace_back(scene->mMeshes[node->mMeshes[i]], transform);
    for (unsigned int i = 0; i < node->mNumChildren; ++i)
        collect(scene, node->mChildren[i], transform, out);
}

} // namespace

// assimp keeps each object's vertices in the node's frame; back in the file's
// frame they go through the node rows once more and then to y-up, as the
// reader does, and must give the same boxes and face counts. None crashes or
// leaks (the ASan build), the one with a bad texture index included.
TEST(ASEReaderCorpusTest, CubesAndAnimatedScenesAgreeWithAssimp)
{
    for (const char* model : {"CameraRollAnim.ase", "RotatingCube.ASE", "TargetCameraAnim.ase", "ThreeCubesGreen.ASE",
                              "anim.ASE", "TestUVTransform/UVTransform_Normal.ASE",
                              "TestUVTransform/UVTransform_ScaleUV2x.ASE", "invalid/InvalidUVIndex.ase"})
    {
        SCOPED_TRACE(model);
        const std::string path = TabulaTest::dataPath(std::string("ase-corpus/") + model);
        std::unique_ptr<Rendering::Mesh> mesh = TabulaTest::loadMesh(path);
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(path, 0);
        ASSERT_NE(scene, nullptr) << importer.GetErrorString();
        std::vector<std::pair<const aiMesh*, aiMatrix4x4>> objects;
        collect(scene, scene->mRootNode, aiMatrix4x4(), objects);
        ASSERT_EQ(mesh->getGeometries().size(), objects.size());

        for (std::size_t g = 0; g < objects.size(); ++g)
        {
            const aiMesh* theirs = objects[g].first;
            const aiMatrix4x4& node = objects[g].second;
            Rendering::Geometry& ours = *mesh->getGeometries()[g];

            TabulaTest::Bounds expected;
            for (unsigned int v = 0; v < theirs->mNumVertices; ++v)
            {
                aiVector3D file = node * theirs->mVertices[v];
                double x = node.a1 * file.x + node.b1 * file.y + node.c1 * file.z;
                double y = node.a2 * file.x + node.b2 * file.y + node.c2 * file.z;
                double z = node.a3 * file.x + node.b3 * file.y + node.c3 * file.z;
                expected.add(x, z, -y);
            }
            TabulaTest::Bounds actual;
            for (const Vec3<double>& v : ours.getVertexArray())
                actual.add(v.x(), v.y(), v.z());

            ASSERT_EQ(ours.getPrimitives().size(), 1u);
            EXPECT_EQ(ours.getPrimitives()[0]->getVertexIndicesArray().size(), 3 * theirs->mNumFaces);
            TabulaTest::expectBox(actual, expected.lo, expected.hi, 1e-2, "object " + std::to_string(g) + " ");
        }
    }
}
#endif
