// Encodes a binary PPM (P6, 8-bit) as a baseline JPEG: the one step of the
// draughts asset generator that the Python standard library cannot do.
// Usage: draughts_assets IN.ppm OUT.jpg QUALITY
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace
{

bool readPpm(const std::string& path, int& width, int& height, std::vector<unsigned char>& pixels)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();
    // The generator writes small square pictures; anything else is a mistake.
    if (!in || magic != "P6" || maximum != 255 || width <= 0 || height <= 0 || width > 4096 || height > 4096)
        return false;
    pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    in.read(reinterpret_cast<char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
    return static_cast<std::size_t>(in.gcount()) == pixels.size();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::cerr << "usage: draughts_assets IN.ppm OUT.jpg QUALITY" << std::endl;
        return 2;
    }
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
    if (!readPpm(argv[1], width, height, pixels))
    {
        std::cerr << "not an 8-bit binary PPM: " << argv[1] << std::endl;
        return 1;
    }
    FILE* out = std::fopen(argv[2], "wb");
    if (!out)
    {
        std::cerr << "cannot write " << argv[2] << std::endl;
        return 1;
    }

    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, std::atoi(argv[3]), TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height)
    {
        JSAMPROW row = &pixels[static_cast<std::size_t>(info.next_scanline) * static_cast<std::size_t>(width) * 3];
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(out);
    return 0;
}
