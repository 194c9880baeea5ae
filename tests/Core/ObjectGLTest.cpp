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
        const TabulaTest::Bounds box = TabulaTest::boxOf(capture.polygons);
        // The sphere's poles lie on z; its centre is lifted by 0.076 whatever the scale.
        EXPECT_NEAR((box.hi[1] + box.lo[1]) / 2.0, 0.076, 1e-3) << scale;
        EXPECT_NEAR(box.hi[2] - box.lo[2], 0.4 * scale, 1e-3) << scale;
        EXPECT_TRUE(capture.lines.empty());
    }
}

// A model stands lifted by half its scaled height plus 0.02, inside its wire
// box; column.ase is 2 high, so at scale 0.5 its top is at 1.02.
TEST(ObjectGLTest, ModelPieceRestsOnTheBoardInsideItsBox)
{
    TabulaTest::openWindow();
    testing::internal::CaptureStdout();
    Object piece(Object::ObjectAlignment(), TabulaTest::dataPath("scene/column.ase"));
    testing::internal::GetCapturedStdout();
    ASSERT_NE(piece.getMesh(), nullptr);
    piece.getMesh()->initList();
    piece.setScale(0.5);
    EXPECT_TRUE(TabulaTest::captureFeedback([&] { piece.draw(); }, 0.5).lines.empty());
    piece.setDrawBound(true);

    const auto capture = TabulaTest::captureFeedback([&] { piece.draw(); }, 0.5);
    ASSERT_FALSE(capture.polygons.empty());
    const TabulaTest::Bounds model = TabulaTest::boxOf(capture.polygons);
    EXPECT_NEAR(model.lo[1], 0.02, 1e-4);
    EXPECT_NEAR(model.hi[1], 1.02, 1e-4);
    // The wire box: four closed loops of four edges, around the scaled model.
    ASSERT_EQ(capture.lines.size(), 16u);
    const TabulaTest::Bounds wire = TabulaTest::boxOf(capture.lines);
    EXPECT_GE(wire.lo[1], 0.02 - 1e-4);
    EXPECT_LE(wire.hi[1], 1.02 + 1e-4);
}
