// Feeds arbitrary text to the OBJ reader. Its material libraries are one fixed
// text (every "mtllib" reads the same materials, some with pictures that do
// not exist), so runs are deterministic and the material paths are exercised.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <Reader/internal/ModelData.h>
#include <Reader/internal/OBJReader.h>
#include <Rendering/Mesh.h>
#include <Rendering/internal/ModelConverter.h>

#include "FuzzShared.h"

namespace
{
const char* const c_Materials = "newmtl red\nKd 1 0 0\n"
                                "newmtl wood\nKd 1 1 1\nmap_Kd wood.png\nmap_Bump wood_normal.png\n"
                                "newmtl white\nKd 1 1 1\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    Reader::ModelData model;
    Reader::OBJReader reader;
    reader.setResourceReader(
        [](const std::string& path, std::string& bytes)
        {
            if (path.size() < 4 || path.compare(path.size() - 4, 4, ".mtl") != 0)
                return false;
            bytes = c_Materials;
            return true;
        });
    if (reader.loadFromMemory(std::string_view(reinterpret_cast<const char*>(data), size),
                              "/nonexistent-tabula-fuzz/model.obj", model))
    {
        Rendering::Mesh mesh;
        Rendering::ModelConverter::convert(model, mesh);
    }
    return 0;
}
