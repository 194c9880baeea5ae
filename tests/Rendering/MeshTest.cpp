#include <gtest/gtest.h>

#include <Rendering/Geometry.h>
#include <Rendering/Mesh.h>
#include <Rendering/Primitive.h>

#include "support/TestPaths.h"

using Rendering::Geometry;
using Rendering::Mesh;
using Rendering::Primitive;

TEST(MeshTest, ReaderIsChosenByCaseSensitiveSubstringOfTheName)
{
    const std::string inner = TabulaTest::dataPath("ase/board.ase.txt");
    testing::internal::CaptureStdout();
    Mesh handed(inner);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Couldn't find/load mesh : \"" + inner + "\"\nCouldn't load Mesh file : \"" + inner + "\"\n");

    const std::string mixedCase = TabulaTest::dataPath("ase/triangle.Ase");
    testing::internal::CaptureStdout();
    Mesh refused(mixedCase);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Unsupported format ... (supported format : ASE)\nCouldn't load Mesh file : \"" + mixedCase + "\"\n");
    EXPECT_TRUE(refused.getGeometries().empty());
    refused.draw();
}

TEST(MeshTest, CopyIsEmptyAndLeavesTheSourceIntact)
{
    testing::internal::CaptureStdout();
    auto* source = new Mesh(TabulaTest::dataPath("ase/mixed_faces.ase"));
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(source->getGeometries().size(), 1u);
    {
        Mesh copy(*source);
        EXPECT_TRUE(copy.getGeometries().empty());
    }
    EXPECT_EQ(source->getGeometries()[0]->getPrimitives().size(), 2u);
    EXPECT_EQ(source->getGeometries()[0]->getVertexArray().size(), 5u);
    delete source;
}

TEST(MeshTest, RemovingAPrimitiveHandsItBackAndUnknownOnesAreReported)
{
    Geometry geometry;
    auto* kept = new Primitive();
    auto* removed = new Primitive();
    geometry.addPrimitive(kept);
    geometry.addPrimitive(removed);

    Primitive stranger;
    testing::internal::CaptureStdout();
    geometry.removePrimitive(&stranger);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Unkown primitive to remove.\n");
    EXPECT_EQ(geometry.getPrimitives().size(), 2u);

    geometry.removePrimitive(removed);
    ASSERT_EQ(geometry.getPrimitives().size(), 1u);
    EXPECT_EQ(geometry.getPrimitives()[0], kept);
    removed->getVertexIndicesArray().push_back(1);
    delete removed;
}
