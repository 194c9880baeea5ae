// End to end: the PickingGame test program runs the engine in a real window on
// this test's X display, and the test drives it with real pointer and key
// events through xdotool, reading what the game reports on its output.

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include <Math/Quat.h>
#include <Rendering/Camera.h>

#include "support/GLTestWindow.h"
#include "support/GameProcess.h"
#include "support/TestPaths.h"

namespace
{
using TabulaTest::GameProcess;

struct Pose
{
    Vec3<double> position;
    Quat<double> orientation;
};

Pose parsePose(const std::string& line)
{
    std::istringstream in(line.substr(std::string("camera").size()));
    Pose pose;
    in >> pose.position.x() >> pose.position.y() >> pose.position.z() >> pose.orientation.x() >> pose.orientation.y() >>
        pose.orientation.z() >> pose.orientation.w();
    return pose;
}

// Turn about the world vertical that takes `from` to `to`, in radians.
double yawBetween(const Pose& from, const Pose& to)
{
    Quat<double> turn = to.orientation * from.orientation.conjuguate();
    return 2.0 * std::atan2(turn.y(), turn.w());
}

struct InputGLTest : ::testing::Test
{
    explicit InputGLTest(const std::vector<std::string>& arguments = {})
        : game(TabulaTest::buildPath("PickingGame"), arguments)
    {
    }

    void SetUp() override
    {
        ASSERT_TRUE(game.started());
        const std::string ready = game.waitFor("ready ");
        ASSERT_FALSE(ready.empty()) << "the game drew no frame";
        std::istringstream size(ready.substr(6));
        size >> width >> height;
        start = parsePose(game.waitFor("camera "));
        ASSERT_TRUE(game.findWindow("^Tabula Picking"));

        // The engine's start-up view, rebuilt here without a window.
        camera.setAspectRatio(static_cast<double>(width) / height);
        TabulaTest::resetCamera(camera);

        // Start from empty space, wherever an earlier test left the pointer.
        moveTo(5, 5);
        settle();
    }

    // Moves the pointer to where the start-up camera shows a world point.
    void pointAt(const Vec3<double>& world)
    {
        const TabulaTest::WindowPoint p =
            TabulaTest::projectThrough(camera, width, height, world.x(), world.y(), world.z());
        moveTo(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
    }
    void moveTo(int x, int y) { game.moveTo(x, y); }
    static void xdo(const std::string& arguments) { GameProcess::xdotool(arguments); }

    // Middle of square (x, y) of the 8x8 board, on its top face.
    static Vec3<double> centre(double x, double y) { return Vec3<double>(x + 0.5 - 4.0, 0.001, 4.0 - (y + 0.5)); }

    // Sends a key the game does not use and returns every line up to the
    // first frame drawn after it, so all earlier events have been handled.
    std::vector<std::string> settle()
    {
        xdo("key f");
        return game.waitUntil("frame");
    }

    static constexpr auto only = &GameProcess::only;

    GameProcess game;
    unsigned int width = 0;
    unsigned int height = 0;
    Pose start;
    Rendering::Camera camera;
};
} // namespace

TEST_F(InputGLTest, ThePointerHighlightsAndAClickRunsEveryHandlerOnceAndAPressAloneNone)
{
    pointAt(centre(3, 3));
    ASSERT_EQ(game.waitFor("highlight "), "highlight 3 3");
    // Empty space beside the board: frames pick nothing and the square stays.
    pointAt(Vec3<double>(6.0, 0.0, 0.0));
    EXPECT_EQ(only(settle(), "highlight"), std::vector<std::string>{});
    pointAt(centre(3, 3));

    xdo("mousedown 1");
    EXPECT_EQ(only(settle(), "click"), std::vector<std::string>{});
    xdo("mouseup 1");
    const std::vector<std::string> clicked{"click A 3 3", "click B 3 3"};
    EXPECT_EQ(only(settle(), "click"), clicked);
    xdo("click 1");
    EXPECT_EQ(only(settle(), "click"), clicked);

    // Over the slab's face nothing is highlighted, so a click reaches nobody.
    pointAt(Vec3<double>(0.0, -0.125, 4.0));
    ASSERT_EQ(game.waitFor("highlight "), "highlight none");
    xdo("click 1");
    EXPECT_EQ(only(settle(), "click"), std::vector<std::string>{});
}

// Frames pick where the pointer last moved with no button held: a release
// elsewhere is picked at the release point first, so the click reports the
// square under the pointer.
TEST_F(InputGLTest, AReleaseAfterAnUnpickedMoveClicksTheSquareUnderTheReleasePoint)
{
    pointAt(centre(2, 2));
    ASSERT_EQ(game.waitFor("highlight "), "highlight 2 2");
    xdo("mousedown 1");
    pointAt(centre(6, 5));
    settle();
    xdo("mouseup 1");
    EXPECT_EQ(only(settle(), "click"), (std::vector<std::string>{"click A 6 5", "click B 6 5"}));
}

TEST_F(InputGLTest, KeysMoveOrTurnTheCameraOtherKeysReachTheGameAndEscapeEndsIt)
{
    // Vertical synchronisation switches are harmless even where the display
    // lacks the extension (Xvfb): the game keeps running and sees no key.
    xdo("key asterisk slash l p");
    const std::vector<std::string> lines = settle();
    ASSERT_EQ(only(lines, "key").size(), 1u);
    EXPECT_EQ(only(lines, "key")[0].substr(0, 8), "key 102 ");
    EXPECT_EQ(only(lines, "camera"), std::vector<std::string>{});

    // The free camera moves one unit sideways.
    xdo("key d");
    const Pose moved = parsePose(game.waitFor("camera "));
    EXPECT_NEAR(moved.position.x(), 1.0, 1e-6);
    EXPECT_NEAR(moved.position.z(), 10.0, 1e-6);
    EXPECT_NEAR(yawBetween(start, moved), 0.0, 1e-6);
    settle();

    // Orbiting at distance 10, d turns the camera about the vertical on its
    // orbit; minus puts it back above the front edge.
    xdo("key plus d");
    std::vector<std::string> cameras = only(settle(), "camera ");
    ASSERT_FALSE(cameras.empty());
    Pose pose = parsePose(cameras.back());
    EXPECT_NEAR(yawBetween(start, pose), -0.39269875, 1e-6);
    EXPECT_NEAR(pose.position.length(), 10.0, 1e-6);
    EXPECT_NEAR(pose.position.y(), 7.0711, 1e-4);
    EXPECT_LT(pose.position.x(), -2.0);

    xdo("key minus");
    cameras = only(settle(), "camera ");
    ASSERT_FALSE(cameras.empty());
    pose = parsePose(cameras.back());
    EXPECT_NEAR(pose.position.x(), 0.0, 1e-6);
    EXPECT_NEAR(pose.position.y(), 7.0711, 1e-4);
    EXPECT_NEAR(pose.position.z(), 7.0711, 1e-4);

    // Other keys reach the game with the pointer's window position; Escape
    // ends the process with status 0.
    moveTo(300, 200);
    xdo("key A");
    EXPECT_EQ(game.waitFor("key "), "key 65 300 200");
    xdo("key Escape");
    EXPECT_EQ(game.waitExit(), 0);
}

TEST_F(InputGLTest, ARightDragAcrossHalfTheWidthTurnsHalfATurn)
{
    // The first motion after the press only records where the drag starts;
    // from there each pixel across is 6.28318 / width radians.
    const int row = static_cast<int>(height / 2);
    moveTo(50, row);
    xdo("mousedown 3");
    moveTo(100, row);
    for (int x = 164; x <= 356; x += 64)
        moveTo(x, row);
    xdo("mouseup 3");
    std::vector<std::string> cameras = only(settle(), "camera ");
    ASSERT_FALSE(cameras.empty());
    EXPECT_NEAR(yawBetween(start, parsePose(cameras.back())), -3.14159 / 2.0, 1e-4);

    // The window keeps the pointer while the button is held: a second drag
    // goes on along a row just above the window.
    xdo("mousedown 3");
    moveTo(356, -2);
    for (int x = 420; x <= 612; x += 64)
        moveTo(x, -2);
    xdo("mouseup 3");
    cameras = only(settle(), "camera ");
    ASSERT_FALSE(cameras.empty());
    const Pose pose = parsePose(cameras.back());
    EXPECT_NEAR(yawBetween(start, pose), -3.14159, 1e-4);
    EXPECT_NEAR(pose.position.y(), 10.0, 1e-9);
}

namespace
{
// The same game with keyboard play on.
struct KeyboardPlayInputGLTest : InputGLTest
{
    KeyboardPlayInputGLTest() : InputGLTest({"keyboard"}) {}
};
} // namespace

// The first arrow focuses the board's first square; each arrow then moves
// the focus one square in the grid and says what is there, nothing past the
// edge; Enter and space click the focused square for records and functions
// alike, in registration order; other keys still reach the game.
TEST_F(KeyboardPlayInputGLTest, ArrowsMoveTheFocusEnterClicksItAndEachStepIsAnnounced)
{
    GameProcess::xdotool("key Right");
    EXPECT_EQ(game.waitFor("say "), "say a1, empty");
    GameProcess::xdotool("key Right");
    EXPECT_EQ(game.waitFor("say "), "say b1, White man");
    GameProcess::xdotool("key Down Up Up Right Left");
    for (const char* said : {"say b2, empty", "say b3, empty", "say c3, empty", "say b3, empty"})
        EXPECT_EQ(game.waitFor("say "), said);
    GameProcess::xdotool("key Return");
    for (const char* line : {"click A 1 2", "click B 1 2", "click C 1 2"})
        EXPECT_EQ(game.waitFor("click "), line);
    GameProcess::xdotool("key Down space");
    EXPECT_EQ(game.waitFor("say "), "say b2, empty");
    for (const char* line : {"click A 1 1", "click B 1 1", "click C 1 1"})
        EXPECT_EQ(game.waitFor("click "), line);
    GameProcess::xdotool("key f");
    EXPECT_EQ(game.waitFor("key ").substr(0, 7), "key 102");
    const std::vector<std::string> lines = game.waitUntil("frame");
    EXPECT_EQ(GameProcess::only(lines, "say"), std::vector<std::string>{});
    EXPECT_EQ(GameProcess::only(lines, "click"), std::vector<std::string>{});
}
