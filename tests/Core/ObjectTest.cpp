#include <gtest/gtest.h>

#include <Core/MeshManager.h>
#include <Core/Object.h>
#include <Rendering/Mesh.h>

#include "support/TestPaths.h"

using namespace Core;

TEST(ObjectTest, SphereLiftAndDefaults)
{
    Object piece(Object::ObjectAlignment(), "");
    EXPECT_DOUBLE_EQ(piece.deltaTranslateY(), 0.076);
    EXPECT_EQ(piece.getAabb().getSize(), Vec3<double>(0, 0, 0));
    piece.setScale(3.0);
    // The sphere's lift does not follow the scale.
    EXPECT_DOUBLE_EQ(piece.deltaTranslateY(), 0.076);
    // Removing a mesh that is not there changes nothing.
    piece.removeMesh();
    piece.setMesh("");
    EXPECT_EQ(piece.getMesh(), nullptr);
}

TEST(ObjectTest, ModelPiecesRestOnTheirBoxAndShareTheirMesh)
{
    const std::string model = TabulaTest::dataPath("scene/column.ase");
    testing::internal::CaptureStdout();
    Object piece(Object::ObjectAlignment(), model);
    Object twin(Object::ObjectAlignment(), model);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "Mesh File : \"" + model + "\" loaded.\n");
    ASSERT_NE(piece.getMesh(), nullptr);
    EXPECT_EQ(piece.getMesh(), twin.getMesh());

    // The column is 2 units high: at scale 0.5 it is lifted by half of 1, plus 0.02.
    EXPECT_DOUBLE_EQ(piece.getAabb().getSize().y(), 2.0);
    piece.setScale(0.5);
    EXPECT_DOUBLE_EQ(piece.deltaTranslateY(), 0.52);

    // A copy holds its own use: giving the mesh back on two of the three
    // pieces leaves it alive for the third.
    {
        Object copy(piece);
        EXPECT_EQ(copy.getMesh(), piece.getMesh());
        EXPECT_DOUBLE_EQ(copy.deltaTranslateY(), 0.52);
        piece.removeMesh();
        twin.setMesh("");
        EXPECT_EQ(piece.getMesh(), nullptr);
        EXPECT_EQ(piece.getAabb().getSize(), Vec3<double>(0, 0, 0));
        EXPECT_DOUBLE_EQ(piece.deltaTranslateY(), 0.076);
        ASSERT_EQ(Core::MeshManager::instance()->getMeshCount(), 1u);
        EXPECT_EQ(copy.getMesh()->getGeometries().size(), 1u);
        copy.removeMesh();
    }
    EXPECT_EQ(Core::MeshManager::instance()->getMeshCount(), 0u);
}

TEST(ObjectTest, AnEmptyModelGivesAnInvertedBoxFarBelowTheBoard)
{
    const std::string model = TabulaTest::dataPath("scene/empty.ase");
    testing::internal::CaptureStdout();
    Object piece(Object::ObjectAlignment(), model);
    testing::internal::GetCapturedStdout();
    const double far = static_cast<double>(3.4e38f);
    EXPECT_DOUBLE_EQ(piece.getAabb().getSize().y(), -2 * far);
    EXPECT_DOUBLE_EQ(piece.deltaTranslateY(), -far + 0.02);
}
