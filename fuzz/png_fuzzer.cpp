// Feeds arbitrary bytes to the PNG reader: no crash, leak, hang or unbounded
// allocation whatever the file holds.
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>

#include "Reader/PNGReader.h"
#include "Rendering/Image.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The reader reports on the standard output; thousands of runs a second
    // need none of it.
    std::cout.rdbuf(nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    std::istringstream stream(std::string(reinterpret_cast<const char*>(data), size));
    Rendering::Image image("fuzz-input");
    if (Reader::readPNGStream(stream, &image))
    {
        // Touch every byte the contract says is there.
        volatile unsigned char sum = 0;
        for (std::size_t i = 0; i < image.getDataSize(); ++i)
            sum = static_cast<unsigned char>(sum + image.getData()[i]);
        image.reduceToLimit();
    }
    return 0;
}
