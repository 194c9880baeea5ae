#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include <Core/Board.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/Camera.h>
#include <Rendering/Mesh.h>
#include <Rendering/Render.h>

#include "support/Feedback.h"
#include "support/GLTestWindow.h"
#include "support/TestBoard.h"
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

// A model piece shows its wire box only when asked. Turned, the model and
// its wire box are drawn turned about the piece's origin, which is lifted by
// half the turned box's height; picking tests the turned box, so a piece
// lying across its neighbours is picked there.
TEST(ObjectGLTest, AModelPieceRestsInItsBoxAndTurnedIsDrawnBoxedAndPickedTurned)
{
    TabulaTest::initEngine();
    const std::unique_ptr<Object> column(TabulaTest::modelPiece(TabulaTest::dataPath("scene/column.ase")));
    Object& piece = *column;
    ASSERT_NE(piece.getMesh(), nullptr);
    piece.setScale(0.5);
    EXPECT_TRUE(TabulaTest::captureFeedback([&] { piece.draw(); }, 0.2).lines.empty());
    piece.setDrawBound(true);
    const TabulaTest::FeedbackCapture upright = TabulaTest::captureFeedback([&] { piece.draw(); }, 0.2);
    ASSERT_FALSE(upright.polygons.empty());
    // Upright, column.ase (2 high) at scale 0.5 stands lifted by half its
    // scaled height plus 0.02, its top at 1.02, inside its wire box: four
    // closed loops of four edges.
    const TabulaTest::Bounds model = TabulaTest::boxOf(upright.polygons);
    EXPECT_NEAR(model.lo[1], 0.02, 1e-4);
    EXPECT_NEAR(model.hi[1], 1.02, 1e-4);
    ASSERT_EQ(upright.lines.size(), 16u);
    const TabulaTest::Bounds wire = TabulaTest::boxOf(upright.lines);
    EXPECT_GE(wire.lo[1], 0.02 - 1e-4);
    EXPECT_LE(wire.hi[1], 1.02 + 1e-4);

    const double c_Pi = 3.14159265358979;
    const Vec3<double> across = Vec3<double>(1, 1, 0).normalize();
    struct Turn
    {
        const char* name;
        Quat<double> orientation;
        double height; // of the turned column (1 x 2 x 1) at scale 0.5
    };
    const Turn turns[] = {
        {"heading 90", Quat<double>(c_Pi / 2, Vec3<double>(0, 1, 0)), 1.0},
        {"lying along x", Quat<double>(c_Pi / 2, Vec3<double>(0, 0, 1)), 0.5},
        {"upside down", Quat<double>(c_Pi, Vec3<double>(1, 0, 0)), 1.0},
        // Its up axis turned to (0.146, 0.854, -0.5) times half extents (0.25, 0.5, 0.25), twice.
        {"tilted", Quat<double>(c_Pi / 4, across), 1.1767767},
    };
    for (const Turn& turn : turns)
    {
        piece.setOrientation(turn.orientation);
        if (std::string(turn.name) == "heading 90")
        {
            piece.setHeading(90.0);
            EXPECT_NEAR(piece.getHeading(), 90.0, 1e-9);
        }
        EXPECT_NEAR(piece.deltaTranslateY(), turn.height / 2 + 0.02, 1e-6) << turn.name;
        EXPECT_NEAR(piece.getHeight(), turn.height + 0.02, 1e-6) << turn.name;
        const auto turned = TabulaTest::captureFeedback([&] { piece.draw(); }, 0.2);
        TabulaTest::expectTurned(upright, turned, turn.orientation, Vec3<double>(0, 0.52, 0),
                                 Vec3<double>(0, turn.height / 2 + 0.02, 0), turn.name);
    }

    // On the engine's board, lying along x across square (3, 3) and half of
    // each neighbour: its end face, above (2, 3), picks (3, 3).
    TabulaTest::TestBoard scene;
    Rendering::Render* render = Rendering::Render::instance();
    render->setParams("Board", Vec3<double>(1, 1, 1), scene.board);
    scene.board->setAutoHighlight(true);
    TabulaTest::resetCamera(*render->getCamera());
    rot = 0.0f;
    auto* lying = new Object(piece);
    lying->setScale(1.0);
    lying->setOrientation(Quat<double>(c_Pi / 2, Vec3<double>(0, 0, 1)));
    scene.at(3, 3)->pushObject(lying);
    render->renderFrame();
    const Rendering::Render::WindowPoint end = render->getWindowPoint(Vec3<double>(2.5, 0.6, -3.5));
    ASSERT_TRUE(end.m_InView);
    TabulaTest::pickAt(end.m_X, end.m_Y);
    EXPECT_EQ(scene.board->getHighlightedSquare(), scene.at(3, 3));
    // Its origin, where getWindowPoint places it, is the middle of the turned body.
    const Rendering::Render::WindowPoint middle = render->getWindowPoint(lying);
    const Rendering::Render::WindowPoint expected = render->getWindowPoint(Vec3<double>(3.5, 0.52, -3.5));
    EXPECT_NEAR(middle.m_X, expected.m_X, 1e-6);
    EXPECT_NEAR(middle.m_Y, expected.m_Y, 1e-6);
    render->setParams("Board", Vec3<double>(1, 1, 1), nullptr);
}
