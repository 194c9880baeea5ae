#include <gtest/gtest.h>

#include <Core/Object.h>

#include "support/Feedback.h"
#include "support/GLTestWindow.h"

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
