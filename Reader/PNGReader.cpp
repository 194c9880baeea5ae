#include "Reader/PNGReader.h"

#include <GL/gl.h>
#include <png.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <new>

#include "Core/Log.h"
#include "Rendering/Image.h"

namespace Reader
{

std::ostream& operator<<(std::ostream& stream, const PNGError& error)
{
    return stream << error.m_Message;
}

void png_read_istream(png_struct_def* png, unsigned char* data, std::size_t length)
{
    std::istream* stream = static_cast<std::istream*>(png_get_io_ptr(png));
    stream->read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(length));
    // libpng must never decode bytes that were not in the file.
    if (static_cast<std::size_t>(stream->gcount()) != length)
        png_error(png, "Read Error");
}

void user_error_fn(png_struct_def* png, const char* message)
{
    Core::log(Core::LogLevel::Warning, "PNGReader", std::string("PNG lib warning : ") + message);
    PNGError* error = static_cast<PNGError*>(png_get_error_ptr(png));
    if (error != nullptr)
        error->m_Message = message;
    // libpng's frames are C: leave them through its own longjmp rather than
    // unwinding an exception across them.
    png_longjmp(png, 1);
}

void user_warning_fn(png_struct_def*, const char* message)
{
    Core::log(Core::LogLevel::Warning, "PNGReader", std::string("PNG lib warning : ") + message);
}

void png_write_ostream(png_struct_def* png, unsigned char* data, std::size_t length)
{
    std::ostream* stream = static_cast<std::ostream*>(png_get_io_ptr(png));
    stream->write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(length));
}

void png_flush_ostream(png_struct_def* png)
{
    std::ostream* stream = static_cast<std::ostream*>(png_get_io_ptr(png));
    stream->flush();
}

int getCpuByteOrder()
{
    const unsigned char bytes[2] = {0x00, 0x01};
    uint16_t word;
    static_assert(sizeof(word) == sizeof(bytes), "a 16-bit word");
    std::memcpy(&word, bytes, sizeof(word));
    return word == 1 ? 0 : 1;
}

namespace
{

unsigned int formatOf(int colorType, int channels)
{
    switch (colorType)
    {
    case PNG_COLOR_TYPE_GRAY:
        // tRNS on a gray file adds an alpha sample to every pixel.
        return channels == 2 ? GL_LUMINANCE_ALPHA : GL_LUMINANCE;
    case PNG_COLOR_TYPE_RGB:
    case PNG_COLOR_TYPE_PALETTE:
        return channels == 4 ? GL_RGBA : GL_RGB;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return GL_LUMINANCE_ALPHA;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return GL_RGBA;
    default:
        return 0;
    }
}

// libpng sizes its chunk buffers from the lengths the file declares and clears
// them before reading: a 92-byte file can ask for a gigabyte. Its allocations
// go through here and are refused above the chunk limit (the pixel buffer is
// the reader's own).
png_voidp limitedMalloc(png_structp, png_alloc_size_t size)
{
    return size > c_MaxPNGChunkBytes ? nullptr : std::malloc(size);
}

void limitedFree(png_structp, png_voidp block)
{
    std::free(block);
}

void requestTransforms(png_structp png, png_infop info, int bitDepth, int colorType)
{
    if (bitDepth > 8 && getCpuByteOrder() == 1)
        png_set_swap(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (bitDepth < 8)
        png_set_packing(png);
    double gamma = 0.0;
    if (png_get_gAMA(png, info, &gamma))
        png_set_gamma(png, 2.2, gamma);
    else
        png_set_gamma(png, 2.2, 0.45454545454545453);
}

} // namespace

bool readPNGFile(const std::string& fileName, Rendering::Image* image)
{
    std::ifstream stream(fileName.c_str(), std::ios::in | std::ios::binary);
    if (!stream.is_open())
    {
        Core::log(Core::LogLevel::Warning, "PNGReader", "Couldn't open/find file : \"" + fileName + "\"");
        return false;
    }
    return readPNGStream(stream, image);
}

bool readPNGStream(std::istream& stream, Rendering::Image* image)
{
    PNGError error;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr)
    {
        Core::log(Core::LogLevel::Warning, "PNGReader", "PNG lib warning : Insufficient memory");
        return false;
    }
    png_set_error_fn(png, &error, user_error_fn, user_warning_fn);
    png_set_mem_fn(png, nullptr, limitedMalloc, limitedFree);
    png_infop info = png_create_info_struct(png);
    png_infop endInfo = png_create_info_struct(png);
    if (info == nullptr || endInfo == nullptr)
    {
        png_destroy_read_struct(&png, &info, &endInfo);
        Core::log(Core::LogLevel::Warning, "PNGReader", "PNG lib warning : Insufficient memory");
        return false;
    }

    unsigned char signature[8];
    stream.read(reinterpret_cast<char*>(signature), sizeof(signature));
    if (stream.gcount() != sizeof(signature) || png_sig_cmp(signature, 0, sizeof(signature)) != 0)
    {
        png_destroy_read_struct(&png, &info, &endInfo);
        Core::log(Core::LogLevel::Warning, "PNGReader", "Error in header.");
        return false;
    }

    // Written between setjmp and a possible longjmp, so kept volatile.
    unsigned char* volatile buffer = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png)))
    {
        delete[] rows;
        delete[] buffer;
        Core::log(Core::LogLevel::Warning, "PNGReader", error.m_Message);
        png_destroy_read_struct(&png, &info, &endInfo);
        return false;
    }

    png_set_read_fn(png, &stream, png_read_istream);
    png_set_sig_bytes(png, sizeof(signature));
    // The file decides how much the decoder allocates: keep that bounded.
    png_set_user_limits(png, c_MaxPNGDimension, c_MaxPNGDimension);
    png_set_chunk_malloc_max(png, c_MaxPNGChunkBytes);
    png_read_info(png, info);

    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    requestTransforms(png, info, bitDepth, colorType);
    // Asked for explicitly: png_read_image would otherwise do it with a warning.
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const std::size_t rowBytes = png_get_rowbytes(png, info);
    if (static_cast<unsigned long long>(rowBytes) * height > c_MaxPNGBytes)
        png_error(png, "Image too large");
    buffer = new (std::nothrow) unsigned char[rowBytes * height];
    rows = new (std::nothrow) png_bytep[height];
    if (buffer == nullptr || rows == nullptr)
        png_error(png, "Insufficient memory");
    for (png_uint_32 k = 0; k < height; ++k)
        rows[k] = buffer + (height - 1 - k) * rowBytes;
    png_read_image(png, rows);
    delete[] rows;
    rows = nullptr;
    png_read_end(png, endInfo);

    const unsigned int type = bitDepth > 8 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_BYTE;
    const unsigned int format = formatOf(colorType, png_get_channels(png, info));
    png_destroy_read_struct(&png, &info, &endInfo);
    if (format == 0)
    {
        delete[] buffer;
        Core::log(Core::LogLevel::Warning, "PNGReader", "Pixel Format error ...");
        return false;
    }
    image->setData(static_cast<int>(width), static_cast<int>(height), 1, static_cast<int>(format), format, type,
                   buffer);
    return true;
}

} // namespace Reader
