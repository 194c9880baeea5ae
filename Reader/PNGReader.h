#pragma once

#include <TabulaExport.h>

#include <istream>
#include <ostream>
#include <string>

struct png_struct_def;

namespace Rendering
{
class Image;
}

namespace Reader
{

/// PNG reader output contract (what Rendering::Image::setData receives):
///
///   file colour type            | format              | bytes per pixel (8-bit / 16-bit)
///   ----------------------------+---------------------+---------------------------------
///   gray (1, 2, 4, 8, 16 bits)  | GL_LUMINANCE        | 1 / 2
///   gray + tRNS                 | GL_LUMINANCE_ALPHA  | 2 / 4
///   gray with alpha             | GL_LUMINANCE_ALPHA  | 2 / 4
///   palette, RGB                | GL_RGB              | 3 / 6
///   palette + tRNS, RGB + tRNS  | GL_RGBA             | 4 / 8
///   RGB with alpha              | GL_RGBA             | 4 / 8
///
/// - type: GL_UNSIGNED_BYTE for files of 8 bits or fewer per sample (1, 2 and
///   4-bit samples are widened to 8), GL_UNSIGNED_SHORT for 16-bit files, with
///   the samples in the processor's own byte order;
/// - rows tightly packed and stored bottom-up (the file's first row is the
///   last row of the buffer); depth 1; internal format = format;
/// - gamma: samples are corrected for a screen gamma of 2.2 from the file's
///   gAMA (or its sRGB chunk); a file without one is taken as 1/2.2, so its
///   samples pass unchanged;
/// - refused before any pixel buffer is allocated: width or height above
///   c_MaxPNGDimension, or a decoded buffer above c_MaxPNGBytes; a chunk that
///   would need more than c_MaxPNGChunkBytes is not held (libpng warns or
///   fails, as for any allocation failure);
/// - failure prints one line on the standard output: "Couldn't open/find file :
///   \"<name>\"", "Error in header." (fewer than 8 bytes or no PNG signature),
///   "Pixel Format error ...", or for a libpng error "PNG lib warning : <text>"
///   followed by the text alone on a second line. libpng warnings print
///   "PNG lib warning : <text>" and decoding goes on. A file cut short is a
///   libpng error ("Read Error"). The image is left without pixels.
TABULA_EXPORT bool readPNGFile(const std::string& fileName, Rendering::Image* image);
/// The same decoding from an open binary stream (everything but the
/// "Couldn't open/find file" case).
TABULA_EXPORT bool readPNGStream(std::istream& stream, Rendering::Image* image);

/// Widest and tallest picture a PNG file may declare.
constexpr unsigned int c_MaxPNGDimension = 16384;
/// Largest decoded buffer a PNG file may ask for (256 MiB).
constexpr unsigned long long c_MaxPNGBytes = 1ull << 28;
/// Largest single block libpng may allocate while decoding (8 MiB): chunk
/// buffers are sized from lengths the file declares.
constexpr unsigned long c_MaxPNGChunkBytes = 1ul << 23;

/// The text of a libpng error, carried from the error callback to the reader.
class TABULA_EXPORT PNGError
{
public:
    explicit PNGError(const std::string& message = std::string()) : m_Message(message) {}
    std::string m_Message;
};

/// Writes the message without a newline.
TABULA_EXPORT std::ostream& operator<<(std::ostream& stream, const PNGError& error);

/// libpng read callback over the std::istream given as io pointer. A short read
/// is a libpng error ("Read Error") so libpng never sees unread bytes.
TABULA_EXPORT void png_read_istream(png_struct_def* png, unsigned char* data, std::size_t length);
/// libpng error callback: prints "PNG lib warning : <text>", keeps the text in
/// the PNGError given as error pointer and never returns to libpng.
TABULA_EXPORT void user_error_fn(png_struct_def* png, const char* message);
/// libpng warning callback: prints "PNG lib warning : <text>" and returns.
TABULA_EXPORT void user_warning_fn(png_struct_def* png, const char* message);
/// libpng write and flush callbacks over the std::ostream given as io pointer.
TABULA_EXPORT void png_write_ostream(png_struct_def* png, unsigned char* data, std::size_t length);
TABULA_EXPORT void png_flush_ostream(png_struct_def* png);

/// 1 on a little-endian processor, 0 on a big-endian one.
TABULA_EXPORT int getCpuByteOrder();

} // namespace Reader
