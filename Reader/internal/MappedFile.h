#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Reader
{

/// A whole file mapped read-only into memory: the model readers parse it in
/// place and unmap it as soon as the library holds what it needs.
class MappedFile
{
public:
    explicit MappedFile(const std::string& path);
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile() { close(); }

    bool isOpen() const { return m_Open; }
    /// Empty for an empty file or once closed.
    std::string_view bytes() const { return std::string_view(static_cast<const char*>(m_Data), m_Size); }
    void close();
    /// Gives back the memory of the pages wholly inside [begin, end) (byte
    /// offsets) once they have been read: they read the same again if
    /// touched, from the file.
    void release(std::size_t begin, std::size_t end);

private:
    void* m_Data = nullptr;
    std::size_t m_Size = 0;
    bool m_Open = false;
};

} // namespace Reader
