#pragma once

#include <TabulaExport.h>

#include <istream>
#include <ostream>
#include <string>

struct jpeg_common_struct;
struct jpeg_compress_struct;
struct jpeg_decompress_struct;

namespace Rendering
{
class Image;
}

namespace Reader
{

/// JPEG reader output contract (what Rendering::Image::setData receives):
///
///   file colour space           | format        | bytes per pixel
///   ----------------------------+---------------+----------------
///   grayscale                   | GL_LUMINANCE  | 1
///   any other (YCbCr, RGB, ...) | GL_RGB        | 3 (libjpeg converts; one it cannot convert fails)
///
/// - type GL_UNSIGNED_BYTE; depth 1; internal format = format;
/// - rows tightly packed and stored bottom-up (the file's first row is the
///   last row of the buffer);
/// - a file cut short decodes: libjpeg warns "Premature end of JPEG file" on
///   the standard error and the missing part is filled as libjpeg completes
///   a picture after an end-of-image marker;
/// - refused before the pixel buffer is allocated (jpegerror 2): width or
///   height above c_MaxJPEGDimension, or a buffer above c_MaxJPEGBytes;
///   a progressive file of more than c_MaxJPEGScans scans is a libjpeg error;
/// - failure: "Couldn't find/load texture : \"<name>" on the standard output
///   when the file does not open; otherwise only libjpeg's own messages
///   (standard error), and jpegerror tells why. The image is left without
///   pixels.
TABULA_EXPORT bool readJPEGFile(const std::string& fileName, Rendering::Image* image);
/// The same decoding from an open binary stream (everything but the
/// "Couldn't find/load texture" case).
TABULA_EXPORT bool readJPEGStream(std::istream& stream, Rendering::Image* image);

constexpr int c_MaxJPEGDimension = 16384;
constexpr unsigned long long c_MaxJPEGBytes = 1ull << 28;
constexpr int c_MaxJPEGScans = 1000;

/// Code of the last error of simage_jpeg_load: 0 none, 1 the file did not
/// open, 2 no pixel buffer could be had, 3 libjpeg reported an error.
TABULA_EXPORT int& jpegerror();

/// Decodes a JPEG stream as 8-bit gray (components 1) or RGB (components 3),
/// rows bottom-up. Returns a new[] buffer owned by the caller, or null (see
/// jpegerror). The out-values are written only on success.
TABULA_EXPORT unsigned char* simage_jpeg_load(std::istream& stream, int* width, int* height, int* components);
/// 1 when bytes 6 to 9 of the header read "JFIF" (at least 10 bytes), else 0.
TABULA_EXPORT int simage_jpeg_identify(const char* fileName, const unsigned char* header, int headerLength);
/// Copies the text of the last error (strncpy semantics) and returns its code.
TABULA_EXPORT int simage_jpeg_error(char* buffer, int bufferSize);

/// libjpeg error_exit replacement: jumps back into simage_jpeg_load.
TABULA_EXPORT void my_error_exit(jpeg_common_struct* cinfo);
/// Copies `length` bytes and returns destination - length: the row above in a
/// bottom-up buffer.
TABULA_EXPORT unsigned char* copyScanline(unsigned char* destination, unsigned char* source, int length);

/// libjpeg source manager reading from a std::istream in 4096-byte blocks.
/// A stream that ends early gets a fake end-of-image marker after a warning.
TABULA_EXPORT void jpeg_istream_src(jpeg_decompress_struct* cinfo, std::istream* stream);
/// libjpeg destination manager writing to a std::ostream in 4096-byte blocks.
TABULA_EXPORT void jpeg_stream_dest(jpeg_compress_struct* cinfo, std::ostream* stream);

} // namespace Reader
