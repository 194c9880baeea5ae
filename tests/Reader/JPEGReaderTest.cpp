#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "Reader/JPEGReader.h"
#include "Rendering/Image.h"
#include "support/LogCapture.h"
#include "support/TestPaths.h"

namespace
{

Rendering::Image* quietImage(const std::string& path, std::string* output = nullptr)
{
    TabulaTest::LogCapture log;
    Rendering::Image* image = new Rendering::Image(path);
    if (output != nullptr)
        *output = log.out();
    return image;
}

} // namespace

// Exactness is checked against libjpeg decoding the same file from memory
// with its defaults. The file cut in half decodes too: the top rows of the
// picture (the end of the buffer) came from the file, the bottom ones were
// made up.
TEST(JPEGReader, BaselineFileDecodesLikeBareLibjpegWithRowsFlipped)
{
    const std::string path = TabulaTest::dataPath("jpeg/testorig.jpg");
    std::ifstream file(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    const std::size_t row = cinfo.output_width * 3;
    std::vector<unsigned char> reference(row * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height)
    {
        JSAMPROW target = reference.data() + cinfo.output_scanline * row;
        jpeg_read_scanlines(&cinfo, &target, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);

    std::unique_ptr<Rendering::Image> image(quietImage(path));
    ASSERT_TRUE(image->isLoaded());
    const int width = image->getWidth();
    const int height = image->getHeight();
    ASSERT_EQ(width, 227);
    ASSERT_EQ(height, 149);
    EXPECT_EQ(image->getFormat(), static_cast<unsigned int>(GL_RGB));
    EXPECT_EQ(image->getType(), static_cast<unsigned int>(GL_UNSIGNED_BYTE));
    for (int y = 0; y < height; ++y)
        ASSERT_TRUE(std::equal(reference.begin() + y * row, reference.begin() + (y + 1) * row,
                               image->getData() + (height - 1 - y) * row))
            << "row " << y;

    std::unique_ptr<Rendering::Image> cut(quietImage(TabulaTest::dataPath("images/cut.jpg")));
    ASSERT_TRUE(cut->isLoaded());
    EXPECT_EQ(Reader::jpegerror(), 0);
    const std::size_t size = image->getDataSize();
    ASSERT_EQ(cut->getDataSize(), size);
    EXPECT_TRUE(std::equal(cut->getData() + size - 8 * row, cut->getData() + size, image->getData() + size - 8 * row));

    std::unique_ptr<Rendering::Image> gray(quietImage(TabulaTest::dataPath("images/gray.jpg")));
    ASSERT_TRUE(gray->isLoaded());
    EXPECT_EQ(gray->getFormat(), static_cast<unsigned int>(GL_LUMINANCE));
    EXPECT_EQ(gray->getDataSize(), static_cast<std::size_t>(width) * height);
}

TEST(JPEGReader, BadFilesFailCleanlyWithTheirCode)
{
    struct Case
    {
        const char* file;
        int code;
        const char* text;
    };
    const Case cases[] = {
        {"jpeg/monkey12.jpg", 3, "JPEG loader: Illegal jpeg file"},
        {"images/empty.jpg", 3, "JPEG loader: Illegal jpeg file"},
        {"images/wide.jpg", 2, "JPEG loader: Out of memory error"},
    };
    for (const Case& c : cases)
    {
        const std::string path = TabulaTest::dataPath(c.file);
        std::string output;
        testing::internal::CaptureStderr();
        std::unique_ptr<Rendering::Image> image(quietImage(path, &output));
        testing::internal::GetCapturedStderr();
        EXPECT_FALSE(image->isLoaded()) << c.file;
        EXPECT_EQ(output, "Couldn't load Image file : \"" + path + "\"\n") << c.file;
        char text[64] = {};
        EXPECT_EQ(Reader::simage_jpeg_error(text, sizeof(text)), c.code) << c.file;
        EXPECT_STREQ(text, c.text) << c.file;
    }
}

TEST(JPEGReader, IdentifyWantsTenBytesEndingInJfif)
{
    const unsigned char jfif[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0};
    EXPECT_EQ(Reader::simage_jpeg_identify("any", jfif, 10), 1);
    EXPECT_EQ(Reader::simage_jpeg_identify("any", jfif, 9), 0);
    const unsigned char exif[] = {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x10, 'E', 'x', 'i', 'f', 0, 0};
    EXPECT_EQ(Reader::simage_jpeg_identify("any", exif, sizeof(exif)), 0);
}

TEST(JPEGReader, StreamDestinationAndSourceRoundTrip)
{
    const int width = 40;
    const int height = 3;
    std::vector<unsigned char> pixels(width * height * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<unsigned char>(i / 3 / width * 100); // one flat shade per row

    std::ostringstream encoded;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    Reader::jpeg_stream_dest(&cinfo, &encoded);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height)
    {
        JSAMPROW row = pixels.data() + cinfo.next_scanline * width * 3;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);

    std::istringstream stream(encoded.str());
    int w = 0, h = 0, components = 0; // the flip and the channel count are the baseline file's
    std::unique_ptr<unsigned char[]> decoded(Reader::simage_jpeg_load(stream, &w, &h, &components));
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, height);
    EXPECT_NEAR(decoded[0], 200, 3); // bottom-up: the last row's shade
}
