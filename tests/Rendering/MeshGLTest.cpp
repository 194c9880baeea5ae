// glTF models drawn in a real window: pictures read back from the frame.

#include <memory>
#include <set>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <Core/ImageManager.h>
#include <Rendering/Mesh.h>

#include "support/GLTestWindow.h"
#include "support/MeshCorners.h"
#include "support/TestPaths.h"

namespace
{

using TabulaTest::Pixel;

std::unique_ptr<Rendering::Mesh> load(const std::string& file)
{
    auto mesh = TabulaTest::loadMesh(TabulaTest::dataPath("models/" + file));
    Core::ImageManager::instance()->initGL();
    mesh->initList();
    return mesh;
}

// Draws the mesh unlit in white on black through an orthographic view of
// [-1, 1] on both window axes and samples a 32 x 32 grid of the frame.
std::vector<Pixel> drawn(Rendering::Mesh& mesh)
{
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor4d(1, 1, 1, 1);
    mesh.draw();
    std::vector<Pixel> pixels;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            pixels.push_back(TabulaTest::readPixel(16 + x * 32, 11 + y * 22));
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    return pixels;
}

Pixel at(const std::vector<Pixel>& pixels, double x, double y)
{
    const int column = int((x + 1) / 2 * 32), row = int((1 - y) / 2 * 32);
    return pixels.at(std::size_t(row * 32 + column));
}

} // namespace

// The textured box's front face shows its picture (many colours where an
// untextured face would be one), and the separate-file, embedded and binary
// copies of the model draw exactly the same frame.
TEST(MeshGLTest, TexturedBoxDrawsItsPictureAlikeInEveryVariant)
{
    TabulaTest::openWindow();
    const std::vector<Pixel> separate = drawn(*load("BoxTextured/separate/BoxTextured.gltf"));
    std::set<Pixel> face;
    for (double y = -0.4; y <= 0.4; y += 0.05)
        for (double x = -0.4; x <= 0.4; x += 0.05)
            face.insert(at(separate, x, y));
    EXPECT_GE(face.size(), 3u);
    EXPECT_EQ(drawn(*load("BoxTextured/embedded/BoxTextured.gltf")), separate);
    EXPECT_EQ(drawn(*load("BoxTextured/binary/BoxTextured.glb")), separate);
}
