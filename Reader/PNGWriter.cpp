#include <Reader/PNGWriter.h>

#include <csetjmp>
#include <cstdio>

#include <png.h>
#include <sys/stat.h>

#include <Core/Log.h>
#include <Reader/PNGReader.h>

namespace Reader
{

namespace
{
// libpng leaves through longjmp; the failure goes out once, from the caller,
// and libpng's own words only as detail.
void silentError(png_structp png, png_const_charp message)
{
    Core::log(Core::LogLevel::Debug, "PNGWriter", message);
    png_longjmp(png, 1);
}
void silentWarning(png_structp, png_const_charp message)
{
    Core::log(Core::LogLevel::Debug, "PNGWriter", message);
}

// Only trivially destructible locals live here, as longjmp skips destructors.
bool encode(std::FILE* file, const unsigned char* rgb, unsigned int width, unsigned int height)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, silentError, silentWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    for (unsigned int y = 0; y < height; ++y)
        png_write_row(png, rgb + row * y);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
} // namespace

bool writePNGFile(const std::string& fileName, const unsigned char* rgb, unsigned int width, unsigned int height)
{
    bool written = false;
    if (rgb && width > 0 && height > 0 && width <= c_MaxPNGDimension && height <= c_MaxPNGDimension)
        if (std::FILE* file = std::fopen(fileName.c_str(), "wb"))
        {
            written = encode(file, rgb, width, height);
            // A full disk may show only when the last buffer is flushed.
            written = std::fclose(file) == 0 && written;
            // Only a half-written plain file goes; a device or pipe is never removed.
            struct stat status;
            if (!written && stat(fileName.c_str(), &status) == 0 && S_ISREG(status.st_mode))
                std::remove(fileName.c_str());
        }
    if (!written)
        Core::log(Core::LogLevel::Warning, "PNGWriter", "Couldn't write file : \"" + fileName + "\"");
    return written;
}

} // namespace Reader
