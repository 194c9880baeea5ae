#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <thread>
#include <vector>

#include <GL/freeglut.h>

#include <Rendering/Camera.h>
#include <Rendering/HUDText.h>
#include <Rendering/Render.h>

#include "support/Feedback.h"
#include "support/GLTestWindow.h"
#include "support/TestBoard.h"

using Rendering::Render;
using TabulaTest::TestBoard;

namespace
{
using Pixel = std::array<unsigned char, 4>;

Pixel pixelAt(const Vec3<double>& world)
{
    TabulaTest::WindowPoint p = TabulaTest::projectToWindow(world.x(), world.y(), world.z());
    return TabulaTest::readPixel(static_cast<int>(p.x), static_cast<int>(p.y));
}

bool isBackground(const Pixel& p)
{
    return p[0] == p[1] && p[1] == p[2] && p[0] >= 24 && p[0] <= 27;
}

struct RenderGLTest : ::testing::Test
{
    void SetUp() override
    {
        TabulaTest::initEngine();
        rot = 0.0f;
        render->getHUDs().clear();
        render->setParams("Board", Vec3<double>(1, 1, 1), scene.board);
    }
    void TearDown() override
    {
        render->getHUDs().clear();
        render->setParams("Board", Vec3<double>(1, 1, 1), nullptr);
    }

    Render* render = Render::instance();
    TestBoard scene;
};
} // namespace

TEST_F(RenderGLTest, SetUpPrintsItsTwoLinesAndTheFirstFrameAppliesTheDefaultLight)
{
    EXPECT_EQ(TabulaTest::engineSetupOutput(), "Initializing OpenGL :  OK\nInitializing GLEW & Shader :  OK\n");
    // The default light's exponent of 1024 is out of OpenGL's range, so
    // OpenGL keeps 0; its cut-off of 60 degrees is taken.
    render->renderFrame();
    ASSERT_EQ(render->getLights().size(), 1u);
    GLfloat value = 0;
    glGetLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, &value);
    EXPECT_FLOAT_EQ(value, 60.0f);
    glGetLightfv(GL_LIGHT0, GL_SPOT_EXPONENT, &value);
    EXPECT_FLOAT_EQ(value, 0.0f);
    while (glGetError() != GL_NO_ERROR)
    {
    }
}

TEST_F(RenderGLTest, TheBoardSquaresAndPiecesAppearWhereTheCameraPutsThem)
{
    scene.addPiece(2, 5, Vec4<double>(0.1, 0.2, 1.0, 1.0));
    render->renderFrame();

    // A red square's middle, a grey one's, and the blue sphere on (2, 5).
    Pixel red = pixelAt(scene.squareCentre(0, 0));
    EXPECT_GT(red[0], red[1] + 20);
    Pixel grey = pixelAt(scene.squareCentre(1, 0));
    EXPECT_NEAR(grey[0], grey[1], 4);
    EXPECT_GT(grey[0], 40);
    Vec3<double> sphere = scene.squareCentre(2, 5);
    sphere.y() = 0.076;
    Pixel blue = pixelAt(sphere);
    EXPECT_GT(blue[2], blue[0] + 20) << int(blue[0]) << "," << int(blue[1]) << "," << int(blue[2]);
    // The slab's front face below the first row, and empty space around.
    Pixel front = pixelAt(Vec3<double>(0.0, -0.2, 4.0));
    EXPECT_FALSE(isBackground(front));
    EXPECT_TRUE(isBackground(TabulaTest::readPixel(5, 720)));
    EXPECT_TRUE(isBackground(pixelAt(Vec3<double>(6.0, 0.0, 0.0))));
    EXPECT_TRUE(isBackground(pixelAt(Vec3<double>(0.0, 0.0, -6.0))));
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

TEST_F(RenderGLTest, ResizeSetsViewportSizeAndAspect)
{
    glutReshapeWindow(800, 600);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (render->getSize() != Vec2<unsigned int>(800, 600) && std::chrono::steady_clock::now() < deadline)
    {
        TabulaTest::pumpEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(render->getSize(), Vec2<unsigned int>(800, 600));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{0, 0, 800, 600}));
    EXPECT_DOUBLE_EQ(render->getCamera()->getAspectRatio(), 800.0 / 600.0);

    // A window folded to height 0 keeps the last aspect ratio.
    render->reshape(800, 0);
    EXPECT_DOUBLE_EQ(render->getCamera()->getAspectRatio(), 800.0 / 600.0);
    render->reshape(1024, 728);
    glutReshapeWindow(1024, 728);
    TabulaTest::pumpEvents();
}

TEST_F(RenderGLTest, HUDTextIsDrawnNearTheTopLeftAndRestoresState)
{
    Rendering::HUDText text;
    text.setText("HUD HUD HUD");
    text.setColor(Vec3<double>(1, 1, 0));
    render->getHUDs().push_back(nullptr);
    render->getHUDs().push_back(&text);

    auto topRow = [&](int maxY)
    {
        render->renderFrame();
        for (int y = 0; y < maxY; ++y)
            for (int x = 0; x < 120; ++x)
            {
                Pixel p = TabulaTest::readPixel(x, y);
                if (p[0] > 200 && p[1] > 200 && p[2] < 80)
                    return y;
            }
        return -1;
    };
    const int top = topRow(40);
    ASSERT_GE(top, 0);
    for (GLenum cap : {GL_TEXTURE_2D, GL_LIGHTING, GL_DEPTH_TEST})
        EXPECT_TRUE(glIsEnabled(cap)) << cap;

    text.setPosition(0, -10);
    const int lower = topRow(200);
    EXPECT_NEAR(lower - top, 88, 4);

    text.setPosition(0, 1);
    EXPECT_EQ(topRow(200), -1);
    text.setText("");
    EXPECT_EQ(topRow(200), -1);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
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
