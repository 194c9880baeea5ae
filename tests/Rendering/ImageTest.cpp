#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Rendering/Image.h"
#include "support/TestPaths.h"

namespace
{

using Bytes = std::vector<unsigned char>;

// An image holding exactly `pixels`, made without any file.
std::unique_ptr<Rendering::Image> imageOf(int width, int height, unsigned int format, unsigned int type,
                                          const Bytes& pixels)
{
    testing::internal::CaptureStdout();
    std::unique_ptr<Rendering::Image> image(new Rendering::Image("made-in-memory"));
    testing::internal::GetCapturedStdout();
    unsigned char* data = new unsigned char[pixels.size()];
    std::memcpy(data, pixels.data(), pixels.size());
    image->setData(width, height, 1, static_cast<int>(format), format, type, data);
    return image;
}

Bytes counting(std::size_t size)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i);
    return bytes;
}

Bytes dataOf(const Rendering::Image& image)
{
    return Bytes(image.getData(), image.getData() + image.getDataSize());
}

std::string reduce(Rendering::Image& image)
{
    testing::internal::CaptureStdout();
    image.reduceToLimit();
    return testing::internal::GetCapturedStdout();
}

} // namespace

TEST(Image, ReduceToLimitKeepsEvenPixelsOfEvenRowsOnce)
{
    auto square = imageOf(4, 4, GL_RGB, GL_UNSIGNED_BYTE, counting(48));
    EXPECT_EQ(reduce(*square), "");
    EXPECT_EQ(square->getWidth(), 2);
    EXPECT_EQ(square->getHeight(), 2);
    EXPECT_TRUE(square->isReduced());
    // Pixels (0,0), (2,0), (0,2), (2,2): byte offsets 0, 6, 24, 30.
    EXPECT_EQ(dataOf(*square), (Bytes{0, 1, 2, 6, 7, 8, 24, 25, 26, 30, 31, 32}));
    EXPECT_EQ(reduce(*square), "Already Reduced ...\n");
    EXPECT_EQ(square->getWidth(), 2);
    EXPECT_EQ(dataOf(*square).size(), 12u);

    // S = 18: pixel (0,0), then the first byte of pixel (2,0).
    auto odd = imageOf(3, 2, GL_RGB, GL_UNSIGNED_BYTE, counting(18));
    reduce(*odd);
    EXPECT_EQ(odd->getWidth(), 1);
    EXPECT_EQ(odd->getHeight(), 1);
    EXPECT_EQ(dataOf(*odd), (Bytes{0, 1, 2, 6}));

    auto single = imageOf(1, 1, GL_RGB, GL_UNSIGNED_BYTE, counting(3));
    reduce(*single);
    EXPECT_EQ(single->getWidth(), 0);
    EXPECT_EQ(single->getHeight(), 0);
    EXPECT_TRUE(single->isLoaded());
    EXPECT_EQ(single->getDataSize(), 0u);

    auto rgba = imageOf(2, 2, GL_RGBA, GL_UNSIGNED_BYTE, counting(16));
    reduce(*rgba);
    EXPECT_EQ(dataOf(*rgba), (Bytes{0, 1, 2, 3}));
}

// Gray and 16-bit pixels are not the size the counting rule assumes: halving
// keeps their real pixels and never reads past the buffer (ASan watches).
TEST(Image, ReduceToLimitWalksOtherFormatsByTheirRealPixelSize)
{
    auto gray = imageOf(4, 2, GL_LUMINANCE, GL_UNSIGNED_BYTE, counting(8));
    EXPECT_EQ(gray->getMemoryUsage(), 32);
    reduce(*gray);
    EXPECT_EQ(dataOf(*gray), (Bytes{0, 2}));
    EXPECT_EQ(gray->getMemoryUsage(), 8);

    auto grayAlpha = imageOf(2, 2, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, counting(8));
    reduce(*grayAlpha);
    EXPECT_EQ(dataOf(*grayAlpha), (Bytes{0, 1}));

    auto deep = imageOf(2, 2, GL_RGBA, GL_UNSIGNED_SHORT, counting(32));
    reduce(*deep);
    EXPECT_EQ(dataOf(*deep), (Bytes{0, 1, 2, 3, 4, 5, 6, 7}));

    auto deepOdd = imageOf(3, 3, GL_RGB, GL_UNSIGNED_SHORT, counting(54));
    reduce(*deepOdd);
    EXPECT_EQ(dataOf(*deepOdd), (Bytes{0, 1, 2, 3, 4, 5}));

    // The copy takes the bytes the image really holds.
    Rendering::Image copy(*deep);
    EXPECT_EQ(dataOf(copy), dataOf(*deep));
    EXPECT_NE(copy.getData(), deep->getData());
    EXPECT_FALSE(copy.isReduced());
    EXPECT_EQ(copy.getId(), 0u);
    EXPECT_EQ(copy.getType(), static_cast<unsigned int>(GL_UNSIGNED_SHORT));
}

TEST(Image, MemoryUsageCountsThreeBytesForRgbAndFourOtherwise)
{
    auto rgb = imageOf(256, 128, GL_RGB, GL_UNSIGNED_BYTE, Bytes(256 * 128 * 3));
    EXPECT_EQ(rgb->getMemoryUsage(), 98304);
    auto gray = imageOf(256, 128, GL_LUMINANCE, GL_UNSIGNED_BYTE, Bytes(256 * 128));
    EXPECT_EQ(gray->getMemoryUsage(), 131072);

    gray->unLoad();
    EXPECT_FALSE(gray->isLoaded());
    EXPECT_EQ(gray->getMemoryUsage(), 0);
    gray->unLoad();
    EXPECT_FALSE(gray->isLoaded());
}

TEST(Image, ReaderIsChosenByCaseSensitiveSubstring)
{
    struct Case
    {
        const char* name;
        const char* firstLine;
    };
    const std::string dir = TabulaTest::dataPath("images/missing/");
    const Case cases[] = {
        {"photo.Png", "Unsupported format ... (supported format : PNG / JPG)"},
        {"photo.Jpg", "Unsupported format ... (supported format : PNG / JPG)"},
        {"photo.gif", "Unsupported format ... (supported format : PNG / JPG)"},
        {"photo.PNG", "Couldn't open/find file : \"@\""},
        {"photo.png.bak", "Couldn't open/find file : \"@\""},
        {"photo.jpg.png", "Couldn't open/find file : \"@\""},
        {"photo.png.jpg", "Couldn't open/find file : \"@\""},
        {"photo.jpeg", "Couldn't find/load texture : \"@"},
        {"photo.JPEG", "Couldn't find/load texture : \"@"},
        {"photo.JPG", "Couldn't find/load texture : \"@"},
    };
    for (const Case& c : cases)
    {
        const std::string path = dir + c.name;
        std::string first = c.firstLine;
        const std::string::size_type at = first.find('@');
        if (at != std::string::npos)
            first.replace(at, 1, path);
        testing::internal::CaptureStdout();
        Rendering::Image image(path);
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_FALSE(image.isLoaded());
        EXPECT_EQ(output, first + "\nCouldn't load Image file : \"" + path + "\"\n") << c.name;
    }

    const std::string wood = TabulaTest::dataPath("images/wood.png");
    testing::internal::CaptureStdout();
    Rendering::Image image(wood);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Image File : \"" + wood + "\" loaded.\n");
    EXPECT_TRUE(image.isLoaded());
    EXPECT_EQ(image.getId(), 0u);
}
