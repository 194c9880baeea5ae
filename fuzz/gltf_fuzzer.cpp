// Feeds arbitrary bytes to the glTF reader as a .glb (bytes starting "glTF")
// or .gltf file. The reader sees no other file: buffers and pictures named by
// path are missing, so runs are deterministic; data: URIs and buffer views
// still reach the PNG and JPEG readers through the conversion to a mesh.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <Reader/internal/GLTFReader.h>
#include <Reader/internal/ModelData.h>
#include <Rendering/Mesh.h>
#include <Rendering/internal/ModelConverter.h>

#include "FuzzShared.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    Reader::ModelData model;
    Reader::GLTFReader reader;
    reader.setResourceReader([](const std::string&, std::string&) { return false; });
    if (reader.loadFromMemory(std::string_view(reinterpret_cast<const char*>(data), size),
                              "/nonexistent-tabula-fuzz/model.gltf", model))
    {
        Rendering::Mesh mesh;
        Rendering::ModelConverter::convert(model, mesh);
    }
    return 0;
}
