#include <Reader/ModelReader.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <Reader/ASEReader.h>
#include <Reader/GLTFReader.h>
#include <Reader/OBJReader.h>
#include <Reader/internal/ModelData.h>
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

MappedFile::MappedFile(const std::string& path)
{
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return;
    struct stat info;
    // Only regular files: a directory or a device opens too.
    if (fstat(file, &info) == 0 && S_ISREG(info.st_mode))
    {
        m_Size = static_cast<std::size_t>(info.st_size);
        m_Open = true;
        if (m_Size > 0)
        {
            // Every byte is read: the pages are mapped in one go rather than
            // a fault at a time.
            m_Data = mmap(nullptr, m_Size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, file, 0);
            if (m_Data == MAP_FAILED)
                m_Data = nullptr, m_Size = 0, m_Open = false;
        }
    }
    ::close(file);
}

void MappedFile::release(std::size_t begin, std::size_t end)
{
    const std::size_t page = 4096;
    begin = (begin + page - 1) / page * page;
    end = std::min(end, m_Size) / page * page;
    if (m_Data && end > begin)
        madvise(static_cast<char*>(m_Data) + begin, end - begin, MADV_DONTNEED);
}

void MappedFile::close()
{
    if (m_Data)
        munmap(m_Data, m_Size);
    m_Data = nullptr;
    m_Size = 0;
}

std::string ModelReader::directoryOf(const std::string& fileName)
{
    const std::size_t slash = fileName.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

} // namespace Reader
