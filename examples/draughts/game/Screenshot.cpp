#include "Screenshot.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <GL/gl.h>
#include <png.h>

#include <Rendering/Render.h>

namespace DraughtsGame
{

bool saveBackBuffer(const std::string& path)
{
    const Vec2<unsigned int> size = Rendering::Render::instance()->getSize();
    const int width = static_cast<int>(size.x());
    const int height = static_cast<int>(size.y());
    if (width <= 0 || height <= 0)
        return false;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());

    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // OpenGL's rows run bottom-up, a picture's top-down.
    for (int row = height - 1; row >= 0; --row)
        png_write_row(png, &pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) * 3]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

} // namespace DraughtsGame
