#include <GL/gl.h>
#include <gtest/gtest.h>

#include <Core/MeshManager.h>
#include <Rendering/Geometry.h>
#include <Rendering/Mesh.h>
#include <Rendering/Primitive.h>
#include <Rendering/Render.h>

#include "support/GLTestWindow.h"
#include "support/LogCapture.h"
#include "support/TestPaths.h"

using Core::MeshManager;
using Rendering::Mesh;

TEST(MeshManagerGLTest, CompilesEveryRegisteredMesh)
{
    TabulaTest::initEngine();
    MeshManager* manager = MeshManager::instance();
    Mesh* triangle = nullptr;
    Mesh* mixed = nullptr;
    TabulaTest::LogCapture quiet;
    manager->addMesh(TabulaTest::dataPath("ase/triangle.ase"), triangle);
    manager->addMesh(TabulaTest::dataPath("ase/mixed_faces.ase"), mixed);

    Rendering::Render* render = Rendering::Render::instance();
    unsigned int before = render->getNbDisplayList();
    manager->initList();
    // One list per primitive: mixed_faces.ase has two, the triangle one.
    EXPECT_EQ(render->getNbDisplayList(), before + 3);
    for (Mesh* mesh : {triangle, mixed})
        EXPECT_TRUE(glIsList(mesh->getGeometries()[0]->getPrimitives()[0]->getDisplayList()));

    manager->removeMesh(triangle);
    manager->removeMesh(mixed);
}
