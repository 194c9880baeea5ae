// The files the model readers read: whole files mapped in place, the files a
// model names, and where its relative paths start. Kept apart from
// ModelReader::load, which reaches the engine, so that the glTF and OBJ
// readers build without it.
#include <Reader/internal/MappedFile.h>
#include <Reader/internal/ModelReader.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Reader
{

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
