#include <Reader/ModelReader.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include <Reader/ASEReader.h>
#include <Reader/GLTFReader.h>
#include <Reader/OBJReader.h>

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
    switch (formatOf(fileName))
    {
    case Format::ASE:
    {
        ASEReader reader;
        return reader.load(fileName, mesh);
    }
    case Format::GLTF:
    {
        GLTFReader reader;
        return reader.load(fileName, mesh);
    }
    case Format::OBJ:
    {
        OBJReader reader;
        return reader.load(fileName, mesh);
    }
    case Format::Unknown:
        break;
    }
    std::cout << "Unsupported format ... (supported format : ASE)" << std::endl;
    return false;
}

bool ModelReader::readFile(const std::string& path, std::string& bytes)
{
    // A directory or a device opens as a stream too; only files are read.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open())
        return false;
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0)
        return false;
    file.seekg(0, std::ios::beg);
    bytes.resize(static_cast<std::size_t>(size));
    file.read(&bytes[0], size);
    return file.gcount() == size;
}

std::string ModelReader::directoryOf(const std::string& fileName)
{
    const std::size_t slash = fileName.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

} // namespace Reader
