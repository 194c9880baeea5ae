// What a game needs from the frame: a hook run before drawing, a screenshot
// of the picture, and where its squares and pieces are in the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include <GL/gl.h>

#include <Core/CallBackFrame.h>
#include <Core/CallBackPicking.h>
#include <Rendering/Camera.h>
#include <Rendering/Image.h>
#include <Rendering/Render.h>

#include "support/GLTestWindow.h"
#include "support/TestBoard.h"
#include "support/TestPaths.h"

using Rendering::Render;
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

struct RenderFrameGLTest : ::testing::Test
{
    void SetUp() override
    {
        TabulaTest::initEngine();
        rot = 0.0f;
        placeCamera(45.0, 0.0, 10.0);
        scene.board->setAutoHighlight(true);
        render->setParams("Frame", Vec3<double>(1, 1, 1), scene.board);
    }
    void TearDown() override
    {
        render->getCallBacksFrame().clear();
        render->getCallBacksPicking().clear();
        render->setParams("Frame", Vec3<double>(1, 1, 1), nullptr);
    }

    Render* render = Render::instance();
    TestBoard scene;
};
} // namespace

TEST_F(RenderFrameGLTest, FrameRecordsRunInOrderBeforeDrawingWithTheWallClockDelta)
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

TEST_F(RenderFrameGLTest, ScreenshotHoldsTheFramesPixelsAndFailsOnAnUnwritablePath)
{
    scene.addPiece(2, 5, Vec4<double>(0.1, 0.2, 1.0, 1.0));
    render->renderFrame();
    const Vec2<unsigned int> size = render->getSize();
    std::vector<unsigned char> expected(size.x() * size.y() * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, size.x(), size.y(), GL_RGB, GL_UNSIGNED_BYTE, expected.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);

    const std::string path = TabulaTest::buildPath("screenshot.png");
    testing::internal::CaptureStdout();
    ASSERT_TRUE(render->saveScreenshot(path));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    GLint alignment = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);

    // Tabula's reader stores rows bottom-up, as glReadPixels returns them.
    testing::internal::CaptureStdout();
    Rendering::Image image(path);
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(image.isLoaded());
    ASSERT_EQ(image.getWidth(), static_cast<int>(size.x()));
    ASSERT_EQ(image.getHeight(), static_cast<int>(size.y()));
    ASSERT_EQ(image.getFormat(), static_cast<unsigned int>(GL_RGB));
    const unsigned char* data = image.getData();
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), data));
    std::remove(path.c_str());

    testing::internal::CaptureStdout();
    EXPECT_FALSE(render->saveScreenshot(TabulaTest::buildPath("no-such-folder/shot.png")));
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    EXPECT_NE(output.find("no-such-folder/shot.png"), std::string::npos) << output;
}

TEST_F(RenderFrameGLTest, PickingAtTheWindowPointOfEverySquareAndPieceSelectsIt)
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
        render->setParams("Frame", Vec3<double>(view.scale, view.scale, view.scale), scene.board);
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
