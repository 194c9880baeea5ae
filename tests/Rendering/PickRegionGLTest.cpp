#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <GL/gl.h>

#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/Camera.h>
#include <Rendering/Mesh.h>
#include <Rendering/internal/PickRegion.h>
#include <Rendering/Render.h>

#include "support/GLTestWindow.h"
#include "support/TestBoard.h"
#include "support/TestPaths.h"

using Rendering::PickRegion;
using Rendering::Render;

namespace
{

// The hit records of one selection pass at window point (x, y), drawn by
// `draw` in the engine's pick projection: the record count, then the records
// as OpenGL wrote them.
template <typename Draw>
std::vector<unsigned int> hitsAt(int x, int y, Draw draw)
{
    glPushMatrix();
    Render::instance()->startPicking(x, y);
    draw();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    const int hits = glRenderMode(GL_RENDER);
    glPopMatrix();
    std::vector<unsigned int> records{static_cast<unsigned int>(hits)};
    for (int hit = 0, index = 0; hit < hits; ++hit, index += 3 + static_cast<int>(Rendering::pickingBuf[index]))
        records.insert(records.end(), Rendering::pickingBuf + index,
                       Rendering::pickingBuf + index + 3 + Rendering::pickingBuf[index]);
    return records;
}

// Over a sweep of pointer positions every 8 pixels across the window, and
// several views, the hit records are the same with and without skipping.
TEST(PickRegionGLTest, SkippingKeepsEveryHitRecordInEveryView)
{
    TabulaTest::initEngine();
    TabulaTest::TestBoard scene;
    const std::string torus = TabulaTest::buildPath("models/torus-300.ase");
    for (unsigned int y = 0; y < 8; ++y)
        for (unsigned int x = (y + 1) % 2; x < 8; x += 2)
            if (y < 3 || y > 4)
            {
                auto* piece = new Core::Object(Core::Object::ObjectAlignment(), (x + y) % 3 ? torus : "");
                scene.at(x, y)->pushObject(piece);
            }
    // Tall, wire-boxed and far-spot pieces reach over their neighbours.
    scene.at(1, 0)->getObjects()[0]->setScale(3.0);
    scene.at(4, 7)->getObjects()[0]->setDrawBound(true);
    auto* far = new Core::Object(Core::Object::ObjectAlignment(Core::Object::TOP, Core::Object::CENTER), "");
    scene.at(4, 4)->pushObject(far);
    scene.at(1, 0)->getObjects()[0]->getMesh()->initList();

    const struct
    {
        const char* name;
        Vec3<double> position;
        double pitch, yaw, turn;
        Vec3<double> scale;
    } views[] = {
        {"engine's start", {0, 10, 10}, -0.7853975, 0, 0, {1, 1, 1}},
        {"turned, low and near", {0, 3, 6}, -0.4, 0.3, 135, {1, 1, 1}},
        {"from above, scaled", {1, 14, 2}, -1.4, 0, 30, {1.5, 1, 0.8}},
    };
    const Vec2<unsigned int> size = Render::instance()->getSize();
    for (const auto& view : views)
    {
        TabulaTest::resetCamera(*Render::instance()->getCamera(), view.position, view.pitch, view.yaw);
        auto engine = [&](bool skipping)
        {
            return [&, skipping]
            {
                PickRegion::setSkipping(skipping);
                glScaled(view.scale.x(), view.scale.y(), view.scale.z());
                glRotated(view.turn, 0, 1, 0);
                scene.board->draw();
                PickRegion::setSkipping(true);
            };
        };
        int withHits = 0, withPieces = 0, mismatches = 0;
        for (int y = 4; y < static_cast<int>(size.y()); y += 8)
            for (int x = 4; x < static_cast<int>(size.x()); x += 8)
            {
                const std::vector<unsigned int> skipped = hitsAt(x, y, engine(true));
                if (skipped != hitsAt(x, y, engine(false)) && ++mismatches <= 5)
                    ADD_FAILURE() << view.name << ": hit records differ at (" << x << ", " << y << ")";
                withHits += skipped[0] > 0;
                withPieces += skipped[0] > 2;
            }
        EXPECT_EQ(mismatches, 0) << view.name;
        // The sweep must cross the board and its pieces to prove anything.
        EXPECT_GT(withHits, 1000) << view.name;
        EXPECT_GT(withPieces, 50) << view.name;
    }
}

// The selection pass hands its corners over as a vertex array: arrays a game
// left enabled must neither be read with them nor come back disabled.
TEST(PickRegionGLTest, SelectionPassLeavesTheGamesArrayStateAlone)
{
    TabulaTest::initEngine();
    TabulaTest::TestBoard scene(2, 2);
    const float colour[4] = {1, 0, 0, 1};
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_FLOAT, 0, colour); // one colour: reading a second would overrun
    const TabulaTest::WindowPoint p = TabulaTest::projectToWindow(0.5, 0.0, -0.5);
    const std::vector<unsigned int> hits =
        hitsAt(static_cast<int>(p.x), static_cast<int>(p.y), [&] { scene.board->draw(); });
    EXPECT_GT(hits[0], 0u);
    EXPECT_TRUE(glIsEnabled(GL_COLOR_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    glDisableClientState(GL_COLOR_ARRAY);
}

} // namespace
