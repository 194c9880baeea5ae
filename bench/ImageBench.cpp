// Decoding speed of the PNG and JPEG readers against a bare libpng / libjpeg
// decode doing the same transforms into the same bottom-up buffer, all from
// memory; and the halving of a 4096x4096 RGBA image.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include <GL/gl.h>

#include "Reader/JPEGReader.h"
#include "Reader/PNGReader.h"
#include "Rendering/Image.h"

namespace
{

using Bytes = std::string;

Bytes readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Every file of a test data folder with that suffix, except those whose name
// starts with `skip`.
std::vector<Bytes> corpus(const std::string& dir, const std::string& suffix, const std::string& skip)
{
    std::vector<Bytes> files;
    const std::string root = std::string(TABULA_SOURCE_DIR) + "/tests/data/" + dir;
    DIR* handle = opendir(root.c_str());
    while (dirent* entry = readdir(handle))
    {
        const std::string name = entry->d_name;
        if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0 &&
            name.compare(0, skip.size(), skip) != 0)
            files.push_back(readFile(root + "/" + name));
    }
    closedir(handle);
    return files;
}

// A photo-like picture: smooth shading with grain, which compresses like a
// real photograph rather than like a flat test card.
std::vector<unsigned char> photoPixels(int width, int height)
{
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 3);
    unsigned int seed = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            seed = seed * 1103515245u + 12345u;
            const int grain = static_cast<int>((seed >> 16) & 15) - 8;
            unsigned char* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = static_cast<unsigned char>(std::min(255, std::max(0, x * 255 / width + grain)));
            p[1] = static_cast<unsigned char>(std::min(255, std::max(0, y * 255 / height + grain)));
            p[2] =
                static_cast<unsigned char>(std::min(255, std::max(0, (x + y) * 127 / (width + height) + 64 + grain)));
        }
    return pixels;
}

const int c_PhotoWidth = 2048;
const int c_PhotoHeight = 1536;

void appendToString(png_structp png, png_bytep data, png_size_t length)
{
    static_cast<Bytes*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

Bytes photoPNG()
{
    const std::vector<unsigned char> pixels = photoPixels(c_PhotoWidth, c_PhotoHeight);
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendToString, nullptr);
    png_set_IHDR(png, info, c_PhotoWidth, c_PhotoHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < c_PhotoHeight; ++y)
        png_write_row(png, const_cast<png_bytep>(&pixels[static_cast<std::size_t>(y) * c_PhotoWidth * 3]));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes photoJPEG()
{
    std::vector<unsigned char> pixels = photoPixels(c_PhotoWidth, c_PhotoHeight);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = c_PhotoWidth;
    cinfo.image_height = c_PhotoHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 85, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height)
    {
        JSAMPROW row = &pixels[static_cast<std::size_t>(cinfo.next_scanline) * c_PhotoWidth * 3];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return out;
}

struct MemoryReader
{
    const Bytes* bytes;
    std::size_t at;
};

void readFromMemory(png_structp png, png_bytep data, png_size_t length)
{
    MemoryReader* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (reader->at + length > reader->bytes->size())
        png_error(png, "Read Error");
    std::memcpy(data, reader->bytes->data() + reader->at, length);
    reader->at += length;
}

// The same requests as the reader, with libpng's default error handling.
void barePNG(const Bytes& file)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    unsigned char* volatile buffer = nullptr;
    if (setjmp(png_jmpbuf(png)))
    {
        delete[] buffer;
        png_destroy_read_struct(&png, &info, nullptr);
        return;
    }
    MemoryReader reader{&file, 0};
    png_set_read_fn(png, &reader, readFromMemory);
    png_read_info(png, info);
    png_uint_32 width, height;
    int depth, type;
    png_get_IHDR(png, info, &width, &height, &depth, &type, nullptr, nullptr, nullptr);
    if (depth > 8)
        png_set_swap(png);
    if (type == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (depth < 8)
        png_set_packing(png);
    double gamma;
    png_set_gamma(png, 2.2, png_get_gAMA(png, info, &gamma) ? gamma : 0.45454545454545453);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    buffer = new unsigned char[rowBytes * height];
    std::vector<png_bytep> rows(height);
    for (png_uint_32 k = 0; k < height; ++k)
        rows[k] = buffer + (height - 1 - k) * rowBytes;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    benchmark::DoNotOptimize(buffer[0]);
    delete[] buffer;
    png_destroy_read_struct(&png, &info, nullptr);
}

void tabulaPNG(const Bytes& file, Rendering::Image& image)
{
    std::istringstream stream(file);
    Reader::readPNGStream(stream, &image);
    benchmark::DoNotOptimize(image.getData());
    image.unLoad();
}

void bareJPEG(const Bytes& file)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(file.data()), file.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = cinfo.jpeg_color_space == JCS_GRAYSCALE ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const std::size_t row = static_cast<std::size_t>(cinfo.output_width) * cinfo.output_components;
    unsigned char* buffer = new unsigned char[row * cinfo.output_height];
    while (cinfo.output_scanline < cinfo.output_height)
    {
        JSAMPROW target = buffer + (cinfo.output_height - 1 - cinfo.output_scanline) * row;
        jpeg_read_scanlines(&cinfo, &target, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    benchmark::DoNotOptimize(buffer[0]);
    delete[] buffer;
}

void tabulaJPEG(const Bytes& file)
{
    std::istringstream stream(file);
    int width, height, components;
    unsigned char* buffer = Reader::simage_jpeg_load(stream, &width, &height, &components);
    benchmark::DoNotOptimize(buffer);
    delete[] buffer;
}

std::size_t totalSize(const std::vector<Bytes>& files)
{
    std::size_t total = 0;
    for (const Bytes& file : files)
        total += file.size();
    return total;
}

// Images print their loading lines: keep the report readable.
struct QuietImage
{
    QuietImage() : saved(std::cout.rdbuf(nullptr)), image("benchmark") { std::cout.rdbuf(saved); }
    std::streambuf* saved;
    Rendering::Image image;
};

const std::vector<Bytes>& pngCorpus()
{
    static const std::vector<Bytes> files = corpus("pngsuite", ".png", "x");
    return files;
}
const std::vector<Bytes>& jpegCorpus()
{
    // monkey12.jpg has 12-bit samples, which both decoders refuse.
    static const std::vector<Bytes> files = corpus("jpeg", ".jpg", "monkey");
    return files;
}
const Bytes& pngPhoto()
{
    static const Bytes file = photoPNG();
    return file;
}
const Bytes& jpegPhoto()
{
    static const Bytes file = photoJPEG();
    return file;
}

void BM_PNGCorpus_Tabula(benchmark::State& state)
{
    QuietImage quiet;
    for (auto _ : state)
        for (const Bytes& file : pngCorpus())
            tabulaPNG(file, quiet.image);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * totalSize(pngCorpus())));
}
void BM_PNGCorpus_Bare(benchmark::State& state)
{
    for (auto _ : state)
        for (const Bytes& file : pngCorpus())
            barePNG(file);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * totalSize(pngCorpus())));
}
void BM_PNGPhoto_Tabula(benchmark::State& state)
{
    QuietImage quiet;
    for (auto _ : state)
        tabulaPNG(pngPhoto(), quiet.image);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * c_PhotoWidth * c_PhotoHeight * 3);
}
void BM_PNGPhoto_Bare(benchmark::State& state)
{
    for (auto _ : state)
        barePNG(pngPhoto());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * c_PhotoWidth * c_PhotoHeight * 3);
}
void BM_JPEGCorpus_Tabula(benchmark::State& state)
{
    for (auto _ : state)
        for (const Bytes& file : jpegCorpus())
            tabulaJPEG(file);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * totalSize(jpegCorpus())));
}
void BM_JPEGCorpus_Bare(benchmark::State& state)
{
    for (auto _ : state)
        for (const Bytes& file : jpegCorpus())
            bareJPEG(file);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * totalSize(jpegCorpus())));
}
void BM_JPEGPhoto_Tabula(benchmark::State& state)
{
    for (auto _ : state)
        tabulaJPEG(jpegPhoto());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * c_PhotoWidth * c_PhotoHeight * 3);
}
void BM_JPEGPhoto_Bare(benchmark::State& state)
{
    for (auto _ : state)
        bareJPEG(jpegPhoto());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * c_PhotoWidth * c_PhotoHeight * 3);
}

// Bytes read per second: the counted size of the full picture.
void BM_ReduceToLimit4096RGBA(benchmark::State& state)
{
    const std::size_t size = 4096u * 4096u * 4u;
    for (auto _ : state)
    {
        state.PauseTiming();
        QuietImage quiet;
        unsigned char* data = new unsigned char[size];
        std::memset(data, 7, size);
        quiet.image.setData(4096, 4096, 1, GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, data);
        state.ResumeTiming();
        quiet.image.reduceToLimit();
        benchmark::DoNotOptimize(quiet.image.getData());
        state.PauseTiming();
        quiet.image.unLoad();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

} // namespace

BENCHMARK(BM_PNGCorpus_Tabula)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PNGCorpus_Bare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PNGPhoto_Tabula)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PNGPhoto_Bare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JPEGCorpus_Tabula)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_JPEGCorpus_Bare)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_JPEGPhoto_Tabula)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JPEGPhoto_Bare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReduceToLimit4096RGBA)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // Read and encode every input before anything is timed.
    pngCorpus();
    jpegCorpus();
    pngPhoto();
    jpegPhoto();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
