// Feeds arbitrary text to the ASE reader. The first byte picks the size of the
// read chunks, so words cut at chunk ends are exercised on small inputs too,
// and chunks about the size of the reader's 64-byte blocks.
// The model sits in a folder that does not exist, so relative bitmap names
// never reach a real picture.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include <Reader/ASEReader.h>
#include <Rendering/Mesh.h>

#include "FuzzShared.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::size_t chunk = data[0] < 64 ? 1 + data[0] % 16 : data[0] < 128 ? 48 + data[0] % 48 : 256 * 1024;
    Rendering::Mesh mesh;
    Reader::ASEReader reader;
    reader.setChunkSize(chunk);
    reader.loadFromMemory(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1),
                          "/nonexistent-tabula-fuzz/model.ase", &mesh);
    return 0;
}
