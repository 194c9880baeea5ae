#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <Core/ImageManager.h>
#include <Rendering/Geometry.h>
#include <Rendering/Image.h>
#include <Rendering/Mesh.h>
#include <Rendering/Primitive.h>
#include <Rendering/Render.h>
#include <Rendering/Texture.h>

#include "support/Feedback.h"
#include "support/GLTestWindow.h"
#include "support/MeshCorners.h"
#include "support/TestPaths.h"

using Rendering::Geometry;
using Rendering::Mesh;
using Rendering::Primitive;

namespace
{

std::array<float, 4> current(GLenum what)
{
    std::array<float, 4> v{};
    glGetFloatv(what, v.data());
    return v;
}

Primitive* addPrimitive(Geometry& geometry, unsigned int mode, std::vector<unsigned short> vertices)
{
    auto* p = new Primitive();
    p->setAssociateGeometry(&geometry);
    p->setPrimitiveType(mode);
    p->getVertexIndicesArray() = std::move(vertices);
    geometry.addPrimitive(p);
    return p;
}

// What the list hands to the rasteriser, captured in feedback mode with the
// model's xz plane turned to face the viewer.
TabulaTest::FeedbackCapture drawnBy(unsigned int list)
{
    return TabulaTest::captureFeedback(
        [&]
        {
            glRotated(90, 1, 0, 0);
            glCallList(list);
        },
        0.5);
}

int polygonsDrawnBy(unsigned int list)
{
    return static_cast<int>(drawnBy(list).polygons.size());
}

struct PrimitiveGLTest : ::testing::Test
{
    void SetUp() override
    {
        TabulaTest::initEngine();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 1, 0, 1, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        // Model y-up meshes lie in the xz plane; turn them to face the viewer.
        glRotated(90, 1, 0, 0);
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_CULL_FACE);
    }
};

} // namespace

TEST_F(PrimitiveGLTest, EmitsOnlyAttributeListsAsLongAsTheVertexList)
{
    Geometry geometry;
    geometry.getVertexArray() = {{0, 0, 0}, {1, 0, 0}, {0, 0, -1}};
    geometry.getNormalArray() = {{0, 1, 0}, {0, 1, 0}, {0, 1, 0}};
    geometry.getTexCoordArray() = {{0.25, 0.5}, {0.75, 1}};
    Primitive* both = addPrimitive(geometry, GL_TRIANGLES, {0, 1, 2});
    both->getNormalIndicesArray() = {0, 1, 2};
    both->getTexturesIndicesArray() = {0, 0, 1};
    Primitive* texOnly = addPrimitive(geometry, GL_TRIANGLES, {0, 1, 2, 2, 1, 0});
    texOnly->getTexturesIndicesArray() = {1, 1, 1, 1, 1, 0};
    texOnly->getNormalIndicesArray() = {0, 1, 2};
    Primitive* empty = addPrimitive(geometry, GL_TRIANGLES, {});
    // Index 3 is one past the three normals: the whole list is left out.
    Primitive* pastEnd = addPrimitive(geometry, GL_TRIANGLES, {0, 1, 2});
    pastEnd->getNormalIndicesArray() = {0, 1, 3};
    geometry.initDisplayList();

    // A stored (0, 1, 0) reaches OpenGL as (0, 0, 1).
    glNormal3d(0.5, 0.5, 0.5);
    glTexCoord2d(0, 0);
    glCallList(both->getDisplayList());
    EXPECT_EQ(current(GL_CURRENT_NORMAL), (std::array<float, 4>{0, 0, 1, 0}));
    EXPECT_EQ(current(GL_CURRENT_TEXTURE_COORDS), (std::array<float, 4>{0.75f, 1, 0, 1}));
    EXPECT_EQ(polygonsDrawnBy(both->getDisplayList()), 1);

    glNormal3d(0.5, 0.5, 0.5);
    glCallList(texOnly->getDisplayList());
    EXPECT_EQ(current(GL_CURRENT_NORMAL), (std::array<float, 4>{0.5f, 0.5f, 0.5f, 0}));
    EXPECT_EQ(current(GL_CURRENT_TEXTURE_COORDS), (std::array<float, 4>{0.25f, 0.5f, 0, 1}));
    EXPECT_EQ(polygonsDrawnBy(texOnly->getDisplayList()), 2);

    glNormal3d(0.5, 0.5, 0.5);
    glCallList(pastEnd->getDisplayList());
    EXPECT_EQ(current(GL_CURRENT_NORMAL), (std::array<float, 4>{0.5f, 0.5f, 0.5f, 0}));

    EXPECT_TRUE(glIsList(empty->getDisplayList()));
    EXPECT_EQ(polygonsDrawnBy(empty->getDisplayList()), 0);
    // A copy has no list of its own to call or delete.
    EXPECT_EQ(Primitive(*both).getDisplayList(), 0u);
}

TEST_F(PrimitiveGLTest, AFaceNamingAVertexPastTheArrayIsDroppedWholeInEveryMode)
{
    // Three vertices: index 3 is the first one past the array.
    struct Case
    {
        unsigned int mode;
        std::vector<unsigned short> indices;
        std::size_t points, lines, polygons;
    };
    const Case cases[] = {
        {GL_POINTS, {0, 3, 1}, 2, 0, 0},
        {GL_LINES, {0, 1, 3, 2, 1, 2}, 0, 2, 0},
        {GL_TRIANGLES, {0, 1, 2, 0, 1, 3}, 0, 0, 1},
        // Mesa hands a quad to feedback as two triangles.
        {GL_QUADS, {0, 1, 2, 2, 3, 0, 1, 2}, 0, 0, 2},
        {GL_POLYGON, {0, 1, 2}, 0, 0, 1},
        {GL_POLYGON, {0, 1, 2, 3}, 0, 0, 0},
    };
    for (const Case& c : cases)
    {
        Geometry geometry;
        geometry.getVertexArray() = {{0, 0, 0}, {1, 0, 0}, {0, 0, -1}};
        Primitive* p = addPrimitive(geometry, c.mode, c.indices);
        p->initDisplayList();
        const TabulaTest::FeedbackCapture drawn = drawnBy(p->getDisplayList());
        EXPECT_EQ(drawn.points.size(), c.points) << c.mode;
        EXPECT_EQ(drawn.lines.size(), c.lines) << c.mode;
        EXPECT_EQ(drawn.polygons.size(), c.polygons) << c.mode;
    }
}

// Every primitive, textured or not, unbinds the texture after its list; the
// textured one shows it.
TEST_F(PrimitiveGLTest, TexturedPrimitiveDrawsWithItsTextureAndUnbindsIt)
{
    std::unique_ptr<Mesh> mesh = TabulaTest::loadMesh(TabulaTest::dataPath("ase/triangle.ase"));
    Primitive* textured = mesh->getGeometries()[0]->getPrimitives()[0];
    ASSERT_NE(textured->getTexture(), nullptr);
    Core::ImageManager::instance()->initGL();
    mesh->initList();

    glEnable(GL_TEXTURE_2D);
    glColor4d(1, 1, 1, 1);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    textured->draw();
    EXPECT_EQ(TabulaTest::glInteger(GL_TEXTURE_BINDING_2D), 0);
    // The triangle covers the lower-left half of the view; wood.png is red.
    EXPECT_EQ(TabulaTest::readPixel(100, 700), (std::array<unsigned char, 4>{255, 0, 0, 255}));
    EXPECT_EQ(TabulaTest::readPixel(900, 100)[2], 255);
    glDisable(GL_TEXTURE_2D);
}
