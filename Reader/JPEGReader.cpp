#include "Reader/JPEGReader.h"

#include <GL/gl.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <new>

// libjpeg's headers need FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "Core/Log.h"
#include "Rendering/Image.h"

namespace Reader
{

namespace
{

int s_JpegError = 0;

const unsigned char jpgcmp[4] = {'J', 'F', 'I', 'F'};
const std::size_t c_BufferSize = 4096;

const char* const c_ErrorTexts[] = {nullptr, "JPEG loader: Error opening file", "JPEG loader: Out of memory error",
                                    "JPEG loader: Illegal jpeg file"};

struct my_error_mgr
{
    jpeg_error_mgr pub;
    std::jmp_buf setjmp_buffer;
};

struct istream_source_mgr
{
    jpeg_source_mgr pub;
    std::istream* stream;
    JOCTET* buffer;
    boolean start_of_file;
};

struct ostream_destination_mgr
{
    jpeg_destination_mgr pub;
    std::ostream* stream;
    JOCTET* buffer;
};

void init_source(j_decompress_ptr cinfo)
{
    reinterpret_cast<istream_source_mgr*>(cinfo->src)->start_of_file = TRUE;
}

boolean fill_input_buffer(j_decompress_ptr cinfo)
{
    istream_source_mgr* source = reinterpret_cast<istream_source_mgr*>(cinfo->src);
    source->stream->read(reinterpret_cast<char*>(source->buffer), c_BufferSize);
    std::size_t count = static_cast<std::size_t>(source->stream->gcount());
    if (count == 0)
    {
        if (source->start_of_file)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        count = 2;
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = count;
    source->start_of_file = FALSE;
    return TRUE;
}

void skip_input_data(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr* source = cinfo->src;
    while (count > static_cast<long>(source->bytes_in_buffer))
    {
        count -= static_cast<long>(source->bytes_in_buffer);
        fill_input_buffer(cinfo);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<std::size_t>(count);
}

void term_source(j_decompress_ptr) {}

void init_destination(j_compress_ptr cinfo)
{
    ostream_destination_mgr* destination = reinterpret_cast<ostream_destination_mgr*>(cinfo->dest);
    destination->buffer = static_cast<JOCTET*>(
        (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, c_BufferSize));
    destination->pub.next_output_byte = destination->buffer;
    destination->pub.free_in_buffer = c_BufferSize;
}

boolean empty_output_buffer(j_compress_ptr cinfo)
{
    ostream_destination_mgr* destination = reinterpret_cast<ostream_destination_mgr*>(cinfo->dest);
    destination->stream->write(reinterpret_cast<const char*>(destination->buffer), c_BufferSize);
    if (!destination->stream->good())
        ERREXIT(cinfo, JERR_FILE_WRITE);
    destination->pub.next_output_byte = destination->buffer;
    destination->pub.free_in_buffer = c_BufferSize;
    return TRUE;
}

void term_destination(j_compress_ptr cinfo)
{
    ostream_destination_mgr* destination = reinterpret_cast<ostream_destination_mgr*>(cinfo->dest);
    const std::size_t used = c_BufferSize - destination->pub.free_in_buffer;
    if (used > 0)
    {
        destination->stream->write(reinterpret_cast<const char*>(destination->buffer),
                                   static_cast<std::streamsize>(used));
        if (!destination->stream->good())
            ERREXIT(cinfo, JERR_FILE_WRITE);
    }
    destination->stream->flush();
    if (!destination->stream->good())
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

// A progressive file can hold any number of scans, each a pass over the whole
// picture: a crafted one would keep the decoder busy for minutes.
void limitScans(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > c_MaxJPEGScans)
        ERREXIT(cinfo, JERR_IMAGE_TOO_BIG);
}

// libjpeg's warnings, such as "Premature end of JPEG file", as libjpeg
// prints them (on the standard error), through the library's log.
void logMessage(jpeg_common_struct* cinfo)
{
    char text[JMSG_LENGTH_MAX];
    cinfo->err->format_message(cinfo, text);
    Core::log(Core::LogLevel::Error, "JPEGReader", text);
}

} // namespace

int& jpegerror()
{
    return s_JpegError;
}

void my_error_exit(jpeg_common_struct* cinfo)
{
    char text[JMSG_LENGTH_MAX];
    cinfo->err->format_message(cinfo, text);
    Core::log(Core::LogLevel::Debug, "JPEGReader", text);
    my_error_mgr* error = reinterpret_cast<my_error_mgr*>(cinfo->err);
    std::longjmp(error->setjmp_buffer, 1);
}

unsigned char* copyScanline(unsigned char* destination, unsigned char* source, int length)
{
    std::memcpy(destination, source, static_cast<std::size_t>(length));
    return destination - length;
}

void jpeg_istream_src(jpeg_decompress_struct* cinfo, std::istream* stream)
{
    if (cinfo->src == nullptr)
    {
        j_common_ptr common = reinterpret_cast<j_common_ptr>(cinfo);
        istream_source_mgr* source = static_cast<istream_source_mgr*>(
            (*cinfo->mem->alloc_small)(common, JPOOL_PERMANENT, sizeof(istream_source_mgr)));
        source->buffer = static_cast<JOCTET*>((*cinfo->mem->alloc_small)(common, JPOOL_PERMANENT, c_BufferSize));
        cinfo->src = &source->pub;
    }
    istream_source_mgr* source = reinterpret_cast<istream_source_mgr*>(cinfo->src);
    source->pub.init_source = init_source;
    source->pub.fill_input_buffer = fill_input_buffer;
    source->pub.skip_input_data = skip_input_data;
    source->pub.resync_to_restart = jpeg_resync_to_restart;
    source->pub.term_source = term_source;
    source->stream = stream;
    source->pub.bytes_in_buffer = 0;
    source->pub.next_input_byte = nullptr;
}

void jpeg_stream_dest(jpeg_compress_struct* cinfo, std::ostream* stream)
{
    if (cinfo->dest == nullptr)
    {
        cinfo->dest = static_cast<jpeg_destination_mgr*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(ostream_destination_mgr)));
    }
    ostream_destination_mgr* destination = reinterpret_cast<ostream_destination_mgr*>(cinfo->dest);
    destination->pub.init_destination = init_destination;
    destination->pub.empty_output_buffer = empty_output_buffer;
    destination->pub.term_destination = term_destination;
    destination->stream = stream;
}

unsigned char* simage_jpeg_load(std::istream& stream, int* width, int* height, int* components)
{
    s_JpegError = 0;
    jpeg_decompress_struct cinfo;
    my_error_mgr error;
    jpeg_progress_mgr progress;
    cinfo.err = jpeg_std_error(&error.pub);
    error.pub.error_exit = my_error_exit;
    error.pub.output_message = logMessage;
    progress.progress_monitor = limitScans;

    // Written between setjmp and a possible longjmp, so kept volatile.
    unsigned char* volatile buffer = nullptr;
    if (setjmp(error.setjmp_buffer))
    {
        s_JpegError = 3;
        jpeg_destroy_decompress(&cinfo);
        delete[] buffer;
        return nullptr;
    }

    jpeg_create_decompress(&cinfo);
    cinfo.progress = &progress;
    jpeg_istream_src(&cinfo, &stream);
    jpeg_read_header(&cinfo, TRUE);

    int outComponents = 3;
    if (cinfo.jpeg_color_space == JCS_GRAYSCALE)
    {
        outComponents = 1;
        cinfo.out_color_space = JCS_GRAYSCALE;
    }
    else
        cinfo.out_color_space = JCS_RGB;

    // The header alone decides the buffer size: refuse sizes no picture for a
    // board needs before anything large is allocated.
    const unsigned long long bytes =
        static_cast<unsigned long long>(cinfo.image_width) * cinfo.image_height * outComponents;
    if (cinfo.image_width > c_MaxJPEGDimension || cinfo.image_height > c_MaxJPEGDimension || bytes > c_MaxJPEGBytes)
    {
        jpeg_destroy_decompress(&cinfo);
        s_JpegError = 2;
        return nullptr;
    }

    jpeg_start_decompress(&cinfo);
    const int rowStride = static_cast<int>(cinfo.output_width) * cinfo.output_components;
    buffer = new (std::nothrow) unsigned char[static_cast<std::size_t>(rowStride) * cinfo.output_height];
    if (buffer == nullptr)
    {
        jpeg_destroy_decompress(&cinfo);
        s_JpegError = 2;
        return nullptr;
    }
    // Each row is decoded straight into its place, the file's first row into
    // the buffer's last: a staging row and its copy cost several percent on
    // small pictures.
    while (cinfo.output_scanline < cinfo.output_height)
    {
        JSAMPROW target =
            buffer + static_cast<std::size_t>(rowStride) * (cinfo.output_height - 1 - cinfo.output_scanline);
        jpeg_read_scanlines(&cinfo, &target, 1);
    }
    jpeg_finish_decompress(&cinfo);

    *width = static_cast<int>(cinfo.output_width);
    *height = static_cast<int>(cinfo.output_height);
    *components = outComponents;
    jpeg_destroy_decompress(&cinfo);
    return buffer;
}

int simage_jpeg_identify(const char*, const unsigned char* header, int headerLength)
{
    if (headerLength < 10)
        return 0;
    return std::memcmp(header + 6, jpgcmp, sizeof(jpgcmp)) == 0 ? 1 : 0;
}

int simage_jpeg_error(char* buffer, int bufferSize)
{
    if (s_JpegError > 0 && s_JpegError <= 3 && bufferSize > 0)
        std::strncpy(buffer, c_ErrorTexts[s_JpegError], static_cast<std::size_t>(bufferSize));
    return s_JpegError;
}

bool readJPEGFile(const std::string& fileName, Rendering::Image* image)
{
    std::ifstream stream(fileName.c_str(), std::ios::in | std::ios::binary);
    if (!stream.is_open())
    {
        Core::log(Core::LogLevel::Warning, "JPEGReader", "Couldn't find/load texture : \"" + fileName);
        return false;
    }
    return readJPEGStream(stream, image);
}

bool readJPEGStream(std::istream& stream, Rendering::Image* image)
{
    int width = 0;
    int height = 0;
    int components = 0;
    unsigned char* buffer = simage_jpeg_load(stream, &width, &height, &components);
    if (buffer == nullptr)
        return false;
    unsigned int format;
    switch (components)
    {
    case 1:
        format = GL_LUMINANCE;
        break;
    case 2:
        format = GL_LUMINANCE_ALPHA;
        break;
    case 3:
        format = GL_RGB;
        break;
    case 4:
        format = GL_RGBA;
        break;
    default:
        format = 0xFFFFFFFFu;
        break;
    }
    image->setData(width, height, 1, static_cast<int>(format), format, GL_UNSIGNED_BYTE, buffer);
    return true;
}

} // namespace Reader
