#include <gtest/gtest.h>

#include <Rendering/Aabb.h>
#include <Rendering/Geometry.h>
#include <Rendering/Mesh.h>

using namespace Rendering;

namespace
{
const double c_Far = static_cast<double>(3.4e38f);

Mesh* meshWith(std::initializer_list<std::vector<Vec3<double>>> geometries)
{
    auto* mesh = new Mesh();
    for (const auto& vertices : geometries)
    {
        auto* geometry = new Geometry();
        geometry->getVertexArray() = vertices;
        mesh->addGeometry(geometry);
    }
    return mesh;
}
} // namespace

TEST(AabbTest, CoversEveryVertexOfEveryGeometryAndIsInvertedWithoutAny)
{
    Aabb empty;
    EXPECT_EQ(empty.getSize(), Vec3<double>(0, 0, 0));

    std::unique_ptr<Mesh> mesh(meshWith({{{-1, 0, 2}, {3, 5, -4}}, {}, {{0, 1, 0}}}));
    Aabb box(mesh.get());
    EXPECT_EQ(box.getMin(), Vec3<double>(-1, 0, -4));
    EXPECT_EQ(box.getMax(), Vec3<double>(3, 5, 2));
    EXPECT_EQ(box.getSize(), Vec3<double>(4, 5, 6));

    // The box follows a mesh only when it is set again.
    mesh->getGeometries()[1]->getVertexArray().push_back(Vec3<double>(10, 10, 10));
    EXPECT_EQ(box.getMax(), Vec3<double>(3, 5, 2));
    box.setMesh(mesh.get());
    EXPECT_EQ(box.getMax(), Vec3<double>(10, 10, 10));

    box.setMesh(nullptr);
    EXPECT_EQ(box.getMesh(), nullptr);
    EXPECT_EQ(box.getSize(), Vec3<double>(0, 0, 0));

    // A mesh without vertices gives an inverted box.
    std::unique_ptr<Mesh> hollow(meshWith({{}, {}}));
    box.setMesh(hollow.get());
    EXPECT_EQ(box.getMin(), Vec3<double>(c_Far, c_Far, c_Far));
    EXPECT_EQ(box.getSize(), Vec3<double>(-2 * c_Far, -2 * c_Far, -2 * c_Far));
}
