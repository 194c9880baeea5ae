#include <GL/gl.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <set>
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
    for (const auto& entry : std::filesystem::directory_iterator(TabulaTest::dataPath("pngsuite")))
        if (entry.path().extension() == ".png" && (entry.path().filename().string()[0] == 'x') == corrupt)
            names.push_back(entry.path().filename());
    return names;
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

        // The independent decode: libpng's simplified API in the file's natural
        // layout (16-bit files come out linear and premultiplied), top-down.
        png_image reference;
        std::memset(&reference, 0, sizeof(reference));
        reference.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&reference, path.c_str()));
        reference.format &= ~PNG_FORMAT_FLAG_COLORMAP;
        std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(reference));
        ASSERT_TRUE(png_image_finish_read(&reference, nullptr, pixels.data(), 0, nullptr));
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
        // 8-bit gamma correction is done by two independent table builds, so
        // colour samples may differ by 2, alpha ones not. 16-bit colour comes
        // out of the reference linear and premultiplied: its gamma is
        // libpng's own business, so only 16-bit alpha is compared.
        for (std::size_t theirs = 0; theirs < rowSamples * reference.height; ++theirs)
        {
            // Our rows are bottom-up, the reference's top-down.
            const std::size_t s = theirs % rowSamples;
            const std::size_t ours = (reference.height - 1 - theirs / rowSamples) * rowSamples + s;
            const bool isAlpha = alpha && s % channels == channels - 1;
            int difference = 0;
            if (!sixteen)
                difference = std::abs(int(image.getData()[ours]) - int(pixels[theirs]));
            else if (isAlpha)
                difference = std::abs(sample16(image.getData(), ours) - sample16(pixels.data(), theirs));
            ASSERT_LE(difference, isAlpha ? 0 : 2) << "sample " << theirs << " counted from the top row";
        }
    }
}

// Files the reader refuses itself print its own line (a missing one is
// ImageTest's); those libpng refuses print libpng's warnings, each prefixed,
// then its error on a line of its own (the last warning repeats it). Either
// way no image and the closing line.
TEST(PNGReader, BrokenFilesFailWithALineAndNoImage)
{
    std::vector<std::string> files;
    for (const std::string& name : suiteFiles(true))
        files.push_back("pngsuite/" + name);
    ASSERT_EQ(files.size(), 14u);
    // huge_chunk.png declares a 1.3 GB text chunk in a 92-byte file.
    for (const char* name : {"short.png", "cut.png", "huge_chunk.png", "wide.png"})
        files.push_back(std::string("images/") + name);
    const std::set<std::string> badHeader = {"pngsuite/xcrn0g04.png", "pngsuite/xlfn0g04.png", "pngsuite/xs1n0g01.png",
                                             "pngsuite/xs2n0g01.png", "pngsuite/xs4n0g01.png", "pngsuite/xs7n0g01.png",
                                             "images/short.png"};
    const std::string warning = "PNG lib warning : ";
    for (const std::string& file : files)
    {
        SCOPED_TRACE(file);
        const std::string path = TabulaTest::dataPath(file);
        testing::internal::CaptureStdout();
        Rendering::Image image(path);
        std::istringstream output(testing::internal::GetCapturedStdout());
        EXPECT_FALSE(image.isLoaded());
        std::vector<std::string> lines;
        for (std::string line; std::getline(output, line);)
            lines.push_back(line);
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines.back(), "Couldn't load Image file : \"" + path + "\"");
        lines.pop_back();
        if (badHeader.count(file) != 0)
            EXPECT_EQ(lines, std::vector<std::string>{"Error in header."});
        else
        {
            ASSERT_GE(lines.size(), 2u);
            for (std::size_t i = 0; i + 1 < lines.size(); ++i)
                EXPECT_EQ(lines[i].compare(0, warning.size(), warning), 0) << lines[i];
            EXPECT_EQ(lines[lines.size() - 2], warning + lines.back());
        }
    }
}
