// Feeds arbitrary bytes to the glTF reader as a .glb (bytes starting "glTF")
// or .gltf file. The reader sees no other file: buffers and pictures named by
// path are missing, so runs are deterministic; data: URIs and buffer views
// still reach the PNG and JPEG readers.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <Reader/internal/GLTFReader.h>
#include <Rendering/Mesh.h>

#include "FuzzShared.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    Rendering::Mesh mesh;
    Reader::GLTFReader reader;
    reader.setResourceReader([](const std::string&, std::string&) { return false; });
    reader.loadFromMemory(std::string_view(reinterpret_cast<const char*>(data), size),
                          "/nonexistent-tabula-fuzz/model.gltf", &mesh);
    return 0;
}
