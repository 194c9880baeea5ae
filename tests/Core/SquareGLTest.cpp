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

namespace
{
// A piece that records where its square puts it instead of drawing.
class SpotProbe : public Object
{
public:
    SpotProbe(VerticalAlignment v, HorizontalAlignment h) : Object(ObjectAlignment(v, h), "") {}
    void draw() const override
    {
        GLdouble m[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        spot = Vec3<double>(m[12], m[13], m[14]);
    }
    mutable Vec3<double> spot;
};

Square::Coords coords(unsigned int x0, unsigned int y0, unsigned int x1, unsigned int y1)
{
    Square::Coords c;
    c.m_Corners[0] = Vec2<unsigned int>(x0, y0);
    c.m_Corners[1] = Vec2<unsigned int>(x1, y0);
    c.m_Corners[2] = Vec2<unsigned int>(x1, y1);
    c.m_Corners[3] = Vec2<unsigned int>(x0, y1);
    return c;
}
} // namespace

TEST(SquareGLTest, PiecesStandOnTheirSpots)
{
    TabulaTest::openWindow();
    auto* middle = new SpotProbe(Object::MIDDLE, Object::CENTER);
    auto* topLeft = new SpotProbe(Object::TOP, Object::LEFT);
    auto* bottomRight = new SpotProbe(Object::BOTTOM, Object::RIGHT);
    // An alignment outside the named values stands in the middle.
    auto* odd = new SpotProbe(static_cast<Object::VerticalAlignment>(7), static_cast<Object::HorizontalAlignment>(-3));
    Square square(coords(2, 3, 4, 6), {middle, topLeft, bottomRight, odd});

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    square.drawObjects();
    glPopMatrix();

    EXPECT_NEAR(middle->spot.x(), 3.0, 1e-6);
    EXPECT_NEAR(middle->spot.z(), -4.5, 1e-6);
    EXPECT_NEAR(topLeft->spot.x(), 2.0 + 1.0 / 3.0, 1e-6);
    EXPECT_NEAR(topLeft->spot.z(), -5.5, 1e-6);
    EXPECT_NEAR(bottomRight->spot.x(), 2.0 + 5.0 / 3.0, 1e-6);
    EXPECT_NEAR(bottomRight->spot.z(), -3.5, 1e-6);
    EXPECT_EQ(middle->spot.y(), 0.0);
    EXPECT_NEAR(odd->spot.x(), 3.0, 1e-6);
    EXPECT_NEAR(odd->spot.z(), -4.5, 1e-6);
}

TEST(SquareGLTest, DrawnFlatJustAboveTheSlabInCornerOrder)
{
    TabulaTest::openWindow();
    Square square(coords(1, 2, 3, 5), {});
    const auto capture = TabulaTest::captureFeedback([&] { square.draw(); }, 0.1);
    ASSERT_FALSE(capture.polygons.empty());
    double minX = 1e9, maxX = -1e9, minZ = 1e9, maxZ = -1e9;
    for (const auto& polygon : capture.polygons)
        for (const auto& v : polygon)
        {
            EXPECT_NEAR(v.y, 0.001, 1e-4);
            minX = std::min(minX, v.x), maxX = std::max(maxX, v.x);
            minZ = std::min(minZ, v.z), maxZ = std::max(maxZ, v.z);
        }
    EXPECT_NEAR(minX, 1.0, 1e-3);
    EXPECT_NEAR(maxX, 3.0, 1e-3);
    EXPECT_NEAR(minZ, -5.0, 1e-3);
    EXPECT_NEAR(maxZ, -2.0, 1e-3);
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

    auto colourAtSquare = [&]
    {
        render->renderFrame();
        const Vec3<double> centre = scene.squareCentre(0, 0);
        const auto p = TabulaTest::projectToWindow(centre.x(), centre.y(), centre.z());
        return TabulaTest::readPixel(static_cast<int>(p.x), static_cast<int>(p.y));
    };

    square->highlightMouseOver(true);
    square->highlightSelected(true);
    auto green = colourAtSquare();
    EXPECT_GT(green[1], green[0] + 10);
    EXPECT_GT(green[1], green[2] + 10);
    square->highlightMouseOver(false);
    auto red = colourAtSquare();
    EXPECT_GT(red[0], red[1] + 10);
    square->highlightSelected(false);
    square->highlightAuthorized(true);
    auto blue = colourAtSquare();
    EXPECT_GT(blue[2], blue[0] + 10);

    // The material is white again for whatever is drawn next.
    GLfloat material[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, material);
    EXPECT_FLOAT_EQ(material[1], 1.0f);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    render->setParams("Board", Vec3<double>(1, 1, 1), nullptr);
}
