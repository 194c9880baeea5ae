#include <gtest/gtest.h>

#include <Core/Object.h>

using namespace Core;

TEST(ObjectTest, SphereLiftAndDefaults)
{
    Object piece(Object::ObjectAlignment(), "");
    EXPECT_EQ(piece.getMesh(), nullptr);
    EXPECT_DOUBLE_EQ(piece.deltaTranslateY(), 0.076);
    EXPECT_EQ(piece.getAlignment().m_Vertical, Object::MIDDLE);
    EXPECT_EQ(piece.getAlignment().m_Horizontal, Object::CENTER);
    EXPECT_EQ(piece.getParentSquare(), nullptr);
    EXPECT_EQ(piece.getAabb().getSize(), Vec3<double>(0, 0, 0));
    piece.setScale(3.0);
    // The sphere's lift does not follow the scale.
    EXPECT_DOUBLE_EQ(piece.deltaTranslateY(), 0.076);
    // Removing a mesh that is not there changes nothing.
    piece.removeMesh();
    piece.setMesh("");
    EXPECT_EQ(piece.getMesh(), nullptr);
}
