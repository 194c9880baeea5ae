// The engine's frame: what it draws and where, what it tells the window and
// a game (a hook run before drawing, a screenshot, where squares and pieces
// are in the window), and which square the hits of a selection pass pick.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <GL/freeglut.h>

#include <Core/CallBackFrame.h>
#include <Core/CallBackPicking.h>
#include <Core/Meta.h>
#include <Core/MoveAnimation.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/Camera.h>
#include <Rendering/Image.h>
#include <Rendering/Light.h>
#include <Rendering/Texture.h>
#include <Rendering/Render.h>

#include "support/Bounds.h"
#include "support/Feedback.h"
#include "support/GLTestWindow.h"
#include "support/LogCapture.h"
#include "support/TestBoard.h"
#include "support/TestPaths.h"

using Rendering::Render;
using TabulaTest::Pixel;
using TabulaTest::TestBoard;

namespace
{
struct FrameRecorder : Core::CallBackFrame
{
    FrameRecorder(std::vector<std::string>& log, std::string name, const Core::Board& board)
        : m_Log(log), m_Name(std::move(name)), m_Board(board)
    {
    }
    void execute() override
    {
        m_Log.push_back(m_Name);
        m_Deltas.push_back(m_DeltaTime);
        m_Elapsed.push_back(m_Board.getAnimations().empty() ? -1.0 : m_Board.getAnimations()[0].getElapsed());
    }
    std::vector<std::string>& m_Log;
    std::string m_Name;
    const Core::Board& m_Board;
    std::vector<double> m_Deltas;
    std::vector<double> m_Elapsed;
};

void placeCamera(double degreesDown, double degreesAround, double distance)
{
    Rendering::Camera* camera = Render::instance()->getCamera();
    TabulaTest::resetCamera(*camera, Vec3<double>(0, 10, 10), -degreesDown * 3.14159265358979 / 180.0,
                            degreesAround * 3.14159265358979 / 180.0);
    camera->setDistanceToOrigin(distance);
}

struct RenderGLTest : TabulaTest::BoardSceneGLTest
{
    void SetUp() override
    {
        BoardSceneGLTest::SetUp();
        placeCamera(45.0, 0.0, 10.0);
        scene.board->setAutoHighlight(true);
    }
};

// Picking only tells the records which square is under the pointer; running
// them on a click is InputGLTest's.
struct Recorder : Core::CallBackPicking
{
    void execute() override {}
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

struct PickingGLTest : RenderGLTest
{
    void SetUp() override
    {
        RenderGLTest::SetUp();
        render->getCallBacksPicking() = {&recorder};
    }

    unsigned int nameOf(unsigned int x, unsigned int y) const { return scene.at(x, y)->getPickingName(); }

    Recorder recorder;
};
} // namespace

// The set-up's lines are LogGLTest's.
TEST_F(RenderGLTest, TheFrameAppliesTheDefaultLight)
{
    // The engine's spot narrows to 60 degrees (OpenGL's own is 180). Its
    // exponent of 1024 is out of OpenGL's range: the error it raises is cleared.
    render->renderFrame();
    GLfloat cutOff = 0;
    glGetLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, &cutOff);
    EXPECT_FLOAT_EQ(cutOff, 60.0f);
    while (glGetError() != GL_NO_ERROR)
    {
    }
}

TEST_F(RenderGLTest, SceneTurnsOneDegreePerFrameAndStopsOnTheOrientation)
{
    scene.board->setOrientation(90.0f);
    render->loop();
    EXPECT_FLOAT_EQ(rot, 1.0f);
    for (int i = 1; i < 90; ++i)
        render->loop();
    EXPECT_EQ(rot, 90.0f);
    render->loop();
    EXPECT_EQ(rot, 90.0f);
    scene.board->setOrientation(90.5f);
    render->loop();
    EXPECT_EQ(rot, 90.5f);
}

TEST_F(RenderGLTest, TitleShowsTheFrameRateOnceASecond)
{
    const std::regex fps("Board - [0-9]+ FPS");
    auto start = std::chrono::steady_clock::now();
    std::string title;
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(30))
    {
        render->loop();
        title = TabulaTest::windowTitle();
        if (std::regex_match(title, fps))
            break;
    }
    EXPECT_TRUE(std::regex_match(title, fps)) << title;
}

TEST_F(RenderGLTest, AxesAreUnitLinesInRedGreenBlue)
{
    glDisable(GL_LIGHTING);
    const auto capture = TabulaTest::captureFeedback([&] { render->drawAxis(); }, 0.5);
    glEnable(GL_LIGHTING);
    ASSERT_EQ(capture.lines.size(), 3u);
    for (int axis = 0; axis < 3; ++axis)
    {
        const TabulaTest::FedVertex& from = capture.lines[axis][0];
        const TabulaTest::FedVertex& to = capture.lines[axis][1];
        const double end[3] = {to.x, to.y, to.z};
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_NEAR(end[i], i == axis ? 1.0 : 0.0, 1e-3) << axis;
            EXPECT_FLOAT_EQ(to.color[i], i == axis ? 1.0f : 0.0f) << axis;
        }
        EXPECT_NEAR(std::fabs(from.x) + std::fabs(from.y) + std::fabs(from.z), 0.0, 1e-3) << axis;
    }
}

TEST_F(RenderGLTest, FrameRecordsRunInOrderBeforeDrawingWithTheWallClockDelta)
{
    std::vector<std::string> log;
    FrameRecorder first(log, "first", *scene.board), second(log, "second", *scene.board);
    render->getCallBacksFrame() = {&first, &second};
    scene.addPiece(1, 1, Vec4<double>(0, 0, 1, 1));
    Core::MoveAnimation::Style slow;
    slow.m_LegSeconds = 1000.0;
    ASSERT_TRUE(scene.board->animateObject(scene.at(1, 1)->getObjects()[0], {scene.at(1, 1), scene.at(2, 2)}, slow));

    const double pause = 0.05;
    for (int frame = 0; frame < 3; ++frame)
    {
        std::this_thread::sleep_for(std::chrono::duration<double>(pause));
        render->renderFrame();
    }
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "first", "second", "first", "second"}));
    // Both records of a frame see one delta; the board's animations moved on
    // by exactly that delta before the records ran.
    EXPECT_EQ(first.m_Deltas, second.m_Deltas);
    double sum = 0.0;
    for (std::size_t frame = 0; frame < first.m_Deltas.size(); ++frame)
    {
        sum += first.m_Deltas[frame];
        EXPECT_DOUBLE_EQ(first.m_Elapsed[frame], sum) << frame;
        if (frame > 0)
        {
            EXPECT_GE(first.m_Deltas[frame], pause) << frame;
        }
    }
}

TEST_F(RenderGLTest, FunctionHandlersRunAmongTheRecordsInRegistrationOrderUntilRemoved)
{
    std::vector<std::string> log;
    // One record that is both a frame and a picking record.
    struct Record : Core::CallBackFrame, Core::CallBackPicking
    {
        explicit Record(std::vector<std::string>& log) : m_Log(log) {}
        void execute() override { m_Log.push_back("record"); }
        std::vector<std::string>& m_Log;
    } record(log);
    Core::Square* const clicked = scene.at(2, 3);
    struct Event
    {
        const char* name;
        std::function<Core::CallBackHandle(const std::string& name)> add;
        std::function<void()> addRecord;
        std::function<void()> fire;
    };
    const Event events[] = {
        {"frame",
         [&](const std::string& name)
         { return render->onFrame([&log, name](double seconds) { log.push_back(seconds >= 0 ? name : "?"); }); },
         [&] { render->getCallBacksFrame().push_back(&record); }, [&] { render->renderFrame(); }},
        {"click",
         [&](const std::string& name)
         {
             return render->onClick([&log, name, clicked](Core::Square* square)
                                    { log.push_back(square == clicked ? name : "?"); });
         },
         [&] { render->getCallBacksPicking().push_back(&record); },
         [&]
         {
             const Render::WindowPoint p = render->getWindowPoint(clicked);
             TabulaTest::pickAt(p.m_X, p.m_Y);
             render->updatePicking();
         }},
    };
    render->renderFrame();
    for (const Event& event : events)
    {
        log.clear();
        Core::CallBackHandle first = event.add("first");
        event.addRecord();
        Core::CallBackHandle last = event.add("last");
        event.fire();
        EXPECT_EQ(log, (std::vector<std::string>{"first", "record", "last"})) << event.name;

        log.clear();
        EXPECT_TRUE(first.isActive());
        first.remove();
        first.remove();
        EXPECT_FALSE(first.isActive());
        event.fire();
        EXPECT_EQ(log, (std::vector<std::string>{"record", "last"})) << event.name;
        last.remove();
        event.fire();
        event.fire();
        EXPECT_EQ(log, (std::vector<std::string>{"record", "last", "record", "record"})) << event.name;
    }
    // Removed handlers leave the lists at the next frame.
    render->renderFrame();
    EXPECT_EQ(render->getCallBacksFrame(), (std::vector<Core::CallBackFrame*>{&record}));
    EXPECT_EQ(render->getCallBacksPicking(), (std::vector<Core::CallBackPicking*>{&record}));
}

// Framed, every square's centre and every piece's top is in the window, for
// small and large boards, square or not, in a wide and a tall window, from
// any side; and the board fills most of the window one way. (GLUT's reshape
// callback is the test window's; the engine's part is what reshape does with
// the new size.)
TEST_F(RenderGLTest, FramingShowsTheWholeBoardWhateverItsSizeAndTheWindowsShape)
{
    struct Shape
    {
        int width, height;
    };
    for (Shape window : {Shape{1000, 300}, Shape{400, 720}})
        for (auto [columns, rows] : {std::pair(2u, 2u), std::pair(8u, 8u), std::pair(19u, 19u), std::pair(12u, 3u)})
            for (auto [yaw, pitch] : {std::pair(0.0, 0.8), std::pair(2.0, 0.4), std::pair(-0.5, 1.5)})
            {
                const std::string name = std::to_string(columns) + "x" + std::to_string(rows) + " in " +
                                         std::to_string(window.width) + "x" + std::to_string(window.height) +
                                         " from " + std::to_string(yaw) + ", " + std::to_string(pitch);
                TestBoard board(columns, rows);
                const Core::Object* corner = board.addPiece(columns - 1, rows - 1, Vec4<double>(0, 0, 1, 1));
                render->setParams("Board", Vec3<double>(1, 1, 1), board.board);
                render->reshape(window.width, window.height);
                render->frameBoard(yaw, pitch, 0.05);
                render->renderFrame();
                TabulaTest::Bounds seen;
                for (const Core::Square* square : board.squares)
                {
                    const Render::WindowPoint p = render->getWindowPoint(square);
                    EXPECT_TRUE(p.m_InView) << name << ": " << p.m_X << ", " << p.m_Y;
                    for (const Vec2<unsigned int>& c : square->getCoords().m_Corners)
                    {
                        const Render::WindowPoint corner = render->getWindowPoint(Vec3<double>(c.x(), 0, -1.0 * c.y()));
                        seen.add(corner.m_X, corner.m_Y, 0);
                    }
                }
                const Vec3<double> spot = corner->getParentSquare()->getSpot(*corner);
                EXPECT_TRUE(render->getWindowPoint(spot + Vec3<double>(0, corner->getHeight(), 0)).m_InView) << name;
                // A 2x2 board seen low stays short of the window: the camera
                // keeps clear of the near plane.
                if (columns > 2)
                {
                    EXPECT_GT(std::max((seen.hi[0] - seen.lo[0]) / window.width,
                                       (seen.hi[1] - seen.lo[1]) / window.height),
                              0.7)
                        << name;
                }
            }
    // The last window's size is the viewport's and the camera's aspect; a
    // window folded to height 0 keeps the last aspect ratio.
    EXPECT_EQ(render->getSize(), Vec2<unsigned int>(400, 720));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{0, 0, 400, 720}));
    EXPECT_DOUBLE_EQ(render->getCamera()->getAspectRatio(), 400.0 / 720.0);
    render->reshape(800, 0);
    EXPECT_DOUBLE_EQ(render->getCamera()->getAspectRatio(), 400.0 / 720.0);
    render->reshape(1024, 728);
}

// A timed view is reached frame by frame along the moves' eased curve and
// ends exactly on the view; a camera moved meanwhile stays where it was put.
TEST_F(RenderGLTest, TheCameraMovesToAViewOverTimeAndEndsExactlyOnIt)
{
    Rendering::Camera* camera = render->getCamera();
    double elapsed = 0.0;
    Core::CallBackHandle clock = render->onFrame([&](double seconds) { elapsed += seconds; });
    render->renderFrame();
    const Vec3<double> from = camera->getPosition();
    Rendering::Camera expected;
    const Vec3<double> target(1, 0, -1);
    expected.lookAt(target, 2.5, 0.6, 12.0);
    elapsed = 0.0;
    render->lookAt(target, 2.5, 0.6, 12.0, 1.5);
    int underWay = 0;
    while (render->isCameraMoving() && underWay < 1000)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        render->renderFrame();
        if (!render->isCameraMoving())
            break;
        ++underWay;
        const double travelled = (camera->getPosition() - from).length() / (expected.getPosition() - from).length();
        EXPECT_NEAR(travelled, Core::MoveAnimation::ease(elapsed / 1.5), 1e-9) << elapsed;
    }
    EXPECT_GE(underWay, 2);
    EXPECT_GE(elapsed, 1.5);
    EXPECT_EQ(camera->getPosition(), expected.getPosition());
    const Quat<double>& q = camera->getOrientation();
    const Quat<double>& e = expected.getOrientation();
    EXPECT_EQ(std::vector<double>({q.x(), q.y(), q.z(), q.w()}), std::vector<double>({e.x(), e.y(), e.z(), e.w()}));
    EXPECT_EQ(camera->getTarget(), target);

    render->lookAt(Vec3<double>(), 0.0, 0.8, 10.0, 5.0);
    render->renderFrame();
    camera->translateX(1.0);
    camera->glPut();
    const Vec3<double> moved = camera->getPosition();
    render->renderFrame();
    EXPECT_FALSE(render->isCameraMoving());
    EXPECT_EQ(camera->getPosition(), moved);
    clock.remove();
}

// The focused square carries the mouse-over mark while the board is drawn
// for display, and only then; a finished move is announced by the names of
// the piece, its square and what it took; switched off, keys are left alone.
TEST_F(RenderGLTest, KeyboardPlayMarksTheFocusAndAnnouncesFinishedMoves)
{
    struct MarkProbe : Core::Object
    {
        MarkProbe() : Core::Object(ObjectAlignment(), "") {}
        void draw() const override
        {
            if (TabulaTest::glInteger(GL_RENDER_MODE) == GL_RENDER)
                marked.push_back(getParentSquare()->isMouseOver());
        }
        mutable std::vector<bool> marked;
    };
    auto* probe = new MarkProbe();
    scene.at(0, 0)->pushObject(probe);
    Core::Object* taken = scene.addPiece(1, 1, Vec4<double>(1, 0, 0, 1));
    Core::Meta<std::string> name("name", "Red stone");
    taken->addMeta(&name);
    std::vector<std::string> said;
    render->setAnnouncer([&](const std::string& text) { said.push_back(text); });
    render->setKeyboardPlay(true);
    EXPECT_FALSE(render->handleKeyboardPlay('\r', false));
    ASSERT_TRUE(render->handleKeyboardPlay(GLUT_KEY_UP, true));
    ASSERT_EQ(render->getFocusedSquare(), scene.at(0, 0));
    render->renderFrame();
    EXPECT_EQ(probe->marked, std::vector<bool>{true});
    EXPECT_FALSE(scene.at(0, 0)->isMouseOver());

    Core::MoveAnimation::Style style;
    ASSERT_TRUE(scene.board->animateObject(probe, {scene.at(0, 0), scene.at(2, 2)}, style, {taken}));
    scene.board->finishAnimations();
    EXPECT_EQ(said, (std::vector<std::string>{"a1, piece", "piece to c3, takes Red stone"}));

    render->setKeyboardPlay(false);
    EXPECT_EQ(render->getFocusedSquare(), nullptr);
    EXPECT_FALSE(render->handleKeyboardPlay(GLUT_KEY_UP, true));
    EXPECT_FALSE(render->handleKeyboardPlay(' ', false));
    ASSERT_TRUE(scene.board->animateObject(probe, {scene.at(2, 2), scene.at(0, 0)}, style));
    scene.board->finishAnimations();
    EXPECT_EQ(said.size(), 2u);
    render->setAnnouncer(nullptr);
}

// A model and a picture first asked for after the engine's set-up are
// compiled and uploaded as they load, so the next frame draws them.
TEST_F(RenderGLTest, AModelAndAPictureLoadedAfterTheFirstFrameAreDrawnInTheNext)
{
    render->renderFrame();
    const Render::WindowPoint point = render->getWindowPoint(scene.at(3, 4));
    const Pixel before = TabulaTest::readPixel(static_cast<int>(point.m_X), static_cast<int>(point.m_Y));

    TabulaTest::LogCapture quiet;
    auto* piece = new Core::Object(Core::Object::ObjectAlignment(), TabulaTest::dataPath("models/quad.obj"));
    piece->setColor(Vec4<double>(0, 0, 1, 1));
    scene.at(3, 4)->pushObject(piece);
    scene.at(5, 5)->setTexture(TabulaTest::dataPath("images/wood.png"));
    ASSERT_NE(piece->getMesh(), nullptr);
    render->renderFrame();
    const Render::WindowPoint drawn = render->getWindowPoint(piece);
    const Pixel after = TabulaTest::readPixel(static_cast<int>(drawn.m_X), static_cast<int>(drawn.m_Y));
    EXPECT_NE(after, before);
    EXPECT_GT(after[2], after[0]);
    EXPECT_TRUE(glIsTexture(scene.at(5, 5)->getTexture()->getImage()->getId()));
}

// The written picture's pixels are LookGLTest's reference comparison; the
// writer's one line naming the path is PNGWriterTest's.
TEST_F(RenderGLTest, ScreenshotRestoresThePackAlignmentAndFailsOnAnUnwritablePath)
{
    render->renderFrame();
    const std::string path = TabulaTest::buildPath("screenshot.png");
    TabulaTest::LogCapture log;
    // The caller's alignment, whatever an earlier read of the frame left.
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    EXPECT_TRUE(render->saveScreenshot(path));
    EXPECT_TRUE(log.lines().empty()) << log.out();
    EXPECT_FALSE(render->saveScreenshot(TabulaTest::buildPath("no-such-folder/shot.png")));
    EXPECT_EQ(TabulaTest::glInteger(GL_PACK_ALIGNMENT), 4);
    std::remove(path.c_str());
}

TEST_F(RenderGLTest, PickingAtTheWindowPointOfEverySquareAndPieceSelectsIt)
{
    struct View
    {
        double down, around, distance, turn, scale;
    };
    const View views[] = {
        {45.0, 0.0, 10.0, 0.0, 1.0},    {45.0, 0.0, 10.0, 180.0, 1.0}, {55.0, 10.0, 12.0, 90.0, 1.0},
        {50.0, -10.0, 12.0, 37.0, 1.0}, {50.0, 0.0, 12.0, 270.0, 0.8},
    };
    Core::Object* piece = scene.addPiece(5, 2, Vec4<double>(0, 0, 1, 1));
    for (const View& view : views)
    {
        placeCamera(view.down, view.around, view.distance);
        rot = static_cast<float>(view.turn);
        render->setParams("Board", Vec3<double>(view.scale, view.scale, view.scale), scene.board);
        render->renderFrame();
        int picked = 0;
        for (Core::Square* square : scene.squares)
        {
            const Render::WindowPoint p = render->getWindowPoint(square);
            EXPECT_TRUE(p.m_InView) << view.around << " " << view.turn << ": " << p.m_X << "," << p.m_Y;
            TabulaTest::pickAt(p.m_X, p.m_Y);
            picked += scene.board->getHighlightedSquare() == square;
        }
        EXPECT_EQ(picked, 64) << view.down << " " << view.around << " " << view.turn;
        // The piece on (5, 2) is drawn above its square's centre and picks it.
        scene.board->autoHighlight(nullptr);
        const Render::WindowPoint p = render->getWindowPoint(piece);
        EXPECT_TRUE(p.m_InView);
        TabulaTest::pickAt(p.m_X, p.m_Y);
        EXPECT_EQ(scene.board->getHighlightedSquare(), scene.at(5, 2)) << view.turn;
    }

    // The camera turned away from the board: nothing of it is in view.
    placeCamera(-30.0, 0.0, 10.0);
    render->renderFrame();
    EXPECT_FALSE(render->getWindowPoint(scene.at(0, 0)).m_InView);
    EXPECT_FALSE(render->getWindowPoint(static_cast<Core::Square*>(nullptr)).m_InView);
}

TEST_F(PickingGLTest, NearestHitWinsComparedUnsignedFirstOnTiesAndReachesTheRecordsWithoutAutoHighlight)
{
    // Equal depths: the first record wins.
    render->processHits(writeHits({hit(500, nameOf(1, 1)), hit(500, nameOf(2, 2))}));
    EXPECT_EQ(scene.board->getHighlightedSquare(), scene.at(1, 1));

    // 0x80000000 is nearer than 0x7fffffff only if compared signed.
    render->processHits(writeHits({hit(0x80000000u, nameOf(3, 3)), hit(0x7fffffffu, nameOf(4, 4))}));
    EXPECT_EQ(scene.board->getHighlightedSquare(), scene.at(4, 4));

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

    // A game that highlights squares itself still learns which one is picked.
    scene.board->setAutoHighlight(false);
    render->processHits(writeHits({hit(10, nameOf(1, 1))}));
    EXPECT_EQ(recorder.getPickedSquare(), scene.at(1, 1));
    EXPECT_EQ(scene.board->getHighlightedSquare(), nullptr);
}

TEST_F(PickingGLTest, OverflowUnknownNamesAndEmptyRecordsChangeNothing)
{
    render->processHits(writeHits({hit(10, nameOf(2, 3))}));
    ASSERT_EQ(recorder.getPickedSquare(), scene.at(2, 3));
    const auto expectUnchanged = [&](const char* what)
    {
        EXPECT_EQ(scene.board->getHighlightedSquare(), scene.at(2, 3)) << what;
        EXPECT_EQ(recorder.getPickedSquare(), scene.at(2, 3)) << what;
    };
    render->processHits(-1);
    expectUnchanged("overflow");
    render->processHits(writeHits({hit(1, 0xfffffff0u), hit(2, nameOf(5, 5))}));
    expectUnchanged("unregistered nearest name");
    // A record claiming more names than the buffer holds, first at the start,
    // then as the buffer's last three entries.
    render->processHits(writeHits({{0xffffffffu, 0, 0, nameOf(5, 5)}}));
    expectUnchanged("overlong record");
    std::vector<unsigned int> filler(3 + 506, 0xfffffff0u);
    filler[0] = 506;
    filler[1] = c_Far;
    render->processHits(writeHits({filler, {0xffffffffu, 0, 0}}));
    expectUnchanged("overlong last record");
    // More hits claimed than 128 single-name records that fill the buffer.
    const std::vector<unsigned int> record = hit(c_Far, 0xfffffff0u);
    for (unsigned int i = 0; i < 512; i += 4)
        std::copy(record.begin(), record.end(), Rendering::pickingBuf + i);
    render->processHits(1000);
    expectUnchanged("hit count past the buffer");
    {
        Cell cell;
        render->processHits(writeHits({hit(1, cell.getPickingName())}));
        expectUnchanged("drawable that is no piece under another tag");
    }
    // A record whose names end exactly at the buffer's end still counts.
    filler[0] = 505;
    filler.pop_back();
    render->processHits(writeHits({filler, hit(5, nameOf(4, 4))}));
    EXPECT_EQ(recorder.getPickedSquare(), scene.at(4, 4));
}

// Set up before the window exists, a light is enabled by the engine's set-up
// and lights the first frame. (Alone in its process, as ctest runs it.)
TEST(RenderLightGLTest, ALightSetUpBeforeTheWindowLightsTheFirstFrame)
{
    static Rendering::Light red;
    red.setDiffuseColor(Vec4<float>(1, 0, 0, 1));
    red.setPosition(Vec4<float>(0, 1, 0, 0));
    red.setId(5);
    Render* render = Render::instance();
    render->getLights().push_back(&red);
    TestBoard scene;
    render->setParams("Board", Vec3<double>(1, 1, 1), scene.board);
    TabulaTest::initEngine();
    EXPECT_TRUE(glIsEnabled(GL_LIGHT5));
    placeCamera(45.0, 0.0, 10.0);
    render->renderFrame();
    // A light grey square, lit red from above.
    const Pixel lit = TabulaTest::pixelAt(scene.squareCentre(4, 3));
    EXPECT_GT(lit[0], lit[1] + 40);
    render->getLights().pop_back();
    render->setParams("Board", Vec3<double>(1, 1, 1), nullptr);
}

// Before any frame there is no picture: no file, one line saying so.
TEST(RenderShotGLTest, AScreenshotBeforeAnyFrameFailsWithALine)
{
    const std::string path = TabulaTest::buildPath("early.png");
    std::remove(path.c_str());
    TabulaTest::LogCapture log;
    const bool saved = Render::instance()->saveScreenshot(path);
    std::ifstream written(path);
    std::remove(path.c_str());
    if (log.lines().empty() && saved)
        GTEST_SKIP() << "a frame was drawn earlier in this process";
    EXPECT_FALSE(saved);
    EXPECT_EQ(log.out(), "No frame drawn yet: no screenshot written to \"" + path + "\"\n");
    EXPECT_FALSE(written.good());
}
