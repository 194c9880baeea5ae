// Feeds arbitrary bytes to the JPEG loader: no crash, leak, hang or unbounded
// allocation whatever the file holds.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "FuzzShared.h"
#include "Reader/JPEGReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    std::istringstream stream(std::string(reinterpret_cast<const char*>(data), size));
    int width = 0;
    int height = 0;
    int components = 0;
    unsigned char* pixels = Reader::simage_jpeg_load(stream, &width, &height, &components);
    if (pixels != nullptr)
        touchAll(pixels, static_cast<std::size_t>(width) * height * components);
    delete[] pixels;
    return 0;
}
