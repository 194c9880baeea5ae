// Meshes and their primitives.
#include <gtest/gtest.h>

#include <Rendering/Geometry.h>
#include <Rendering/Mesh.h>
#include <Rendering/Primitive.h>

#include "support/LogCapture.h"

using Rendering::Geometry;
using Rendering::Mesh;
using Rendering::Primitive;

// A copy sharing the source's geometries would delete them with it (ASan).
TEST(MeshTest, CopyIsEmptyAndLeavesTheSourceIntact)
{
    Mesh source;
    auto* geometry = new Geometry();
    geometry->getVertexArray() = {{0, 0, 0}, {1, 0, 0}};
    source.addGeometry(geometry);
    EXPECT_TRUE(Mesh(source).getGeometries().empty());
    ASSERT_EQ(source.getGeometries().size(), 1u);
    EXPECT_EQ(source.getGeometries()[0]->getVertexArray().size(), 2u);
}

TEST(MeshTest, RemovingAPrimitiveHandsItBackAndUnknownOnesAreReported)
{
    Geometry geometry;
    auto* kept = new Primitive();
    auto* removed = new Primitive();
    geometry.addPrimitive(kept);
    geometry.addPrimitive(removed);

    Primitive stranger;
    TabulaTest::LogCapture log;
    geometry.removePrimitive(&stranger);
    EXPECT_EQ(log.out(), "Unkown primitive to remove.\n");
    EXPECT_EQ(geometry.getPrimitives().size(), 2u);

    geometry.removePrimitive(removed);
    ASSERT_EQ(geometry.getPrimitives().size(), 1u);
    EXPECT_EQ(geometry.getPrimitives()[0], kept);
    removed->getVertexIndicesArray().push_back(1);
    delete removed;
}
