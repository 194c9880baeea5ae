#include <gtest/gtest.h>

#include <Core/MeshManager.h>
#include <Rendering/Geometry.h>
#include <Rendering/Mesh.h>

#include "support/LogCapture.h"
#include "support/TestPaths.h"

using Core::MeshManager;
using Rendering::Mesh;

TEST(MeshManagerTest, SharesOneMeshPerNameAndKeepsItWhileAnyUserHoldsIt)
{
    MeshManager* manager = MeshManager::instance();
    const std::string name = TabulaTest::dataPath("ase/triangle.ase");
    std::size_t registered = manager->getMeshCount();

    Mesh* first = nullptr;
    Mesh* second = nullptr;
    TabulaTest::LogCapture log;
    manager->addMesh(name, first);
    manager->addMesh(name, second);
    // Its texture is loaded with it; both once.
    EXPECT_EQ(log.out(), "Image File : \"" + TabulaTest::dataPath("ase/wood.png") + "\" loaded.\nMesh File : \"" +
                             name + "\" loaded.\n");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(manager->getMeshCount(), registered + 1);

    // A copied piece takes its own use.
    Mesh* copy = first;
    manager->retainMesh(copy);

    manager->removeMesh(first);
    manager->removeMesh(second);
    EXPECT_EQ(manager->getMeshCount(), registered + 1);
    ASSERT_EQ(copy->getGeometries().size(), 1u);
    EXPECT_EQ(copy->getGeometries()[0]->getVertexArray().size(), 3u);

    manager->removeMesh(copy);
    EXPECT_EQ(manager->getMeshCount(), registered);

    Mesh stranger;
    manager->removeMesh(&stranger);
    manager->removeMesh(nullptr);
    manager->retainMesh(&stranger);
    EXPECT_EQ(manager->getMeshCount(), registered);
}

TEST(MeshManagerTest, MissingFileIsRegisteredEmptyAndReportedOnce)
{
    MeshManager* manager = MeshManager::instance();
    const std::string name = TabulaTest::dataPath("ase/nothing-here.ase");
    Mesh* first = nullptr;
    Mesh* second = nullptr;
    TabulaTest::LogCapture log;
    manager->addMesh(name, first);
    manager->addMesh(name, second);
    // Once: the second finds the empty mesh registered.
    EXPECT_EQ(log.out(), "Couldn't find/load mesh : \"" + name + "\"\nCouldn't load Mesh file : \"" + name + "\"\n");
    EXPECT_EQ(first, second);
    EXPECT_TRUE(first->getGeometries().empty());
    manager->removeMesh(first);
    manager->removeMesh(second);
}
