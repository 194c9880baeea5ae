// The engine's Look: each switch read back from the pixels of a real frame,
// against the same frame with the switch off; and the default Look drawing
// the picture the engine drew before there were switches.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <GL/gl.h>

#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/Camera.h>
#include <Rendering/HUDText.h>
#include <Rendering/Image.h>
#include <Rendering/Light.h>
#include <Rendering/Look.h>
#include <Rendering/Mesh.h>
#include <Rendering/Render.h>

#include "support/GLTestWindow.h"
#include "support/GameProcess.h"
#include "support/LogCapture.h"
#include "support/TestBoard.h"
#include "support/TestPaths.h"

using Rendering::Look;
using TabulaTest::difference;
using TabulaTest::modelPiece;
using TabulaTest::Pixel;

namespace
{
Look only(bool Look::*flag)
{
    Look look;
    look.*flag = true;
    return look;
}

// A box `size` wide (`x` by `size` by `z` when given) centred on its origin,
// with a normal per face, written as OBJ under the build folder.
std::string writeBox(const std::string& name, double size, double x = 0, double z = 0)
{
    const std::string path = TabulaTest::buildPath(name);
    std::ofstream out(path);
    const double h = size / 2, hx = x > 0 ? x / 2 : h, hz = z > 0 ? z / 2 : h;
    for (int i = 0; i < 8; ++i)
        out << "v " << (i & 1 ? hx : -hx) << ' ' << (i & 2 ? h : -h) << ' ' << (i & 4 ? hz : -hz) << '\n';
    out << "vn 1 0 0\nvn -1 0 0\nvn 0 1 0\nvn 0 -1 0\nvn 0 0 1\nvn 0 0 -1\n";
    out << "f 2//1 4//1 8//1 6//1\nf 1//2 5//2 7//2 3//2\nf 3//3 7//3 8//3 4//3\n"
           "f 1//4 2//4 6//4 5//4\nf 5//5 6//5 8//5 7//5\nf 1//6 3//6 4//6 2//6\n";
    return path;
}

struct LookGLTest : TabulaTest::BoardSceneGLTest
{
    void SetUp() override
    {
        BoardSceneGLTest::SetUp();
        scene.setCheckerColors(Vec4<double>(0.3, 0.2, 0.1, 1), Vec4<double>(0.9, 0.85, 0.7, 1));
    }

    // Two frames, so that whatever the first leaves in OpenGL's state is
    // what the second meets, as in a running game.
    void frame(const Look& look)
    {
        render->setLook(look);
        render->renderFrame();
        render->renderFrame();
    }
    Pixel frameAt(const Look& look, const Vec3<double>& world)
    {
        frame(look);
        return TabulaTest::pixelAt(world);
    }
};

TEST_F(LookGLTest, DefaultLookDrawsTheSamePictureAsBefore)
{
    // Coloured and textured squares with every mark, coloured pieces of both
    // kinds, a scaled model, a textured slab and a HUD line: the picture the
    // engine drew before Look existed (tests/data/look/default.png), except
    // that the textures, set after the set-up, are now uploaded and drawn.
    scene.board->setTexture(TabulaTest::dataPath("images/wood.png"));
    scene.at(2, 2)->setTexture(TabulaTest::dataPath("images/wood.png"));
    scene.at(2, 2)->highlightSelected(true);
    scene.at(3, 3)->highlightMouseOver(true);
    scene.at(4, 4)->highlightAuthorized(true);
    scene.addPiece(1, 1, Vec4<double>(1, 1, 1, 1));
    scene.addPiece(6, 6, Vec4<double>(0.1, 0.1, 0.8, 1));
    Core::Object* box = modelPiece(writeBox("look-box.obj", 40));
    box->setScale(0.01);
    box->setColor(Vec4<double>(0.9, 0.3, 0.1, 1));
    scene.at(5, 2)->pushObject(box);
    Rendering::HUDText text;
    text.setText("default look");
    text.setPosition(1, -2);
    render->getHUDs().push_back(&text);
    // Never set: the engine's Look as a game that knows nothing of it finds it.
    render->renderFrame();
    render->renderFrame();
    // The head-up text leaves the scene's state as it found it.
    for (GLenum cap : {GL_TEXTURE_2D, GL_LIGHTING, GL_DEPTH_TEST})
        EXPECT_TRUE(glIsEnabled(cap)) << cap;
    const std::string shot = TabulaTest::buildPath("look-default.png");
    ASSERT_TRUE(render->saveScreenshot(shot));
    TabulaTest::LogCapture quiet;
    const Rendering::Image reference(TabulaTest::dataPath("look/default.png"));
    const Rendering::Image drawn(shot);
    ASSERT_NE(reference.getData(), nullptr);
    ASSERT_EQ(drawn.getWidth(), reference.getWidth());
    ASSERT_EQ(drawn.getHeight(), reference.getHeight());
    EXPECT_LE(TabulaTest::largestDifference(TabulaTest::bytesOf(drawn), TabulaTest::bytesOf(reference)), 1)
        << "compare " << shot;
}

TEST_F(LookGLTest, MarksShowOnLightAndDarkColouredSquaresOnlyWithTheSwitch)
{
    using Mark = void (Core::Square::*)(bool);
    struct Case
    {
        const char* name;
        Mark mark;
        int channel; // the mark's hue: green, red, blue
    };
    const Case cases[] = {{"mouse over", &Core::Square::highlightMouseOver, 1},
                          {"selected", &Core::Square::highlightSelected, 0},
                          {"authorized", &Core::Square::highlightAuthorized, 2}};
    Look lit = only(&Look::m_LightRig);
    Look marked = lit;
    marked.m_MarksOnAnySquare = true;
    for (unsigned int x : {3u, 4u}) // (3, 3) dark, (4, 3) light
        for (const Case& c : cases)
        {
            const Vec3<double> centre = scene.squareCentre(x, 3);
            const Pixel plain = frameAt(marked, centre);
            (scene.at(x, 3)->*c.mark)(true);
            const Pixel shown = frameAt(marked, centre);
            const Pixel hidden = frameAt(lit, centre);
            (scene.at(x, 3)->*c.mark)(false);
            // The mark's channel rises against the others.
            const auto lead = [&](const Pixel& p) { return 3 * int(p[c.channel]) - int(p[0]) - int(p[1]) - int(p[2]); };
            EXPECT_GE(lead(shown) - lead(plain), 90) << c.name << " on square " << x;
            EXPECT_GE(difference(shown, plain), 40) << c.name << " on square " << x;
            EXPECT_EQ(difference(hidden, plain), 0) << c.name << " on square " << x;
        }
}

TEST_F(LookGLTest, SlabTakesTheBoardsColourAfterAPieceOfAnother)
{
    scene.board->setColor(Vec4<double>(0.1, 0.2, 0.9, 1));
    scene.addPiece(0, 0, Vec4<double>(1, 0, 0, 1));
    // The middle of the slab's front face, which the default camera sees.
    const Vec3<double> front(0, -0.125, scene.height / 2.0);
    const Pixel trueColour = frameAt(only(&Look::m_TrueColors), front);
    EXPECT_GT(int(trueColour[2]), int(trueColour[0]) + 20);
    // Without the switch the slab shows the red piece's material.
    const Pixel leaked = frameAt(Look(), front);
    EXPECT_GT(int(leaked[0]), int(leaked[2]));
}

// A model's part colour (OBJ Kd, glTF base colour) shows only with true
// colours, and stays on its part: the uncoloured part drawn after it keeps
// the piece's green.
TEST_F(LookGLTest, TrueColoursShowAModelsPartColoursOnTheirPartOnly)
{
    const std::string path = TabulaTest::buildPath("look-parts.obj");
    std::ofstream(TabulaTest::buildPath("look-parts.mtl")) << "newmtl blue\nKd 0 0 1\nnewmtl plain\nKd 1 1 1\n";
    std::ofstream(path) << "mtllib look-parts.mtl\nvn 0 1 0\n"
                           "v -0.4 0 -0.4\nv -0.05 0 -0.4\nv -0.05 0 0.4\nv -0.4 0 0.4\n"
                           "v 0.05 0 -0.4\nv 0.4 0 -0.4\nv 0.4 0 0.4\nv 0.05 0 0.4\n"
                           "usemtl blue\nf 4//1 3//1 2//1 1//1\nusemtl plain\nf 8//1 7//1 6//1 5//1\n";
    Core::Object* piece = modelPiece(path);
    piece->setColor(Vec4<double>(0, 1, 0, 1));
    scene.at(3, 3)->pushObject(piece);
    const Vec3<double> c = scene.squareCentre(3, 3);
    const Vec3<double> left(c.x() - 0.2, 0.02, c.z()), right(c.x() + 0.2, 0.02, c.z());
    const Pixel blue = frameAt(only(&Look::m_TrueColors), left);
    const Pixel green = TabulaTest::pixelAt(right);
    EXPECT_GT(int(blue[2]), int(blue[1]) + 40);
    EXPECT_GT(int(green[1]), int(green[2]) + 40);
    const Pixel unseen = frameAt(Look(), left);
    EXPECT_GT(int(unseen[1]), int(unseen[2]) + 40);
}

TEST_F(LookGLTest, PieceScaledDownFromAHugeModelIsLitAsTheModelAtItsSize)
{
    std::unique_ptr<Core::Object> unit(modelPiece(writeBox("look-unit.obj", 0.5)));
    std::unique_ptr<Core::Object> huge(modelPiece(writeBox("look-huge.obj", 50)));
    huge->setScale(0.01);
    const Look look = only(&Look::m_RescaleNormals);
    const Vec3<double> centre = scene.squareCentre(3, 3);
    const TabulaTest::WindowPoint middle = TabulaTest::projectToWindow(centre.x(), 0.25, centre.z());
    // Pixels over the box's top and front, unit model then the huge one.
    const auto pixels = [&](Core::Object* piece, const Look& drawnWith)
    {
        scene.at(3, 3)->pushObject(piece);
        frame(drawnWith);
        scene.at(3, 3)->popObject(piece);
        std::vector<Pixel> out;
        for (int dy = -15; dy <= 15; dy += 5)
            for (int dx = -15; dx <= 15; dx += 5)
                out.push_back(TabulaTest::readPixel(int(middle.x) + dx, int(middle.y) + dy));
        return out;
    };
    const std::vector<Pixel> expected = pixels(unit.get(), look);
    const std::vector<Pixel> scaled = pixels(huge.get(), look);
    const std::vector<Pixel> unnormalised = pixels(huge.get(), Look());
    int largest = 0, worst = 0;
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        largest = std::max(largest, difference(scaled[i], expected[i]));
        worst = std::max(worst, difference(unnormalised[i], expected[i]));
    }
    EXPECT_LE(largest, 3);
    EXPECT_GE(worst, 30);
}

TEST_F(LookGLTest, LightRigLightsAWhitePieceTopBrightSidesDarkerNothingSaturated)
{
    scene.addPiece(3, 3, Vec4<double>(1, 1, 1, 1));
    const Vec3<double> c = scene.squareCentre(3, 3);
    const Look look = only(&Look::m_LightRig);
    const Pixel top = frameAt(look, Vec3<double>(c.x(), 0.276, c.z()));
    const Pixel side = TabulaTest::pixelAt(Vec3<double>(c.x() + 0.17, 0.076, c.z() + 0.1));
    for (int channel = 0; channel < 3; ++channel)
    {
        EXPECT_GE(top[channel], 200) << channel;
        EXPECT_LE(top[channel], 245) << channel;
        EXPECT_LE(side[channel] + 30, top[channel]) << channel;
    }
    // A game's own light turns the rig off: the picture is the default Look's.
    Rendering::Light own;
    own.setId(1);
    own.setPosition(Vec4<float>(-4, 9, 6, 1));
    own.setDiffuseColor(Vec4<float>(0.9f, 0.2f, 0.2f, 1));
    render->getLights().push_back(&own);
    const Pixel withOwn = frameAt(Look(), Vec3<double>(c.x(), 0.276, c.z()));
    const Pixel rigOff = frameAt(look, Vec3<double>(c.x(), 0.276, c.z()));
    render->getLights().pop_back();
    EXPECT_EQ(difference(withOwn, rigOff), 0);
    EXPECT_GT(difference(withOwn, top), 10);

    frame(look);
    const TabulaTest::WindowPoint p = TabulaTest::projectToWindow(c.x(), 0.076, c.z());
    for (int dy = -25; dy <= 25; dy += 2)
        for (int dx = -25; dx <= 25; dx += 2)
        {
            const Pixel pixel = TabulaTest::readPixel(int(p.x) + dx, int(p.y) + dy);
            EXPECT_LT(*std::max_element(pixel.begin(), pixel.begin() + 3), 250) << dx << "," << dy;
        }
}

TEST_F(LookGLTest, ShadowsFallAwayFromTheKeyLightOnceWhereTheyOverlap)
{
    TabulaTest::resetCamera(*render->getCamera(), Vec3<double>(0, 10, 0), -1.5707963);
    // The key light (light 0 of the rig) as OpenGL holds it, in eye
    // coordinates, turned back into the world.
    frame(only(&Look::m_LightRig));
    GLfloat eye[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, eye);
    const Matrix<double>& view = render->getCamera()->getTransformationMatrix();
    double key[3];
    for (int i = 0; i < 3; ++i)
        key[i] = view[i * 4] * eye[0] + view[i * 4 + 1] * eye[1] + view[i * 4 + 2] * eye[2];
    const double across = std::hypot(key[0], key[2]);
    const double awayX = -key[0] / across, awayZ = -key[2] / across;
    Look shadowed = only(&Look::m_Shadows);
    for (unsigned int x : {3u, 4u})
        scene.addPiece(x, 3 + x % 2, Vec4<double>(1, 1, 1, 1));
    // A second piece on the first spot: the same shadow over again.
    scene.addPiece(3, 4, Vec4<double>(1, 1, 1, 1));
    for (unsigned int x : {3u, 4u})
    {
        const Vec3<double> c = scene.squareCentre(x, 3 + x % 2);
        const Vec3<double> away(c.x() + 0.25 * awayX, c.y(), c.z() + 0.25 * awayZ);
        const Vec3<double> towards(c.x() - 0.25 * awayX, c.y(), c.z() - 0.25 * awayZ);
        const Pixel awayLit = frameAt(Look(), away), towardsLit = frameAt(Look(), towards);
        const Pixel awayShadowed = frameAt(shadowed, away), towardsShadowed = frameAt(shadowed, towards);
        for (int channel = 0; channel < 3; ++channel)
        {
            // Darkened once (0.55 of the light), not twice, by the stacked pieces.
            const double kept = double(awayShadowed[channel]) / awayLit[channel];
            EXPECT_GT(kept, 0.45) << x << " " << channel;
            EXPECT_LT(kept, 0.8) << x << " " << channel;
            EXPECT_EQ(towardsShadowed[channel], towardsLit[channel]) << x << " " << channel;
        }
    }

    // A piece halfway through a slide from (4, 3) to (4, 5) casts its
    // shadow from (4, 4), where it is drawn.
    Core::Object* moving = scene.at(4, 3)->getObjects().front();
    Core::MoveAnimation::Style slow; // the frames' own time moves it by nothing visible
    slow.m_LegSeconds = 1e5;
    ASSERT_TRUE(scene.board->animateObject(moving, {scene.at(4, 3), scene.at(4, 5)}, slow));
    scene.board->advanceAnimations(scene.board->getAnimations().front().getDuration() / 2);
    const Vec3<double> c = scene.squareCentre(4, 4);
    const Vec3<double> away(c.x() + 0.25 * awayX, c.y(), c.z() + 0.25 * awayZ);
    const Pixel lit = frameAt(Look(), away);
    const Pixel dark = frameAt(shadowed, away);
    EXPECT_LT(dark[0], 0.8 * lit[0]);
    scene.board->finishAnimations();

    // A bar along x turned a quarter about the vertical casts the shadow of
    // the same bar made along z.
    Core::Object* bar = modelPiece(writeBox("look-bar-x.obj", 0.2, 0.8, 0.1));
    bar->setHeading(90);
    scene.at(1, 1)->pushObject(bar);
    frame(shadowed);
    const std::vector<unsigned char> turned = TabulaTest::readFrame();
    scene.at(1, 1)->popObject(bar);
    delete bar;
    scene.at(1, 1)->pushObject(modelPiece(writeBox("look-bar-z.obj", 0.2, 0.1, 0.8)));
    frame(shadowed);
    EXPECT_LE(TabulaTest::largestDifference(TabulaTest::readFrame(), turned), 3);
}

TEST_F(LookGLTest, CornerOriginModelStandsCentredOnItsSquare)
{
    const Vec3<double> c = scene.squareCentre(3, 3);
    TabulaTest::resetCamera(*render->getCamera(), Vec3<double>(c.x(), 10, c.z()), -1.5707963);
    Core::Object* cube = modelPiece(TabulaTest::dataPath("models/assimp/cube_usemtl.obj"));
    ASSERT_NE(cube->getMesh(), nullptr);
    cube->setScale(0.5);
    cube->setColor(Vec4<double>(0.1, 0.9, 0.1, 1));
    const TabulaTest::WindowPoint middle = TabulaTest::projectToWindow(c.x(), c.y(), c.z());
    const Pixel empty = frameAt(only(&Look::m_CentredPieces), c);
    scene.at(3, 3)->pushObject(cube);
    // The middle of the box of pixels that differ from the empty square,
    // from the square's middle, within the square (88 pixels wide).
    const auto centreOfCube = [&]
    {
        int box[4] = {1000, 1000, -1000, -1000};
        for (int dy = -40; dy <= 40; ++dy)
            for (int dx = -40; dx <= 40; ++dx)
                if (difference(TabulaTest::readPixel(int(middle.x) + dx, int(middle.y) + dy), empty) > 8)
                {
                    box[0] = std::min(box[0], dx);
                    box[1] = std::min(box[1], dy);
                    box[2] = std::max(box[2], dx);
                    box[3] = std::max(box[3], dy);
                }
        EXPECT_LE(box[0], box[2]) << "no cube";
        return std::array<double, 2>{(box[0] + box[2]) / 2.0, (box[1] + box[3]) / 2.0};
    };
    frame(only(&Look::m_CentredPieces));
    const std::array<double, 2> centred = centreOfCube();
    EXPECT_NEAR(centred[0], 0.0, 1.0);
    EXPECT_NEAR(centred[1], 0.0, 1.0);
    // Its lowest point on the square's face, whatever the scale.
    EXPECT_NEAR(cube->getBodyOffset().y(), 0.001, 1e-9);
    // Without the switch the model's corner stands on the spot.
    frame(Look());
    const std::array<double, 2> cornered = centreOfCube();
    EXPECT_GT(std::abs(cornered[0]) + std::abs(cornered[1]), 20.0);
}

TEST_F(LookGLTest, PixelHUDTextStaysAtItsPlaceThroughAResizeOverTheBoard)
{
    Rendering::HUDText text;
    text.setText("XXXX");
    text.setColor(Vec3<double>(1, 1, 1));
    // Over the board in the middle of the window.
    text.setPosition(400, 350);
    render->getHUDs().push_back(&text);
    // The box of pure white pixels near the text's place, as left, top, right, bottom.
    const auto textBox = [&]
    {
        std::array<int, 4> box{10000, 10000, -1, -1};
        for (int y = 330; y < 390; ++y)
            for (int x = 380; x < 460; ++x)
            {
                const Pixel p = TabulaTest::readPixel(x, y);
                if (p[0] == 255 && p[1] == 255 && p[2] == 255)
                    box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
            }
        return box;
    };
    frame(only(&Look::m_PixelHUD));
    const std::array<int, 4> before = textBox();
    EXPECT_GE(before[0], 400);
    EXPECT_LE(before[0], 402);
    EXPECT_GE(before[1], 350);
    EXPECT_LE(before[1], 353);
    EXPECT_LE(before[3], 363);
    TabulaTest::resizeWindow(1200, 500);
    frame(only(&Look::m_PixelHUD));
    const std::array<int, 4> after = textBox();
    TabulaTest::resizeWindow(1024, 728);
    EXPECT_EQ(after, before);
}

// The window is made by run(), so a game process shows it: multisampled and
// antialiasing on with the switch (this display, Mesa's llvmpipe under Xvfb,
// offers such a visual), single-sampled without it.
TEST(LookAntialiasingGLTest, RunAsksForAMultisampledWindowOnlyWithTheSwitch)
{
    for (bool modern : {false, true})
    {
        TabulaTest::GameProcess game(TabulaTest::buildPath("PickingGame"),
                                     modern ? std::vector<std::string>{"--modern"} : std::vector<std::string>{});
        ASSERT_TRUE(game.started());
        // (GL_MULTISAMPLE starts enabled in OpenGL; without sample buffers it does nothing.)
        const std::string samples = game.waitFor("samples ");
        if (modern)
            EXPECT_EQ(samples, "samples 1 on");
        else
            EXPECT_EQ(samples.rfind("samples 0 ", 0), 0u) << samples;
    }
}

} // namespace
