#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <Reader/PNGReader.h>
#include <Reader/PNGWriter.h>
#include <Rendering/Image.h>

#include "support/TestPaths.h"

TEST(PNGWriterTest, WrittenPicturesReadBackWithTheirRowsInOrder)
{
    for (auto [width, height] : {std::make_pair(1u, 1u), std::make_pair(3u, 2u), std::make_pair(257u, 5u)})
    {
        std::vector<unsigned char> rgb(width * height * 3);
        for (std::size_t i = 0; i < rgb.size(); ++i)
            rgb[i] = static_cast<unsigned char>(i * 7 + i / 3);
        const std::string path = TabulaTest::buildPath("written.png");
        testing::internal::CaptureStdout();
        ASSERT_TRUE(Reader::writePNGFile(path, rgb.data(), width, height));
        Rendering::Image image(path);
        testing::internal::GetCapturedStdout();
        ASSERT_TRUE(image.isLoaded());
        ASSERT_EQ(image.getWidth(), static_cast<int>(width));
        ASSERT_EQ(image.getHeight(), static_cast<int>(height));
        // The reader keeps rows bottom-up: the file's first row comes last.
        const std::size_t row = width * 3;
        for (unsigned int y = 0; y < height; ++y)
            EXPECT_TRUE(std::equal(rgb.begin() + y * row, rgb.begin() + (y + 1) * row,
                                   image.getData() + (height - 1 - y) * row))
                << width << "x" << height << " row " << y;
        std::remove(path.c_str());
    }
}

TEST(PNGWriterTest, AFileThatCannotBeWrittenFailsWithOneLineAndLeavesNothing)
{
    const unsigned char pixel[3] = {1, 2, 3};
    // Noise does not compress: libpng itself meets the full device.
    std::vector<unsigned char> noise(3 * 256 * 256);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<unsigned char>((i * 2654435761u) >> 13);
    struct Case
    {
        std::string path;
        const unsigned char* rgb;
        unsigned int width;
        unsigned int height;
    };
    const std::string missing = TabulaTest::buildPath("no-such-folder/out.png");
    const std::string plain = TabulaTest::buildPath("not-written.png");
    const Case cases[] = {
        {missing, pixel, 1, 1},
        // The device opens but takes no byte; it must still be there after.
        {"/dev/full", pixel, 1, 1},
        {"/dev/full", noise.data(), 256, 256},
        {plain, pixel, 0, 1},
        {plain, pixel, 1, 0},
        {plain, nullptr, 1, 1},
        {plain, pixel, Reader::c_MaxPNGDimension + 1, 1},
    };
    for (const Case& c : cases)
    {
        testing::internal::CaptureStdout();
        EXPECT_FALSE(Reader::writePNGFile(c.path, c.rgb, c.width, c.height)) << c.path;
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
        EXPECT_NE(output.find(c.path), std::string::npos) << output;
        EXPECT_TRUE(c.path != "/dev/full" || std::ifstream("/dev/full").good());
        EXPECT_FALSE(std::ifstream(plain).good()) << c.width << "x" << c.height;
    }
}
