#include <gtest/gtest.h>

#include <Core/MeshManager.h>
#include <Core/Object.h>
#include <Rendering/Mesh.h>

#include "support/LogCapture.h"
#include "support/TestPaths.h"

using namespace Core;

TEST(ObjectTest, ModelPiecesShareTheirMeshAndEveryCopyHoldsAUse)
{
    const std::string model = TabulaTest::dataPath("scene/column.ase");
    TabulaTest::LogCapture log;
    Object piece(Object::ObjectAlignment(), model);
    Object twin(Object::ObjectAlignment(), model);
    EXPECT_EQ(log.out(), "Mesh File : \"" + model + "\" loaded.\n");
    ASSERT_NE(piece.getMesh(), nullptr);
    EXPECT_EQ(piece.getMesh(), twin.getMesh());
    piece.setScale(0.5);
    {
        Object copy(piece);
        EXPECT_EQ(copy.getMesh(), piece.getMesh());
        piece.removeMesh();
        twin.setMesh("");
        // Without its mesh a piece is a sphere, with no box.
        EXPECT_EQ(piece.getMesh(), nullptr);
        EXPECT_EQ(piece.getAabb().getSize(), Vec3<double>(0, 0, 0));
        piece.removeMesh();
        ASSERT_EQ(MeshManager::instance()->getMeshCount(), 1u);
        EXPECT_EQ(copy.getMesh()->getGeometries().size(), 1u);
        copy.removeMesh();
    }
    EXPECT_EQ(MeshManager::instance()->getMeshCount(), 0u);
}
