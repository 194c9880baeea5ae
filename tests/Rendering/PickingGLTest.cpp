#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include <GL/gl.h>

#include <Core/CallBackPicking.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/Camera.h>
#include <Rendering/Mesh.h>
#include <Rendering/Render.h>

#include "support/GLTestWindow.h"
#include "support/TestBoard.h"
#include "support/TestPaths.h"

using Rendering::Render;
using TabulaTest::TestBoard;

namespace
{
// Every handler run, in order, as "<record> <square or none>".
std::vector<std::string> g_Log;

struct Recorder : Core::CallBackPicking
{
    explicit Recorder(std::string name) : m_Name(std::move(name)) {}
    void execute() override { g_Log.push_back(m_Name); }
    std::string m_Name;
};

// A game's square class under a tag of its own.
struct Cell : Core::Square
{
    Cell() : Core::Square(Coords{}, {}) {}
    std::string getClassName() const override { return "CELL"; }
};

const unsigned int c_Far = 0xffffffffu;

// Writes hit records (names, minimum depth, maximum depth, names...) at the
// start of the selection buffer and returns the number of records.
int writeHits(std::initializer_list<std::vector<unsigned int>> records)
{
    unsigned int index = 0;
    for (const std::vector<unsigned int>& record : records)
        for (unsigned int value : record)
            Rendering::pickingBuf[index++] = value;
    return static_cast<int>(records.size());
}

std::vector<unsigned int> hit(unsigned int depth, unsigned int name)
{
    return {1, depth, depth, name};
}

struct PickingGLTest : ::testing::Test
{
    void SetUp() override
    {
        TabulaTest::initEngine();
        rot = 0.0f;
        g_Log.clear();
        TabulaTest::resetCamera(*render->getCamera());
        scene.board->setAutoHighlight(true);
        render->setParams("Picking", Vec3<double>(1, 1, 1), scene.board);
        render->getCallBacksPicking() = {&first, &second};
    }
    void TearDown() override
    {
        render->getCallBacksPicking().clear();
        render->setParams("Picking", Vec3<double>(1, 1, 1), nullptr);
    }

    unsigned int nameOf(unsigned int x, unsigned int y) const { return scene.at(x, y)->getPickingName(); }

    // Highlights (x, y) through a plain hit and checks the records follow.
    void highlight(unsigned int x, unsigned int y)
    {
        render->processHits(writeHits({hit(10, nameOf(x, y))}));
        ASSERT_EQ(scene.board->getHighlightedSquare(), scene.at(x, y));
        ASSERT_EQ(first.getPickedSquare(), scene.at(x, y));
    }

    void expectUnchanged(unsigned int x, unsigned int y, const char* what)
    {
        EXPECT_EQ(scene.board->getHighlightedSquare(), scene.at(x, y)) << what;
        EXPECT_TRUE(scene.at(x, y)->isMouseOver()) << what;
        EXPECT_EQ(first.getPickedSquare(), scene.at(x, y)) << what;
        EXPECT_EQ(second.getPickedSquare(), scene.at(x, y)) << what;
    }

    // One selection pass where a world point shows, as the frame runs it.
    static void pickAt(const Vec3<double>& world)
    {
        TabulaTest::WindowPoint p = TabulaTest::projectToWindow(world.x(), world.y(), world.z());
        TabulaTest::pickAt(p.x, p.y);
    }

    Render* render = Render::instance();
    TestBoard scene;
    Recorder first{"first"};
    Recorder second{"second"};
};
} // namespace

TEST_F(PickingGLTest, NearestHitWinsComparedUnsignedFirstOnTies)
{
    // Equal depths: the first record wins.
    render->processHits(writeHits({hit(500, nameOf(1, 1)), hit(500, nameOf(2, 2))}));
    EXPECT_EQ(scene.board->getHighlightedSquare(), scene.at(1, 1));

    // 0x80000000 is nearer than 0x7fffffff only if compared signed.
    render->processHits(writeHits({hit(0x80000000u, nameOf(3, 3)), hit(0x7fffffffu, nameOf(4, 4))}));
    EXPECT_EQ(scene.board->getHighlightedSquare(), scene.at(4, 4));
    EXPECT_FALSE(scene.at(1, 1)->isMouseOver());

    // A nearer record without names takes no part; only the 4th of 4 counts.
    render->processHits(writeHits({{0, 0, 0}, hit(900, nameOf(5, 5)), hit(700, nameOf(6, 6)), hit(300, nameOf(7, 7))}));
    EXPECT_EQ(scene.board->getHighlightedSquare(), scene.at(7, 7));
    render->processHits(writeHits({hit(900, nameOf(5, 5)), hit(300, nameOf(6, 6)), hit(100, nameOf(7, 0))}) - 1);
    EXPECT_EQ(scene.board->getHighlightedSquare(), scene.at(6, 6));

    // A record whose names would run past the buffer ends the walk; the
    // records before it still count.
    std::vector<unsigned int> overlong(3 + 505, 0);
    overlong[0] = 506;
    overlong[1] = overlong[2] = 5;
    overlong[3] = nameOf(6, 6);
    render->processHits(writeHits({hit(1000, nameOf(5, 5)), overlong}));
    EXPECT_EQ(scene.board->getHighlightedSquare(), scene.at(5, 5));
    EXPECT_EQ(g_Log.size(), 0u);
}

TEST_F(PickingGLTest, OverflowUnknownNamesAndEmptyRecordsChangeNothing)
{
    highlight(2, 3);
    render->processHits(-1);
    expectUnchanged(2, 3, "overflow");
    render->processHits(writeHits({hit(1, 0xfffffff0u), hit(2, nameOf(5, 5))}));
    expectUnchanged(2, 3, "unregistered nearest name");
    render->processHits(writeHits({{0, 0, 0}, {0, 5, 5}}));
    expectUnchanged(2, 3, "records without names");
    render->processHits(writeHits({hit(c_Far, nameOf(5, 5))}));
    expectUnchanged(2, 3, "depth at the far end");
    // A record claiming more names than the buffer holds, first at the start,
    // then as the buffer's last three entries.
    render->processHits(writeHits({{0xffffffffu, 0, 0, nameOf(5, 5)}}));
    expectUnchanged(2, 3, "overlong record");
    std::vector<unsigned int> filler(3 + 506, 0xfffffff0u);
    filler[0] = 506;
    filler[1] = c_Far;
    render->processHits(writeHits({filler, {0xffffffffu, 0, 0}}));
    expectUnchanged(2, 3, "overlong last record");
    // More hits claimed than 128 single-name records that fill the buffer.
    const std::vector<unsigned int> record = hit(c_Far, 0xfffffff0u);
    for (unsigned int i = 0; i < 512; i += 4)
        std::copy(record.begin(), record.end(), Rendering::pickingBuf + i);
    render->processHits(1000);
    expectUnchanged(2, 3, "hit count past the buffer");
    {
        Cell cell;
        render->processHits(writeHits({hit(1, cell.getPickingName())}));
        expectUnchanged(2, 3, "drawable that is no piece under another tag");
    }

    // A real overflow: the board drawn a hundred times over a square fills
    // far more than 512 entries, and OpenGL reports -1.
    TabulaTest::WindowPoint p = TabulaTest::projectToWindow(0.5, 0.0, 0.5);
    glPushMatrix();
    render->startPicking(static_cast<int>(p.x), static_cast<int>(p.y));
    for (int i = 0; i < 100; ++i)
        scene.board->draw();
    render->stopPicking();
    glPopMatrix();
    GLint mode = 0;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    EXPECT_EQ(mode, GL_RENDER);
    expectUnchanged(2, 3, "selection buffer overflow");
    EXPECT_EQ(g_Log.size(), 0u);
}

TEST_F(PickingGLTest, BoardSquareAndPieceNamesMapToTheirSquare)
{
    Core::Object* piece = scene.addPiece(4, 6, Vec4<double>(0, 0, 1, 1));
    render->processHits(writeHits({hit(10, piece->getPickingName())}));
    EXPECT_EQ(scene.board->getHighlightedSquare(), scene.at(4, 6));
    EXPECT_EQ(second.getPickedSquare(), scene.at(4, 6));

    render->processHits(writeHits({hit(10, nameOf(0, 7))}));
    EXPECT_EQ(scene.board->getHighlightedSquare(), scene.at(0, 7));
    EXPECT_FALSE(scene.at(4, 6)->isMouseOver());

    render->processHits(writeHits({hit(10, scene.board->getPickingName())}));
    EXPECT_EQ(scene.board->getHighlightedSquare(), nullptr);
    EXPECT_FALSE(scene.at(0, 7)->isMouseOver());
    EXPECT_EQ(first.getPickedSquare(), nullptr);
    EXPECT_EQ(second.getPickedSquare(), nullptr);
    // Picking only tells the records; no handler ran.
    EXPECT_EQ(g_Log.size(), 0u);

    // With automatic highlighting off, the records still learn the square but
    // nothing is highlighted, so a click reaches nobody.
    scene.board->setAutoHighlight(false);
    render->processHits(writeHits({hit(10, nameOf(1, 1))}));
    EXPECT_EQ(first.getPickedSquare(), scene.at(1, 1));
    EXPECT_EQ(scene.board->getHighlightedSquare(), nullptr);
    render->updatePicking();
    EXPECT_EQ(g_Log.size(), 0u);
}

TEST_F(PickingGLTest, AClickRunsEveryHandlerOnceInOrderOnlyOverASquare)
{
    render->updatePicking();
    EXPECT_EQ(g_Log.size(), 0u);

    highlight(3, 5);
    first.setPickedSquare(nullptr);
    second.setPickedSquare(scene.at(0, 0));
    render->updatePicking();
    EXPECT_EQ(g_Log, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(first.getPickedSquare(), scene.at(3, 5));
    EXPECT_EQ(second.getPickedSquare(), scene.at(3, 5));

    render->processHits(writeHits({hit(10, scene.board->getPickingName())}));
    render->updatePicking();
    EXPECT_EQ(g_Log.size(), 2u);
}

TEST_F(PickingGLTest, EmptySpaceKeepsTheSquareAndTheSlabFacePicksNone)
{
    pickAt(scene.squareCentre(7, 7));
    ASSERT_EQ(scene.board->getHighlightedSquare(), scene.at(7, 7));
    // Empty space beside the board: no hit, the last square stays.
    pickAt(Vec3<double>(6.0, 0.0, 0.0));
    expectUnchanged(7, 7, "empty space");
    TabulaTest::pickAt(5.0, 720.0);
    expectUnchanged(7, 7, "window corner");

    // The slab's front face below the first row is the board's own surface.
    pickAt(Vec3<double>(0.0, -0.125, 4.0));
    EXPECT_EQ(scene.board->getHighlightedSquare(), nullptr);
    EXPECT_EQ(first.getPickedSquare(), nullptr);
    EXPECT_FALSE(scene.at(7, 7)->isMouseOver());
    EXPECT_EQ(g_Log.size(), 0u);
}

// A glTF piece is drawn in its square's name: the point of the frame where
// its top shows (in front of the squares behind it) picks its square.
TEST_F(PickingGLTest, ModelPiecePicksItsSquare)
{
    testing::internal::CaptureStdout();
    auto* piece = new Core::Object(Core::Object::ObjectAlignment(),
                                   TabulaTest::dataPath("models/BoxTextured/binary/BoxTextured.glb"));
    testing::internal::GetCapturedStdout();
    ASSERT_NE(piece->getMesh(), nullptr);
    piece->getMesh()->initList();
    scene.at(2, 5)->pushObject(piece);
    // The 1-high box stands from 0.02 to 1.02 over the square's centre.
    const Vec3<double> top = scene.squareCentre(2, 5) + Vec3<double>(0, 0.9, 0);
    pickAt(top);
    EXPECT_EQ(scene.board->getHighlightedSquare(), scene.at(2, 5));
    EXPECT_EQ(first.getPickedSquare(), scene.at(2, 5));

    // Without the piece the same point of the frame shows another square.
    ASSERT_TRUE(scene.at(2, 5)->popObject(piece));
    pickAt(top);
    EXPECT_NE(scene.board->getHighlightedSquare(), scene.at(2, 5));
    delete piece;
}
