#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>

#include <GL/gl.h>

#include <Core/ImageManager.h>

#include "support/Feedback.h"
#include "support/GLTestWindow.h"
#include "support/LogCapture.h"
#include "support/TestBoard.h"
#include "support/TestPaths.h"

using TabulaTest::FedVertex;

namespace
{
// An edge with its ends in hundredths, the lesser end first.
using Edge = std::pair<std::array<long, 3>, std::array<long, 3>>;
Edge edge(const std::array<double, 3>& a, const std::array<double, 3>& b)
{
    auto hundredths = [](const std::array<double, 3>& p) {
        return std::array<long, 3>{std::lround(p[0] * 100), std::lround(p[1] * 100), std::lround(p[2] * 100)};
    };
    return std::minmax(hundredths(a), hundredths(b));
}
} // namespace

TEST(BoardGLTest, SlabIsCentredAndItsOutlineSkipsThreeEdges)
{
    TabulaTest::openWindow();
    TabulaTest::TestBoard scene(8, 6);
    const auto capture = TabulaTest::captureFeedback([&] { scene.board->draw(); }, 0.1);
    // Squares lie just above the top face.
    TabulaTest::expectBox(TabulaTest::boxOf(capture.polygons), {-4, -0.25, -3}, {4, 0.001, 3}, 1e-4);

    // Twelve black segments: nine edges, three of them twice.
    ASSERT_EQ(capture.lines.size(), 12u);
    std::set<Edge> edges;
    for (const auto& line : capture.lines)
    {
        edges.insert(edge({line[0].x, line[0].y, line[0].z}, {line[1].x, line[1].y, line[1].z}));
        for (const FedVertex& v : line)
            EXPECT_EQ(std::vector<float>(v.color, v.color + 4), (std::vector<float>{0, 0, 0, 1}));
    }
    EXPECT_EQ(edges.size(), 9u);
    EXPECT_FALSE(edges.count(edge({-4, 0, 3}, {-4, 0, -3})));
    EXPECT_FALSE(edges.count(edge({-4, -0.25, -3}, {4, -0.25, -3})));
    EXPECT_FALSE(edges.count(edge({4, 0, 3}, {4, -0.25, 3})));
    EXPECT_TRUE(edges.count(edge({4, 0, 3}, {4, 0, -3})));
}

TEST(BoardGLTest, TexturedSlabHasSixOutwardFacesLitByTheirNormals)
{
    TabulaTest::openWindow();
    TabulaTest::TestBoard scene(4, 2);
    TabulaTest::LogCapture quiet;
    scene.board->setTexture(TabulaTest::dataPath("images/wood.png"));
    Core::ImageManager::instance()->initGL();

    // One directional light, no ambient: a face's lit colour is the cosine of
    // its normal with the light. Lit from a direction and from its opposite,
    // every face shows its normal in one of the two pictures.
    const GLfloat noAmbient[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1};
    glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, noAmbient);
    glEnable(GL_LIGHTING);
    // Rescaled, not normalised: the feedback capture scales the scene, and a
    // normal drawn at the wrong length must still show.
    glEnable(GL_RESCALE_NORMAL);
    glEnable(GL_LIGHT7);
    glLightfv(GL_LIGHT7, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT7, GL_AMBIENT, noAmbient);
    for (double sign : {1.0, -1.0})
    {
        const double length = std::sqrt(1.0 + 4.0 + 9.0);
        const double light[3] = {sign / length, 2 * sign / length, 3 * sign / length};
        const GLfloat direction[4] = {GLfloat(light[0]), GLfloat(light[1]), GLfloat(light[2]), 0};
        TabulaTest::drawUnmoved([&] { glLightfv(GL_LIGHT7, GL_POSITION, direction); });
        const auto capture = TabulaTest::captureFeedback([&] { scene.board->drawWithTexture(); }, 0.1);

        // Mesa hands each quad to feedback as two triangles.
        ASSERT_EQ(capture.polygons.size(), 12u);
        std::set<std::array<int, 3>> normals;
        for (const auto& face : capture.polygons)
        {
            // Flat on one side of the slab's box and spanning that whole side.
            const TabulaTest::Bounds box = TabulaTest::boxOf({face});
            const double boxLo[3] = {0, -0.25, -2}, boxHi[3] = {4, 0, 0};
            std::array<int, 3> normal{0, 0, 0};
            for (int i = 0; i < 3; ++i)
                if (box.hi[i] - box.lo[i] < 1e-3)
                    normal[i] =
                        std::fabs(box.lo[i] - boxHi[i]) < 1e-3 ? 1 : (std::fabs(box.lo[i] - boxLo[i]) < 1e-3 ? -1 : 9);
                else
                    EXPECT_NEAR(box.hi[i] - box.lo[i], boxHi[i] - boxLo[i], 1e-3) << "a face spans its side";
            normals.insert(normal);
            const double cosine = normal[0] * light[0] + normal[1] * light[1] + normal[2] * light[2];
            for (const FedVertex& v : face)
                for (int c = 0; c < 3; ++c)
                    EXPECT_NEAR(v.color[c], std::max(0.0, cosine), 2e-2) << "channel " << c;
        }
        const std::set<std::array<int, 3>> sides{{0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}, {-1, 0, 0}, {1, 0, 0}};
        EXPECT_EQ(normals, sides);
    }
    glPopAttrib();

    // Seen from straight above with its back edge up, the top face fills the
    // viewport and shows the 2x2 picture once, upright, as the file holds it.
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 4, 0, 2, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRotated(90, 1, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    scene.board->drawWithTexture();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const std::array<unsigned char, 3> picture[2][2] = {{{255, 0, 0}, {0, 255, 0}}, {{0, 0, 255}, {255, 255, 255}}};
    for (int row : {0, 1})
        for (int column : {0, 1})
        {
            const auto pixel = TabulaTest::readPixel(static_cast<int>(viewport[2] * (0.25 + 0.5 * column)),
                                                     static_cast<int>(viewport[3] * (0.25 + 0.5 * row)));
            EXPECT_EQ((std::array<unsigned char, 3>{pixel[0], pixel[1], pixel[2]}), picture[row][column])
                << "row " << row << " column " << column;
        }
}
