#include <gtest/gtest.h>

#include <GL/gl.h>

#include <Core/ImageManager.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/Render.h>

#include "support/Feedback.h"
#include "support/GLTestWindow.h"
#include "support/TestBoard.h"
#include "support/TestPaths.h"

using namespace Core;
using TabulaTest::SpotProbe;

TEST(SquareGLTest, PiecesStandOnTheirSpots)
{
    TabulaTest::openWindow();
    // An alignment outside the named values stands in the middle.
    const struct
    {
        Object::ObjectAlignment alignment;
        double x, z;
    } cases[] = {
        {{Object::MIDDLE, Object::CENTER}, 3.0, -4.5},
        {{Object::TOP, Object::LEFT}, 2.0 + 1.0 / 3.0, -5.5},
        {{Object::BOTTOM, Object::RIGHT}, 2.0 + 5.0 / 3.0, -3.5},
        {{static_cast<Object::VerticalAlignment>(7), static_cast<Object::HorizontalAlignment>(-3)}, 3.0, -4.5},
    };
    // The cell is given from its far corner, turned the other way round and
    // after construction: where its pieces stand does not depend on that.
    Square::Coords turned = TabulaTest::cellCoords(4, 6, 2, 3);
    std::swap(turned.m_Corners[1], turned.m_Corners[3]);
    Square square(TabulaTest::cellCoords(0, 0, 1, 1), {});
    square.setCoords(turned);
    EXPECT_EQ(square.getUpper(), Vec2<unsigned int>(4, 6));
    for (const auto& c : cases)
        square.pushObject(new SpotProbe(c.alignment));

    TabulaTest::drawUnmoved([&] { square.drawObjects(); });
    for (std::size_t i = 0; i < std::size(cases); ++i)
    {
        const auto* probe = static_cast<const SpotProbe*>(square.getObjects()[i]);
        EXPECT_NEAR(probe->spot.x(), cases[i].x, 1e-6) << i;
        EXPECT_EQ(probe->spot.y(), 0.0) << i;
        EXPECT_NEAR(probe->spot.z(), cases[i].z, 1e-6) << i;
    }
}

TEST(SquareGLTest, DrawnFlatJustAboveTheSlabFacingUp)
{
    TabulaTest::openWindow();
    Square square(TabulaTest::cellCoords(1, 2, 3, 5), {});
    square.setColor(Vec4<double>(0.5, 0.25, 1, 1));
    // Lit from straight above with no ambient light, a face whose normal is
    // up shows its colour, whatever normal was current before.
    const GLfloat noAmbient[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1}, up[4] = {0, 1, 0, 0};
    glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT | GL_CURRENT_BIT);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, noAmbient);
    glEnable(GL_LIGHTING);
    glEnable(GL_NORMALIZE);
    glEnable(GL_LIGHT7);
    glLightfv(GL_LIGHT7, GL_DIFFUSE, white);
    TabulaTest::drawUnmoved([&] { glLightfv(GL_LIGHT7, GL_POSITION, up); });
    glNormal3d(1, 0, 0);
    const auto capture = TabulaTest::captureFeedback([&] { square.draw(); }, 0.1);
    glPopAttrib();
    ASSERT_FALSE(capture.polygons.empty());
    TabulaTest::expectBox(TabulaTest::boxOf(capture.polygons), {1, 0.001, -5}, {3, 0.001, -2});
    for (const auto& polygon : capture.polygons)
        for (const auto& v : polygon)
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(v.color[c], square.getColor().ptr()[c], 1e-2) << "channel " << c;
}

TEST(SquareGLTest, TexturedSquaresShowTheirMarkAsATint)
{
    TabulaTest::initEngine();
    TabulaTest::TestBoard scene(2, 2);
    for (Square* s : scene.squares)
        s->setColor(Vec4<double>(1, 1, 1, 1));
    Square* square = scene.at(0, 0);
    square->setTexture(TabulaTest::dataPath("scene/white.png"));
    Core::ImageManager::instance()->initGL();
    Rendering::Render* render = Rendering::Render::instance();
    render->setParams("Board", Vec3<double>(1, 1, 1), scene.board);

    // Mouse-over and selected mix to green; selected alone is red; authorized blue.
    const struct
    {
        bool mouseOver, selected, authorized;
        int strong;
    } cases[] = {{true, true, false, 1}, {false, true, false, 0}, {false, false, true, 2}};
    for (const auto& c : cases)
    {
        square->highlightMouseOver(c.mouseOver);
        square->highlightSelected(c.selected);
        square->highlightAuthorized(c.authorized);
        render->renderFrame();
        const Vec3<double> centre = scene.squareCentre(0, 0);
        const auto p = TabulaTest::projectToWindow(centre.x(), centre.y(), centre.z());
        const auto colour = TabulaTest::readPixel(static_cast<int>(p.x), static_cast<int>(p.y));
        for (int other = 0; other < 3; ++other)
            EXPECT_TRUE(other == c.strong || colour[c.strong] > colour[other] + 10) << c.strong << " over " << other;
    }

    // The material is white again for whatever is drawn next.
    GLfloat material[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, material);
    EXPECT_FLOAT_EQ(material[1], 1.0f);
    EXPECT_EQ(TabulaTest::glInteger(GL_TEXTURE_BINDING_2D), 0);
    render->setParams("Board", Vec3<double>(1, 1, 1), nullptr);
}
