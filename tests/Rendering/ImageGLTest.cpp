#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Rendering/Image.h"
#include "support/GLTestWindow.h"
#include "support/TestPaths.h"

namespace
{

std::unique_ptr<Rendering::Image> load(const std::string& name)
{
    testing::internal::CaptureStdout();
    std::unique_ptr<Rendering::Image> image(new Rendering::Image(TabulaTest::dataPath(name)));
    testing::internal::GetCapturedStdout();
    return image;
}

GLint levelParameter(GLenum name)
{
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    return value;
}

// The texture bound on the active unit, read back as tightly packed bytes.
std::vector<unsigned char> readTexture(GLenum format, std::size_t size)
{
    std::vector<unsigned char> pixels(size);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

} // namespace

TEST(ImageGL, UploadReadsTightRowsIntoFourComponentsWithLinearFilters)
{
    TabulaTest::openWindow();
    // 5 RGB pixels make 15-byte rows: a 4-byte unpack alignment would shear them.
    auto odd = load("images/odd.png");
    ASSERT_TRUE(odd->isLoaded());
    ASSERT_EQ(odd->getWidth(), 5);
    odd->initGL();
    ASSERT_NE(odd->getId(), 0u);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), odd->getId());
    EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), 5);
    EXPECT_EQ(levelParameter(GL_TEXTURE_HEIGHT), 3);
    const GLint internal = levelParameter(GL_TEXTURE_INTERNAL_FORMAT);
    EXPECT_TRUE(internal == 4 || internal == GL_RGBA) << internal;
    GLint filters[2] = {};
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filters[0]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filters[1]);
    EXPECT_EQ(filters[0], GL_LINEAR);
    EXPECT_EQ(filters[1], GL_LINEAR);
    const std::vector<unsigned char> pixels = readTexture(GL_RGB, 45);
    EXPECT_EQ(pixels, std::vector<unsigned char>(odd->getData(), odd->getData() + 45));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4); // left as the caller had it

    // Gray samples spread over the colour channels, opaque.
    auto gray = load("images/gray.jpg");
    gray->initGL();
    const std::size_t count = static_cast<std::size_t>(gray->getWidth()) * gray->getHeight();
    const std::vector<unsigned char> rgba = readTexture(GL_RGBA, count * 4);
    for (std::size_t i = 0; i < count; i += 97)
    {
        EXPECT_EQ(rgba[4 * i], gray->getData()[i]);
        EXPECT_EQ(rgba[4 * i + 2], gray->getData()[i]);
        EXPECT_EQ(rgba[4 * i + 3], 255);
    }

    // 16-bit samples in the processor's order reach OpenGL as such.
    auto deep = load("pngsuite/basn2c16.png");
    deep->initGL();
    const std::size_t samples = static_cast<std::size_t>(deep->getWidth()) * deep->getHeight() * 3;
    const std::vector<unsigned char> high = readTexture(GL_RGB, samples);
    for (std::size_t i = 0; i < samples; i += 31)
        EXPECT_LE(std::abs(int(high[i]) - int(deep->getData()[2 * i + 1])), 1) << i;
}

TEST(ImageGL, HalvingReplacesTheTextureAndDestructionDeletesIt)
{
    TabulaTest::openWindow();
    auto odd = load("images/odd.png");
    odd->initGL();
    const GLuint first = odd->getId();
    odd->reduceToLimit();
    const GLuint second = odd->getId();
    EXPECT_NE(second, first);
    EXPECT_FALSE(glIsTexture(first));
    ASSERT_TRUE(glIsTexture(second));
    glBindTexture(GL_TEXTURE_2D, second);
    EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), 2);
    EXPECT_EQ(levelParameter(GL_TEXTURE_HEIGHT), 1);
    EXPECT_EQ(readTexture(GL_RGB, 6), std::vector<unsigned char>(odd->getData(), odd->getData() + 6));

    odd.reset();
    EXPECT_FALSE(glIsTexture(second));
}
