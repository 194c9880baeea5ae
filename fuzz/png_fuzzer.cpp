// Feeds arbitrary bytes to the PNG reader: no crash, leak, hang or unbounded
// allocation whatever the file holds.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "FuzzShared.h"
#include "Reader/PNGReader.h"
#include "Rendering/Image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    std::istringstream stream(std::string(reinterpret_cast<const char*>(data), size));
    Rendering::Image image("fuzz-input");
    if (Reader::readPNGStream(stream, &image))
    {
        touchAll(image.getData(), image.getDataSize());
        image.reduceToLimit();
    }
    return 0;
}
