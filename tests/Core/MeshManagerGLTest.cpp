#include <GL/gl.h>
#include <gtest/gtest.h>

#include <Core/MeshManager.h>
#include <Rendering/Geometry.h>
#include <Rendering/Mesh.h>
#include <Rendering/Primitive.h>
#include <Rendering/Render.h>

#include "support/GLTestWindow.h"
#include "support/TestPaths.h"

using Core::MeshManager;
using Rendering::Mesh;

TEST(MeshManagerGLTest, CompilesMeshesInFileNameOrder)
{
    TabulaTest::initEngine();
    MeshManager* manager = MeshManager::instance();
    Mesh* triangle = nullptr;
    Mesh* mixed = nullptr;
    testing::internal::CaptureStdout();
    manager->addMesh(TabulaTest::dataPath("ase/triangle.ase"), triangle);
    manager->addMesh(TabulaTest::dataPath("ase/mixed_faces.ase"), mixed);
    testing::internal::GetCapturedStdout();

    Rendering::Render* render = Rendering::Render::instance();
    unsigned int before = render->getNbDisplayList();
    manager->initList();
    EXPECT_EQ(render->getNbDisplayList(), before + 3);

    // mixed_faces.ase sorts first, so its two lists are made before the triangle's.
    const auto& mixedPrimitives = mixed->getGeometries()[0]->getPrimitives();
    unsigned int triangleList = triangle->getGeometries()[0]->getPrimitives()[0]->getDisplayList();
    ASSERT_EQ(mixedPrimitives.size(), 2u);
    EXPECT_LT(mixedPrimitives[0]->getDisplayList(), mixedPrimitives[1]->getDisplayList());
    EXPECT_LT(mixedPrimitives[1]->getDisplayList(), triangleList);
    EXPECT_TRUE(glIsList(triangleList));

    manager->removeMesh(triangle);
    manager->removeMesh(mixed);
}
