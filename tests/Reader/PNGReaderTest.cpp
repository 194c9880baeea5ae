#include <GL/gl.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Reader/PNGReader.h"
#include "Rendering/Image.h"
#include "support/TestPaths.h"

namespace
{

std::vector<std::string> suiteFiles(bool corrupt)
{
    std::vector<std::string> names;
    DIR* dir = opendir(TabulaTest::dataPath("pngsuite").c_str());
    while (dirent* entry = readdir(dir))
    {
        const std::string name = entry->d_name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0 && (name[0] == 'x') == corrupt)
            names.push_back(name);
    }
    closedir(dir);
    return names;
}

// Whether a chunk before the image data sets the file's gamma.
bool hasGamma(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    for (std::size_t at = 8; at + 8 <= bytes.size();)
    {
        const uint32_t length = (bytes[at] << 24u) | (bytes[at + 1] << 16u) | (bytes[at + 2] << 8u) | bytes[at + 3];
        const std::string type(bytes.begin() + at + 4, bytes.begin() + at + 8);
        if (type == "gAMA" || type == "sRGB")
            return true;
        if (type == "IDAT")
            return false;
        at += 12 + length;
    }
    return false;
}

struct Reference
{
    unsigned int width = 0;
    unsigned int height = 0;
    uint32_t format = 0;
    std::vector<unsigned char> pixels; // top-down, as libpng's simplified API gives them
};

// The independent decode: libpng's simplified API in the file's natural
// layout (16-bit files come out linear and premultiplied).
Reference referenceDecode(const std::string& path)
{
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    Reference reference;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return reference;
    image.format &= ~PNG_FORMAT_FLAG_COLORMAP;
    reference.width = image.width;
    reference.height = image.height;
    reference.format = image.format;
    reference.pixels.resize(PNG_IMAGE_SIZE(image));
    EXPECT_TRUE(png_image_finish_read(&image, nullptr, reference.pixels.data(), 0, nullptr)) << path;
    return reference;
}

uint16_t sample16(const unsigned char* bytes, std::size_t index)
{
    uint16_t value;
    std::memcpy(&value, bytes + 2 * index, 2);
    return value;
}

} // namespace

TEST(PNGReader, EverySuiteFileDecodesLikeLibpngSimplifiedApi)
{
    const std::vector<std::string> files = suiteFiles(false);
    ASSERT_GT(files.size(), 140u);
    for (const std::string& name : files)
    {
        SCOPED_TRACE(name);
        const std::string path = TabulaTest::dataPath("pngsuite/" + name);
        testing::internal::CaptureStdout();
        Rendering::Image image(path);
        const std::string output = testing::internal::GetCapturedStdout();
        ASSERT_TRUE(image.isLoaded()) << output;
        EXPECT_EQ(output, "Image File : \"" + path + "\" loaded.\n");

        const Reference reference = referenceDecode(path);
        const bool colour = reference.format & PNG_FORMAT_FLAG_COLOR;
        const bool alpha = reference.format & PNG_FORMAT_FLAG_ALPHA;
        const bool sixteen = reference.format & PNG_FORMAT_FLAG_LINEAR;
        const unsigned int format = colour ? (alpha ? GL_RGBA : GL_RGB) : (alpha ? GL_LUMINANCE_ALPHA : GL_LUMINANCE);
        ASSERT_EQ(image.getFormat(), format);
        ASSERT_EQ(image.getType(), sixteen ? GL_UNSIGNED_SHORT : GL_UNSIGNED_BYTE);
        ASSERT_EQ(static_cast<unsigned int>(image.getWidth()), reference.width);
        ASSERT_EQ(static_cast<unsigned int>(image.getHeight()), reference.height);

        const std::size_t channels = PNG_IMAGE_SAMPLE_CHANNELS(reference.format);
        const std::size_t rowSamples = reference.width * channels;
        const std::size_t sampleBytes = sixteen ? 2 : 1;
        ASSERT_EQ(image.getDataSize(), rowSamples * reference.height * sampleBytes);
        const bool gamma = hasGamma(path);
        int worst = 0;
        for (std::size_t row = 0; row < reference.height; ++row)
        {
            // Our rows are bottom-up, the reference's top-down.
            const std::size_t ours = (reference.height - 1 - row) * rowSamples;
            const std::size_t theirs = row * rowSamples;
            for (std::size_t s = 0; s < rowSamples; ++s)
            {
                const bool isAlpha = alpha && s % channels == channels - 1;
                int difference;
                if (!sixteen)
                {
                    difference = std::abs(int(image.getData()[ours + s]) - int(reference.pixels[theirs + s]));
                }
                else
                {
                    const double value = sample16(image.getData(), ours + s);
                    const double linear = sample16(reference.pixels.data(), theirs + s);
                    // Screen-encoded samples back to linear. libpng skips a
                    // correction within 5% of none, so the exponent may be off
                    // by that much.
                    double low = value;
                    double high = value;
                    if (!isAlpha && gamma)
                    {
                        low = 65535.0 * std::pow(value / 65535.0, 2.2 * 1.05);
                        high = 65535.0 * std::pow(value / 65535.0, 2.2 / 1.05);
                    }
                    if (!isAlpha && alpha)
                    {
                        const std::size_t alphaIndex = s - s % channels + channels - 1;
                        const double opacity = sample16(image.getData(), ours + alphaIndex) / 65535.0;
                        low *= opacity;
                        high *= opacity;
                    }
                    const double slack = gamma && !isAlpha ? 2.0 + 0.005 * linear : 1.0;
                    difference = linear >= low - slack && linear <= high + slack ? 0 : 1000;
                }
                if (isAlpha || !gamma)
                {
                    EXPECT_EQ(difference, 0) << "row " << row << " sample " << s;
                }
                worst = std::max(worst, difference);
            }
        }
        // 8-bit gamma correction is done by two independent table builds.
        EXPECT_LE(worst, gamma ? 2 : 0);
    }
}

TEST(PNGReader, CorruptSuiteFilesFailWithLibpngsText)
{
    struct Case
    {
        const char* file;
        const char* lines;
    };
    const Case cases[] = {
        {"xc1n0g08.png", "PNG lib warning : Invalid color type in IHDR\nPNG lib warning : Invalid IHDR data\n"
                         "Invalid IHDR data\n"},
        {"xc9n2c08.png", "PNG lib warning : Invalid color type in IHDR\nPNG lib warning : Invalid IHDR data\n"
                         "Invalid IHDR data\n"},
        {"xcrn0g04.png", "Error in header.\n"},
        {"xcsn0g01.png", "PNG lib warning : IDAT: CRC error\nIDAT: CRC error\n"},
        {"xd0n2c08.png", "PNG lib warning : Invalid bit depth in IHDR\n"
                         "PNG lib warning : Invalid color type/bit depth combination in IHDR\n"
                         "PNG lib warning : Invalid IHDR data\nInvalid IHDR data\n"},
        {"xd3n2c08.png", "PNG lib warning : Invalid bit depth in IHDR\n"
                         "PNG lib warning : Invalid color type/bit depth combination in IHDR\n"
                         "PNG lib warning : Invalid IHDR data\nInvalid IHDR data\n"},
        {"xd9n2c08.png", "PNG lib warning : Invalid bit depth in IHDR\nPNG lib warning : Invalid IHDR data\n"
                         "Invalid IHDR data\n"},
        {"xdtn0g01.png", "PNG lib warning : IEND: out of place\nIEND: out of place\n"},
        {"xhdn0g08.png", "PNG lib warning : IHDR: CRC error\nIHDR: CRC error\n"},
        {"xlfn0g04.png", "Error in header.\n"},
        {"xs1n0g01.png", "Error in header.\n"},
        {"xs2n0g01.png", "Error in header.\n"},
        {"xs4n0g01.png", "Error in header.\n"},
        {"xs7n0g01.png", "Error in header.\n"},
    };
    ASSERT_EQ(suiteFiles(true).size(), sizeof(cases) / sizeof(cases[0]));
    for (const Case& c : cases)
    {
        const std::string path = TabulaTest::dataPath(std::string("pngsuite/") + c.file);
        testing::internal::CaptureStdout();
        Rendering::Image image(path);
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_FALSE(image.isLoaded()) << c.file;
        EXPECT_EQ(output, std::string(c.lines) + "Couldn't load Image file : \"" + path + "\"\n") << c.file;
    }
}

TEST(PNGReader, OwnFailureCasesPrintTheirLine)
{
    struct Case
    {
        const char* file;
        const char* lines;
    };
    // Every path is under tests/data/images.
    const Case cases[] = {
        {"missing.png", "Couldn't open/find file : \"@\"\n"},
        {"short.png", "Error in header.\n"},
        {"jpeg_named.png", "Error in header.\n"},
        {"cut.png", "PNG lib warning : Read Error\nRead Error\n"},
        // Declares a 1.3 GB text chunk in a 92-byte file.
        {"huge_chunk.png",
         "PNG lib warning : zTXt: chunk data is too large\nPNG lib warning : Read Error\nRead Error\n"},
        {"wide.png", "PNG lib warning : Image width exceeds user limit in IHDR\n"
                     "PNG lib warning : Invalid IHDR data\nInvalid IHDR data\n"},
    };
    for (const Case& c : cases)
    {
        const std::string path = TabulaTest::dataPath(std::string("images/") + c.file);
        std::string lines = c.lines;
        const std::string::size_type at = lines.find('@');
        if (at != std::string::npos)
            lines.replace(at, 1, path);
        testing::internal::CaptureStdout();
        Rendering::Image image(path);
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_FALSE(image.isLoaded()) << c.file;
        EXPECT_EQ(output, lines + "Couldn't load Image file : \"" + path + "\"\n") << c.file;
    }
}

TEST(PNGReader, SixteenBitSamplesArriveInProcessorOrderAndRowsBottomUp)
{
    EXPECT_EQ(Reader::getCpuByteOrder(), 1); // the machines this runs on are little-endian
    testing::internal::CaptureStdout();
    Rendering::Image image(TabulaTest::dataPath("pngsuite/basn2c16.png"));
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(image.isLoaded());
    ASSERT_EQ(image.getType(), static_cast<unsigned int>(GL_UNSIGNED_SHORT));
    // The file's first row starts with red 0xFFFF, green 0xFFFF, blue 0x0000
    // and it is the last row of the buffer.
    const std::size_t lastRow = static_cast<std::size_t>(image.getHeight() - 1) * image.getWidth() * 6;
    const unsigned char* first = image.getData() + lastRow;
    EXPECT_EQ(first[0], 0xFF);
    EXPECT_EQ(first[1], 0xFF);
    EXPECT_EQ(first[4], 0x00);
    EXPECT_EQ(first[5], 0x00);

    std::ostringstream text;
    text << Reader::PNGError("bad chunk");
    EXPECT_EQ(text.str(), "bad chunk");
}

TEST(PNGReader, DecodesFromAStream)
{
    std::ifstream file(TabulaTest::dataPath("images/wood.png"), std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    testing::internal::CaptureStdout();
    Rendering::Image image("none.tga");
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(Reader::readPNGStream(bytes, &image));
    ASSERT_EQ(image.getFormat(), static_cast<unsigned int>(GL_RGB));
    // Bottom row of wood.png: blue, then white.
    const unsigned char expected[] = {0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255, 0};
    EXPECT_EQ(std::vector<unsigned char>(image.getData(), image.getData() + 12),
              std::vector<unsigned char>(expected, expected + 12));
}
