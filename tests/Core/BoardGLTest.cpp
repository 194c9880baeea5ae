#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>

#include <GL/gl.h>

#include "support/Feedback.h"
#include "support/GLTestWindow.h"
#include "support/TestBoard.h"
#include "support/TestPaths.h"

using TabulaTest::FedVertex;

namespace
{
bool near(const FedVertex& v, double x, double y, double z)
{
    return std::fabs(v.x - x) < 1e-3 && std::fabs(v.y - y) < 1e-3 && std::fabs(v.z - z) < 1e-3;
}

bool hasSegment(const TabulaTest::FeedbackCapture& capture, const double a[3], const double b[3])
{
    for (const auto& line : capture.lines)
        if ((near(line[0], a[0], a[1], a[2]) && near(line[1], b[0], b[1], b[2])) ||
            (near(line[1], a[0], a[1], a[2]) && near(line[0], b[0], b[1], b[2])))
            return true;
    return false;
}
} // namespace

TEST(BoardGLTest, SlabIsCentredAndItsOutlineSkipsThreeEdges)
{
    TabulaTest::openWindow();
    TabulaTest::TestBoard scene(8, 6);
    const auto capture = TabulaTest::captureFeedback([&] { scene.board->draw(); }, 0.1);

    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9, minZ = 1e9, maxZ = -1e9;
    for (const auto& polygon : capture.polygons)
        for (const FedVertex& v : polygon)
        {
            minX = std::min(minX, v.x), maxX = std::max(maxX, v.x);
            minY = std::min(minY, v.y), maxY = std::max(maxY, v.y);
            minZ = std::min(minZ, v.z), maxZ = std::max(maxZ, v.z);
        }
    EXPECT_NEAR(minX, -4.0, 1e-3);
    EXPECT_NEAR(maxX, 4.0, 1e-3);
    EXPECT_NEAR(minZ, -3.0, 1e-3);
    EXPECT_NEAR(maxZ, 3.0, 1e-3);
    EXPECT_NEAR(minY, -0.25, 1e-3);
    // Squares lie just above the top face.
    EXPECT_NEAR(maxY, 0.001, 1e-4);

    // Twelve segments: nine edges, three of them twice.
    EXPECT_EQ(capture.lines.size(), 12u);
    std::set<std::pair<std::array<long, 3>, std::array<long, 3>>> distinct;
    for (const auto& line : capture.lines)
    {
        std::array<long, 3> a{std::lround(line[0].x * 100), std::lround(line[0].y * 100), std::lround(line[0].z * 100)};
        std::array<long, 3> b{std::lround(line[1].x * 100), std::lround(line[1].y * 100), std::lround(line[1].z * 100)};
        distinct.insert(std::minmax(a, b));
    }
    EXPECT_EQ(distinct.size(), 9u);
    const double topFrontLeft[3] = {-4, 0, 3}, topBackLeft[3] = {-4, 0, -3};
    const double bottomBackLeft[3] = {-4, -0.25, -3}, bottomBackRight[3] = {4, -0.25, -3};
    const double topFrontRight[3] = {4, 0, 3}, bottomFrontRight[3] = {4, -0.25, 3};
    const double topBackRight[3] = {4, 0, -3};
    EXPECT_FALSE(hasSegment(capture, topFrontLeft, topBackLeft));
    EXPECT_FALSE(hasSegment(capture, bottomBackLeft, bottomBackRight));
    EXPECT_FALSE(hasSegment(capture, topFrontRight, bottomFrontRight));
    EXPECT_TRUE(hasSegment(capture, topFrontRight, topBackRight));
}

TEST(BoardGLTest, EverySelectionRecordCarriesExactlyOneName)
{
    TabulaTest::openWindow();
    TabulaTest::TestBoard scene(3, 3);
    scene.addPiece(1, 1, Vec4<double>(0, 0, 1, 1));
    scene.addPiece(2, 0, Vec4<double>(0, 0, 1, 1));

    std::vector<GLuint> buffer(512);
    glSelectBuffer(static_cast<GLsizei>(buffer.size()), buffer.data());
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glScaled(0.2, 0.2, 0.2);
    glRenderMode(GL_SELECT);
    glInitNames();
    scene.board->draw();
    const GLint hits = glRenderMode(GL_RENDER);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    // The board, nine squares and two pieces, each in a record of its own.
    ASSERT_EQ(hits, 12);
    std::set<GLuint> names;
    for (GLint hit = 0, i = 0; hit < hits; ++hit)
    {
        EXPECT_EQ(buffer[i], 1u);
        names.insert(buffer[i + 3]);
        i += 3 + static_cast<GLint>(buffer[i]);
    }
    EXPECT_EQ(names.size(), 12u);
    EXPECT_TRUE(names.count(scene.board->getPickingName()));
    EXPECT_TRUE(names.count(scene.at(1, 1)->getObjects()[0]->getPickingName()));
}

TEST(BoardGLTest, TexturedSlabHasSixOutwardFacesLitByTheirNormals)
{
    TabulaTest::openWindow();
    TabulaTest::TestBoard scene(4, 2);
    testing::internal::CaptureStdout();
    scene.board->setTexture(TabulaTest::dataPath("ase/wood.png"));
    testing::internal::GetCapturedStdout();

    // One directional light, no ambient: a face's lit colour is the cosine of
    // its normal with the light. Lit from a direction and from its opposite,
    // every face shows its normal in one of the two pictures.
    const GLfloat noAmbient[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1};
    glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, noAmbient);
    glEnable(GL_LIGHTING);
    glEnable(GL_NORMALIZE);
    glEnable(GL_LIGHT7);
    glLightfv(GL_LIGHT7, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT7, GL_AMBIENT, noAmbient);
    for (double sign : {1.0, -1.0})
    {
        const double length = std::sqrt(1.0 + 4.0 + 9.0);
        const double light[3] = {sign / length, 2 * sign / length, 3 * sign / length};
        const GLfloat direction[4] = {GLfloat(light[0]), GLfloat(light[1]), GLfloat(light[2]), 0};
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glLightfv(GL_LIGHT7, GL_POSITION, direction);
        glPopMatrix();
        const auto capture = TabulaTest::captureFeedback([&] { scene.board->drawWithTexture(); }, 0.1);

        // Mesa hands each quad to feedback as two triangles.
        ASSERT_EQ(capture.polygons.size(), 12u);
        std::set<std::array<int, 3>> normals;
        for (const auto& face : capture.polygons)
        {
            ASSERT_GE(face.size(), 3u);
            // Flat on one side of the slab's box and spanning that whole side.
            double lo[3] = {1e9, 1e9, 1e9}, hi[3] = {-1e9, -1e9, -1e9};
            for (const FedVertex& v : face)
            {
                const double p[3] = {v.x, v.y, v.z};
                for (int i = 0; i < 3; ++i)
                    lo[i] = std::min(lo[i], p[i]), hi[i] = std::max(hi[i], p[i]);
            }
            const double boxLo[3] = {0, -0.25, -2}, boxHi[3] = {4, 0, 0};
            std::array<int, 3> normal{0, 0, 0};
            for (int i = 0; i < 3; ++i)
                if (hi[i] - lo[i] < 1e-3)
                    normal[i] = std::fabs(lo[i] - boxHi[i]) < 1e-3 ? 1 : (std::fabs(lo[i] - boxLo[i]) < 1e-3 ? -1 : 9);
                else
                    EXPECT_NEAR(hi[i] - lo[i], boxHi[i] - boxLo[i], 1e-3) << "a face spans its side";
            normals.insert(normal);
            const double cosine = normal[0] * light[0] + normal[1] * light[1] + normal[2] * light[2];
            for (const FedVertex& v : face)
                EXPECT_NEAR(v.color[0], std::max(0.0, cosine), 2e-2);
        }
        const std::set<std::array<int, 3>> sides{{0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}, {-1, 0, 0}, {1, 0, 0}};
        EXPECT_EQ(normals, sides);
    }
    glPopAttrib();
}
