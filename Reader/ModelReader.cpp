#include <Reader/internal/ModelReader.h>

#include <algorithm>
#include <cctype>

#include <Core/Log.h>
#include <Reader/ASEReader.h>
#include <Reader/internal/GLTFReader.h>
#include <Reader/internal/ModelData.h>
#include <Reader/internal/OBJReader.h>
#include <Rendering/internal/ModelConverter.h>

namespace Reader
{

namespace
{

bool endsWithNoCase(const std::string& name, const std::string& suffix)
{
    return name.size() >= suffix.size() && std::equal(suffix.rbegin(), suffix.rend(), name.rbegin(),
                                                      [](char a, char b) {
                                                          return std::tolower(static_cast<unsigned char>(a)) ==
                                                                 std::tolower(static_cast<unsigned char>(b));
                                                      });
}

} // namespace

ModelReader::Format ModelReader::formatOf(const std::string& fileName)
{
    if (fileName.find(".ase") != std::string::npos || fileName.find(".ASE") != std::string::npos)
        return Format::ASE;
    if (endsWithNoCase(fileName, ".gltf") || endsWithNoCase(fileName, ".glb"))
        return Format::GLTF;
    if (endsWithNoCase(fileName, ".obj"))
        return Format::OBJ;
    return Format::Unknown;
}

bool ModelReader::load(const std::string& fileName, Rendering::Mesh* mesh)
{
    const Format format = formatOf(fileName);
    switch (format)
    {
    case Format::ASE:
    {
        ASEReader reader;
        return reader.load(fileName, mesh);
    }
    case Format::GLTF:
    case Format::OBJ:
    {
        ModelData data;
        const bool loaded =
            format == Format::GLTF ? GLTFReader().load(fileName, data) : OBJReader().load(fileName, data);
        if (loaded)
            Rendering::ModelConverter::convert(data, *mesh);
        return loaded;
    }
    case Format::Unknown:
        break;
    }
    Core::log(Core::LogLevel::Warning, "ModelReader", "Unsupported format ... (supported format : ASE)");
    return false;
}

} // namespace Reader
