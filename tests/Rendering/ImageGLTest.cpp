// Images: what they hold and keep when halved, and the textures they upload.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Rendering/Image.h"
#include "support/GLTestWindow.h"
#include "support/LogCapture.h"
#include "support/TestPaths.h"

namespace
{

using Bytes = std::vector<unsigned char>;
using TabulaTest::bytesOf;
using TabulaTest::quietly;

// An image of width x height holding the bytes 0, 1, 2, ..., made without a file.
std::unique_ptr<Rendering::Image> countingImage(int width, int height, unsigned int format, unsigned int type,
                                                std::size_t size)
{
    auto image = quietly([] { return std::make_unique<Rendering::Image>("made-in-memory"); });
    unsigned char* data = new unsigned char[size];
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<unsigned char>(i);
    image->setData(width, height, 1, static_cast<int>(format), format, type, data);
    return image;
}

std::string reduce(Rendering::Image& image)
{
    TabulaTest::LogCapture log;
    image.reduceToLimit();
    return log.out();
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

// 8-bit RGB(A) keeps even pixels of even rows with a two-pixel step that runs
// on across odd rows; gray and 16-bit pixels are walked by their real size.
// No read goes past the buffer (ASan watches).
TEST(Image, ReduceToLimitHalvesOnceKeepingEvenPixelsOfEvenRows)
{
    struct Case
    {
        int width, height;
        unsigned int format, type;
        std::size_t size;
        int countedBefore, newWidth, newHeight;
        Bytes kept;
    };
    const Case cases[] = {
        // Pixels (0,0), (2,0), (0,2), (2,2): byte offsets 0, 6, 24, 30.
        {4, 4, GL_RGB, GL_UNSIGNED_BYTE, 48, 48, 2, 2, {0, 1, 2, 6, 7, 8, 24, 25, 26, 30, 31, 32}},
        // 18 bytes: pixel (0,0), then the first byte of pixel (2,0).
        {3, 2, GL_RGB, GL_UNSIGNED_BYTE, 18, 18, 1, 1, {0, 1, 2, 6}},
        {1, 1, GL_RGB, GL_UNSIGNED_BYTE, 3, 3, 0, 0, {}},
        {2, 2, GL_RGBA, GL_UNSIGNED_BYTE, 16, 16, 1, 1, {0, 1, 2, 3}},
        {4, 2, GL_LUMINANCE, GL_UNSIGNED_BYTE, 8, 32, 2, 1, {0, 2}},
        {2, 2, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, 8, 16, 1, 1, {0, 1}},
        {2, 2, GL_RGBA, GL_UNSIGNED_SHORT, 32, 16, 1, 1, {0, 1, 2, 3, 4, 5, 6, 7}},
        {3, 3, GL_RGB, GL_UNSIGNED_SHORT, 54, 27, 1, 1, {0, 1, 2, 3, 4, 5}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " format " << c.format << " type " << c.type);
        auto image = countingImage(c.width, c.height, c.format, c.type, c.size);
        EXPECT_EQ(image->getMemoryUsage(), c.countedBefore);
        EXPECT_EQ(reduce(*image), "");
        EXPECT_TRUE(image->isReduced());
        EXPECT_TRUE(image->isLoaded());
        EXPECT_EQ(image->getWidth(), c.newWidth);
        EXPECT_EQ(image->getHeight(), c.newHeight);
        EXPECT_EQ(bytesOf(*image), c.kept);
        EXPECT_EQ(reduce(*image), "Already Reduced ...\n");
        EXPECT_EQ(bytesOf(*image), c.kept);
    }

    // A copy takes the bytes the image really holds, and no texture.
    auto deep = countingImage(2, 2, GL_RGBA, GL_UNSIGNED_SHORT, 32);
    Rendering::Image copy(*deep);
    EXPECT_EQ(bytesOf(copy), bytesOf(*deep));
    EXPECT_NE(copy.getData(), deep->getData());
    EXPECT_EQ(copy.getType(), static_cast<unsigned int>(GL_UNSIGNED_SHORT));

    deep->unLoad();
    EXPECT_FALSE(deep->isLoaded());
    EXPECT_EQ(deep->getMemoryUsage(), 0);
    deep->unLoad();
    Rendering::Image emptyCopy(*deep);
    EXPECT_FALSE(emptyCopy.isLoaded());
    EXPECT_EQ(emptyCopy.getDataSize(), 0u);
}

TEST(Image, ReaderIsChosenByCaseSensitiveSubstring)
{
    const std::string dir = TabulaTest::dataPath("images/missing/");
    // The line before the last names which reader, if any, was chosen.
    const auto firstLine = [](const std::string& path, char reader) -> std::string
    {
        if (reader == 'P')
            return "Couldn't open/find file : \"" + path + "\"\n";
        if (reader == 'J')
            return "Couldn't find/load texture : \"" + path + "\n";
        return "Unsupported format ... (supported format : PNG / JPG)\n";
    };
    const std::pair<const char*, char> cases[] = {
        {"photo.Png", '-'},     {"photo.Jpg", '-'},     {"photo.gif", '-'},     {"photo.PNG", 'P'},
        {"photo.png.bak", 'P'}, {"photo.jpg.png", 'P'}, {"photo.png.jpg", 'P'}, {"photo.jpeg", 'J'},
        {"photo.JPEG", 'J'},    {"photo.JPG", 'J'},
    };
    for (const auto& c : cases)
    {
        const std::string path = dir + c.first;
        TabulaTest::LogCapture log;
        Rendering::Image image(path);
        EXPECT_EQ(log.out(), firstLine(path, c.second) + "Couldn't load Image file : \"" + path + "\"\n") << c.first;
        EXPECT_FALSE(image.isLoaded());
        EXPECT_EQ(image.getDataSize(), 0u);
    }
    // Bytes a model file embeds are told apart by their signature; a failed
    // image holds no bytes and no texture, so destroying it deletes none of
    // another's.
    TabulaTest::LogCapture log;
    Rendering::Image embedded("inside.gltf", "GIF89a");
    EXPECT_EQ(log.out(), firstLine("", '-') + "Couldn't load Image file : \"inside.gltf\"\n");
    EXPECT_EQ(embedded.getId(), 0u);
    EXPECT_EQ(embedded.getDataSize(), 0u);
}

// Gray and 16-bit pictures go up with the format and type their reader
// gives (JPEGReaderTest, PNGReaderTest); spreading them is OpenGL's.
TEST(ImageGL, UploadReadsTightRowsLeavesTheAlignmentAndHalvingReplacesTheTexture)
{
    TabulaTest::openWindow();
    // 5 RGB pixels make 15-byte rows: a 4-byte unpack alignment would shear them.
    auto odd = quietly([] { return std::make_unique<Rendering::Image>(TabulaTest::dataPath("images/odd.png")); });
    ASSERT_TRUE(odd->isLoaded());
    ASSERT_EQ(odd->getWidth(), 5);
    odd->initGL();
    ASSERT_NE(odd->getId(), 0u);
    EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), 5);
    EXPECT_EQ(levelParameter(GL_TEXTURE_HEIGHT), 3);
    const std::vector<unsigned char> pixels = readTexture(GL_RGB, 45);
    EXPECT_EQ(pixels, std::vector<unsigned char>(odd->getData(), odd->getData() + 45));
    EXPECT_EQ(TabulaTest::glInteger(GL_UNPACK_ALIGNMENT), 4); // left as the caller had it

    // Halving replaces the texture; destruction deletes it.
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
