// Animated moves on the board: where a moving piece is drawn, what picking
// and the game see meanwhile, capture chains and the record of a finished move.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <Core/CallBackMove.h>
#include <Core/CallBackPicking.h>
#include <Core/Square.h>
#include <Rendering/Camera.h>
#include <Rendering/Mesh.h>
#include <Rendering/Render.h>

#include "support/Feedback.h"
#include "support/GLTestWindow.h"
#include "support/TestBoard.h"
#include "support/TestPaths.h"

using Core::MoveAnimation;
using Rendering::Render;
using TabulaTest::SpotProbe;

namespace
{
struct MoveRecorder : Core::CallBackMove
{
    void execute() override
    {
        ++runs;
        square = m_Square;
        captured = m_Captured.size();
        destroyedBefore = SpotProbe::destroyed;
    }
    int runs = 0;
    Core::Square* square = nullptr;
    std::size_t captured = 0;
    int destroyedBefore = 0;
};

struct Clicks : Core::CallBackPicking
{
    void execute() override { clicked.push_back(m_PickedSquare); }
    std::vector<Core::Square*> clicked;
};

struct MoveAnimationGLTest : TabulaTest::BoardSceneGLTest
{
    void SetUp() override
    {
        BoardSceneGLTest::SetUp();
        scene.board->getCallBacksMove().push_back(&recorder);
    }

    SpotProbe* addProbe(unsigned int x, unsigned int y)
    {
        auto* probe = new SpotProbe();
        scene.at(x, y)->pushObject(probe);
        return probe;
    }

    // Draws the board alone under an identity model-view, so a probe's spot
    // is in the scene's frame, where TestBoard::squareCentre answers.
    void draw()
    {
        TabulaTest::drawUnmoved([&] { scene.board->draw(); });
    }

    void expectAt(const SpotProbe& probe, double x, double y, double z, const std::string& when)
    {
        EXPECT_NEAR(probe.spot.x(), x, 1e-6) << when;
        EXPECT_NEAR(probe.spot.y(), y, 1e-6) << when;
        EXPECT_NEAR(probe.spot.z(), z, 1e-6) << when;
    }

    MoveRecorder recorder;
};
} // namespace

TEST_F(MoveAnimationGLTest, APieceIsDrawnFromItsStartAlongTheEasedPathToItsDestination)
{
    for (MoveAnimation::Path path : {MoveAnimation::SLIDE, MoveAnimation::HOP})
    {
        SpotProbe* probe = addProbe(1, 2);
        MoveAnimation::Style style;
        style.m_Path = path;
        style.m_HopHeight = 0.7;
        style.m_LegSeconds = 0.8;
        ASSERT_TRUE(scene.board->animateObject(probe, {scene.at(1, 2), scene.at(5, 4)}, style));
        const Vec3<double> from = scene.squareCentre(1, 2), to = scene.squareCentre(5, 4);
        // A quarter of the time covers 3/16 - 2/64 of the way, not a quarter.
        for (auto [seconds, p] :
             {std::pair(0.0, 0.0), std::pair(0.2, 0.15625), std::pair(0.2, 0.5), std::pair(0.5, 1.0)})
        {
            scene.board->advanceAnimations(seconds);
            draw();
            const double lift = path == MoveAnimation::HOP ? 4.0 * 0.7 * p * (1.0 - p) : 0.0;
            expectAt(*probe, from.x() + (to.x() - from.x()) * p, lift, from.z() + (to.z() - from.z()) * p,
                     "path " + std::to_string(path) + " at " + std::to_string(p) + " of the way");
            EXPECT_EQ(scene.board->isAnimating(), p < 1.0) << path;
        }
        scene.at(5, 4)->popObject(probe);
        delete probe;
    }
}

// A piece taken beyond the last leg leaves with that leg; a fading piece
// stays where it stood while it is drawn.
TEST_F(MoveAnimationGLTest, ACaptureChainPlaysItsLegsInOrderTheTakenLeaveAndItReportsOnce)
{
    for (MoveAnimation::Exit exit : {MoveAnimation::SINK, MoveAnimation::FADE})
    {
        recorder.runs = 0;
        SpotProbe* jumper = addProbe(1, 1);
        SpotProbe* first = addProbe(2, 2);
        SpotProbe* second = addProbe(4, 2);
        SpotProbe* beyond = addProbe(6, 6);
        const int destroyed = SpotProbe::destroyed;
        MoveAnimation::Style style;
        style.m_Path = MoveAnimation::HOP;
        style.m_HopHeight = 1.0;
        style.m_LegSeconds = 1.0;
        style.m_Exit = exit;
        style.m_ExitSeconds = 1.0;
        ASSERT_TRUE(scene.board->animateObject(jumper, {scene.at(1, 1), scene.at(3, 3), scene.at(5, 1)}, style,
                                               {first, second, beyond}));
        // The game sees the move made from the start; only the board draws the taken.
        EXPECT_EQ(scene.at(5, 1)->getObjects(), std::vector<Core::Object*>{jumper});

        // Halfway through each leg the piece is above the piece it jumps, which
        // starts leaving then; the legs never run together.
        struct Step
        {
            double seconds;
            Vec3<double> jumper;
            double firstDrop;
            double secondDrop;
        };
        const double gone = -1.0;
        const Step steps[] = {
            {0.5, scene.squareCentre(2, 2), 0.0, 0.0},
            {0.5, scene.squareCentre(3, 3), 0.5, 0.0},
            {0.5, scene.squareCentre(4, 2), gone, 0.0},
            {0.5, scene.squareCentre(5, 1), gone, 0.5},
        };
        double elapsed = 0.0;
        for (const Step& step : steps)
        {
            scene.board->advanceAnimations(step.seconds);
            elapsed += step.seconds;
            const int firstDraws = first->draws, secondDraws = second->draws, beyondDraws = beyond->draws;
            draw();
            const std::string when = "exit " + std::to_string(exit) + " at " + std::to_string(elapsed) + " s";
            const double height = elapsed == 0.5 || elapsed == 1.5 ? 1.0 : 0.0;
            expectAt(*jumper, step.jumper.x(), height, step.jumper.z(), when);
            const double sink = exit == MoveAnimation::SINK ? first->getHeight() : 0.0;
            for (auto [probe, drop, drawsBefore, square] :
                 {std::make_tuple(first, step.firstDrop, firstDraws, scene.squareCentre(2, 2)),
                  std::make_tuple(second, step.secondDrop, secondDraws, scene.squareCentre(4, 2)),
                  std::make_tuple(beyond, step.secondDrop, beyondDraws, scene.squareCentre(6, 6))})
                if (drop == gone)
                    EXPECT_EQ(probe->draws, drawsBefore) << when << ": a piece that has gone is not drawn";
                else
                {
                    ASSERT_EQ(probe->draws, drawsBefore + 1) << when;
                    expectAt(*probe, square.x(), -MoveAnimation::ease(drop) * sink, square.z(), when);
                }
            EXPECT_EQ(recorder.runs, 0) << when;
        }
        EXPECT_EQ(SpotProbe::destroyed, destroyed);
        scene.board->advanceAnimations(1.0);
        EXPECT_EQ(recorder.runs, 1);
        EXPECT_EQ(recorder.square, scene.at(5, 1));
        EXPECT_EQ(recorder.captured, 3u);
        EXPECT_EQ(recorder.destroyedBefore, destroyed);
        EXPECT_EQ(SpotProbe::destroyed, destroyed + 3);
        scene.board->advanceAnimations(1.0);
        EXPECT_EQ(recorder.runs, 1);
        scene.at(5, 1)->popObject(jumper);
        delete jumper;
    }
}

TEST_F(MoveAnimationGLTest, PickingDuringAMoveSeesTheFinalPositionOnly)
{
    scene.board->setAutoHighlight(true);
    Clicks clicks;
    render->getCallBacksPicking() = {&clicks};

    Core::Object* mover = scene.addPiece(1, 1, Vec4<double>(0, 0, 1, 1));
    Core::Object* victim = scene.addPiece(4, 4, Vec4<double>(0, 1, 0, 1));
    MoveAnimation::Style style;
    style.m_LegSeconds = 1000.0;
    style.m_ExitSeconds = 1000.0;
    ASSERT_TRUE(scene.board->animateObject(mover, {scene.at(1, 1), scene.at(6, 6)}, style, {victim}));
    scene.board->advanceAnimations(450.0);
    render->renderFrame();

    // The moving piece, drawn halfway, picks its destination; a click there
    // reaches the game with the destination square.
    const Render::WindowPoint moving = render->getWindowPoint(mover);
    ASSERT_TRUE(moving.m_InView);
    const Render::WindowPoint start = render->getWindowPoint(scene.at(1, 1));
    EXPECT_GT(std::abs(moving.m_X - start.m_X) + std::abs(moving.m_Y - start.m_Y), 20.0);
    TabulaTest::pickAt(moving.m_X, moving.m_Y);
    EXPECT_EQ(scene.board->getHighlightedSquare(), scene.at(6, 6));
    render->updatePicking();
    EXPECT_EQ(clicks.clicked, std::vector<Core::Square*>{scene.at(6, 6)});

    // The captured piece, still drawn, is not picked: its old square is.
    const Render::WindowPoint over = render->getWindowPoint(Vec3<double>(4.5, 0.25, -4.5));
    TabulaTest::pickAt(over.m_X, over.m_Y);
    EXPECT_EQ(scene.board->getHighlightedSquare(), scene.at(4, 4));

    // Bad requests change nothing.
    Core::Object* other = scene.addPiece(0, 7, Vec4<double>(1, 1, 1, 1));
    EXPECT_FALSE(scene.board->animateObject(other, {scene.at(0, 6), scene.at(0, 5)}, style));
    EXPECT_FALSE(scene.board->animateObject(other, {scene.at(0, 7)}, style));
    EXPECT_FALSE(scene.board->animateObject(other, {scene.at(0, 7), nullptr}, style));
    EXPECT_FALSE(scene.board->animateObject(other, {scene.at(0, 7), scene.at(1, 7)}, style, {other}));
    EXPECT_EQ(other->getParentSquare(), scene.at(0, 7));

    // Finishing at once ends the move and reports it.
    scene.board->finishAnimations();
    EXPECT_FALSE(scene.board->isAnimating());
    EXPECT_EQ(recorder.runs, 1);
    EXPECT_EQ(mover->getDrawOffset().x(), 0.0);
}

TEST_F(MoveAnimationGLTest, DurationsOfNoTimeOrNoNumberEndTheMoveAtTheNextFrame)
{
    SpotProbe* probe = addProbe(0, 0);
    int runs = 0;
    for (double seconds : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity() * -1.0})
    {
        MoveAnimation::Style style;
        style.m_Path = MoveAnimation::HOP;
        style.m_HopHeight = std::nan("");
        style.m_LegSeconds = seconds;
        style.m_ExitSeconds = seconds;
        Core::Square* from = probe->getParentSquare();
        Core::Square* to = from == scene.at(0, 0) ? scene.at(3, 0) : scene.at(0, 0);
        ASSERT_TRUE(scene.board->animateObject(probe, {from, to}, style, {scene.addPiece(1, 1, {1, 1, 1, 1})}));
        scene.board->advanceAnimations(std::nan(""));
        draw();
        EXPECT_EQ(recorder.runs, ++runs) << seconds;
        EXPECT_FALSE(scene.board->isAnimating()) << seconds;
        const Vec3<double> spot = to == scene.at(0, 0) ? scene.squareCentre(0, 0) : scene.squareCentre(3, 0);
        expectAt(*probe, spot.x(), 0.0, spot.z(), std::to_string(seconds));
    }
}

// The piece turns along the same eased curve as its travel: halfway through
// a hop it is halfway round, at the hop's top; it ends exactly turned on its
// destination, and its record runs once as for any move. A flip tips it
// forward about the axis across the travel (the board's x axis in place).
TEST_F(MoveAnimationGLTest, APieceTurnsOrFlipsAlongItsMoveAndLandsTurned)
{
    Core::Object* piece = TabulaTest::modelPiece(TabulaTest::dataPath("scene/column.ase"));
    ASSERT_NE(piece->getMesh(), nullptr);
    piece->setScale(0.5);
    const double scale = 0.05;
    const auto upright = TabulaTest::captureFeedback([&] { piece->draw(); }, scale);
    const Vec3<double> lift(0, 0.52, 0);
    scene.at(1, 2)->pushObject(piece);

    const double c_Pi = 3.14159265358979;
    const Vec3<double> up(0, 1, 0), acrossX(0, 0, -1), sideways(1, 0, 0);
    struct Case
    {
        const char* name;
        Vec2<unsigned int> from, to;
        bool flip;
        MoveAnimation::Turn turn;
        double heading;
        Quat<double> half, end;
    };
    const Case cases[] = {
        {"flip on a hop along +x", {1, 2}, {5, 2}, true, MoveAnimation::KEEP, 0.0, Quat<double>(c_Pi / 2, acrossX),
         Quat<double>(c_Pi, acrossX)},
        {"face the travel along -x", {5, 2}, {1, 2}, false, MoveAnimation::FACE_TRAVEL, 0.0,
         Quat<double>(-c_Pi / 4, up), Quat<double>(-c_Pi / 2, up)},
        {"flip in place", {1, 2}, {1, 2}, true, MoveAnimation::KEEP, 0.0, Quat<double>(c_Pi / 2, sideways),
         Quat<double>(c_Pi, sideways)},
        {"turn to heading 180", {1, 2}, {1, 5}, false, MoveAnimation::TO_HEADING, 180.0, Quat<double>(c_Pi / 2, up),
         Quat<double>(c_Pi, up)},
    };
    for (const Case& move : cases)
    {
        piece->setOrientation(Quat<double>());
        Core::Square* from = scene.at(move.from.x(), move.from.y());
        Core::Square* to = scene.at(move.to.x(), move.to.y());
        MoveAnimation::Style style;
        style.m_Path = MoveAnimation::HOP;
        style.m_HopHeight = 0.7;
        style.m_LegSeconds = 1.0;
        style.m_Flip = move.flip;
        style.m_Turn = move.turn;
        style.m_Heading = move.heading;
        const int runs = recorder.runs;
        ASSERT_TRUE(scene.board->animateObject(piece, {from, to}, style)) << move.name;

        scene.board->advanceAnimations(0.5);
        const Vec3<double> top = (from->getSpot(*piece) + to->getSpot(*piece)) * 0.5 + lift + Vec3<double>(0, 0.7, 0);
        TabulaTest::expectTurned(upright, TabulaTest::captureFeedback([&] { to->drawObjects(); }, scale), move.half,
                                 lift, top, std::string(move.name) + " at half time");

        scene.board->advanceAnimations(0.6);
        EXPECT_EQ(recorder.runs, runs + 1) << move.name;
        TabulaTest::expectTurned(upright, TabulaTest::captureFeedback([&] { to->drawObjects(); }, scale), move.end,
                                 lift, to->getSpot(*piece) + lift, std::string(move.name) + " landed");
    }
}
