#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>

#include <GL/gl.h>

#include "support/Feedback.h"
#include "support/GLTestWindow.h"
#include "support/TestBoard.h"

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
