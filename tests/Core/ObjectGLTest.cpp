#include <gtest/gtest.h>

#include <Core/Object.h>
#include <Rendering/Mesh.h>

#include "support/Feedback.h"
#include "support/GLTestWindow.h"
#include "support/TestPaths.h"

using namespace Core;

TEST(ObjectGLTest, SphereRestsOnTheBoardAndShowsNoBox)
{
    TabulaTest::openWindow();
    Object piece(Object::ObjectAlignment(), "");
    piece.setDrawBound(true);
    for (double scale : {1.0, 2.0})
    {
        piece.setScale(scale);
        const auto capture = TabulaTest::captureFeedback([&] { piece.draw(); }, 0.5);
        double minY = 1e9, maxY = -1e9, minZ = 1e9, maxZ = -1e9;
        for (const auto& polygon : capture.polygons)
            for (const auto& v : polygon)
            {
                minY = std::min(minY, v.y), maxY = std::max(maxY, v.y);
                minZ = std::min(minZ, v.z), maxZ = std::max(maxZ, v.z);
            }
        // The sphere's poles lie on z; its centre is lifted by 0.076 whatever the scale.
        EXPECT_NEAR((maxY + minY) / 2.0, 0.076, 1e-3) << scale;
        EXPECT_NEAR(maxZ - minZ, 0.4 * scale, 1e-3) << scale;
        EXPECT_TRUE(capture.lines.empty());
    }
}

// Every model format stands the same way: lifted by half its scaled height
// plus 0.02, inside its wire box.
TEST(ObjectGLTest, ModelPieceRestsOnTheBoardInsideItsBox)
{
    TabulaTest::openWindow();
    const struct
    {
        const char* m_File;
        double m_Top; // at scale 0.5
    } cases[] = {
        {"scene/column.ase", 1.02},                          // 2 high
        {"models/BoxTextured/binary/BoxTextured.glb", 0.52}, // 1 high
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_File);
        testing::internal::CaptureStdout();
        Object piece(Object::ObjectAlignment(), TabulaTest::dataPath(c.m_File));
        testing::internal::GetCapturedStdout();
        ASSERT_NE(piece.getMesh(), nullptr);
        piece.getMesh()->initList();
        piece.setScale(0.5);
        EXPECT_TRUE(TabulaTest::captureFeedback([&] { piece.draw(); }, 0.5).lines.empty());
        piece.setDrawBound(true);

        const auto capture = TabulaTest::captureFeedback([&] { piece.draw(); }, 0.5);
        ASSERT_FALSE(capture.polygons.empty());
        double minY = 1e9, maxY = -1e9;
        for (const auto& polygon : capture.polygons)
            for (const auto& v : polygon)
                minY = std::min(minY, v.y), maxY = std::max(maxY, v.y);
        EXPECT_NEAR(minY, 0.02, 1e-4);
        EXPECT_NEAR(maxY, c.m_Top, 1e-4);
        // The wire box: four closed loops of four edges, around the scaled model.
        ASSERT_EQ(capture.lines.size(), 16u);
        for (const auto& line : capture.lines)
            for (const auto& v : line)
            {
                EXPECT_GE(v.y, 0.02 - 1e-4);
                EXPECT_LE(v.y, c.m_Top + 1e-4);
            }
    }
}
