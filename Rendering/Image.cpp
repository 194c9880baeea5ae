#include "Rendering/Image.h"

#include <GL/gl.h>
#include <GL/glx.h>

#include <cstring>
#include <istream>
#include <streambuf>

#include "Core/Log.h"
#include "Reader/JPEGReader.h"
#include "Reader/PNGReader.h"
#include "Rendering/Render.h"
#include "Rendering/Shader.h"

namespace Rendering
{

namespace
{

// Bytes the readers really store per pixel; 0 for a format no reader makes.
std::size_t bytesPerPixel(unsigned int format, unsigned int type)
{
    std::size_t components = 0;
    switch (format)
    {
    case GL_LUMINANCE:
        components = 1;
        break;
    case GL_LUMINANCE_ALPHA:
        components = 2;
        break;
    case GL_RGB:
        components = 3;
        break;
    case GL_RGBA:
        components = 4;
        break;
    default:
        break;
    }
    return type == GL_UNSIGNED_SHORT ? components * 2 : components;
}

// Lets bytes in memory be read through the readers' stream entry points.
struct MemoryBuffer : std::streambuf
{
    explicit MemoryBuffer(std::string_view bytes)
    {
        // The get area is only read from.
        char* begin = const_cast<char*>(bytes.data());
        setg(begin, begin, begin + bytes.size());
    }
};

} // namespace

Image::Image(const std::string& name, std::string_view bytes)
    : m_Reduced(false), m_Width(0), m_Depth(0), m_Height(0), m_InternalFormat(0), m_Id(0), m_Format(0), m_Type(0),
      m_Data(nullptr), m_DataSize(0)
{
    if (loadFromMemory(bytes))
        Core::log(Core::LogLevel::Info, "Image", "Image File : \"" + name + "\" loaded.");
    else
        Core::log(Core::LogLevel::Warning, "Image", "Couldn't load Image file : \"" + name + "\"");
}

Image::Image(const std::string& fileName)
    : m_Reduced(false), m_Width(0), m_Depth(0), m_Height(0), m_InternalFormat(0), m_Id(0), m_Format(0), m_Type(0),
      m_Data(nullptr), m_DataSize(0)
{
    if (load(fileName))
        Core::log(Core::LogLevel::Info, "Image", "Image File : \"" + fileName + "\" loaded.");
    else
        Core::log(Core::LogLevel::Warning, "Image", "Couldn't load Image file : \"" + fileName + "\"");
}

// The copy takes exactly the bytes the other image holds, so that gray and
// 16-bit buffers (whose counted size differs from their real one) are neither
// over-read nor cut short.
Image::Image(const Image& other)
    : m_Reduced(false), m_Width(other.m_Width), m_Depth(other.m_Depth), m_Height(other.m_Height),
      m_InternalFormat(other.m_InternalFormat), m_Id(0), m_Format(other.m_Format), m_Type(other.m_Type),
      m_Data(nullptr), m_DataSize(0)
{
    if (other.m_Data != nullptr)
    {
        m_Data = new unsigned char[other.m_DataSize];
        std::memcpy(m_Data, other.m_Data, other.m_DataSize);
        m_DataSize = other.m_DataSize;
    }
}

Image::~Image()
{
    // At process exit the window (and its context) may already be gone.
    if (m_Id != 0 && glXGetCurrentContext() != nullptr)
        glDeleteTextures(1, &m_Id);
    unLoad();
}

bool Image::load(const std::string& fileName)
{
    if (fileName.find(".png") != std::string::npos || fileName.find(".PNG") != std::string::npos)
        return Reader::readPNGFile(fileName, this);
    if (fileName.find(".jpg") != std::string::npos || fileName.find(".jpeg") != std::string::npos ||
        fileName.find(".JPG") != std::string::npos || fileName.find(".JPEG") != std::string::npos)
        return Reader::readJPEGFile(fileName, this);
    Core::log(Core::LogLevel::Warning, "Image", "Unsupported format ... (supported format : PNG / JPG)");
    return false;
}

bool Image::loadFromMemory(std::string_view bytes)
{
    MemoryBuffer buffer(bytes);
    std::istream stream(&buffer);
    if (bytes.size() >= 8 && bytes.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8))
        return Reader::readPNGStream(stream, this);
    if (bytes.size() >= 2 && bytes[0] == '\xff' && bytes[1] == '\xd8')
        return Reader::readJPEGStream(stream, this);
    Core::log(Core::LogLevel::Warning, "Image", "Unsupported format ... (supported format : PNG / JPG)");
    return false;
}

void Image::setData(int width, int height, int depth, int internalFormat, unsigned int format, unsigned int type,
                    unsigned char* data)
{
    m_Width = width;
    m_Height = height;
    m_Depth = depth;
    m_InternalFormat = internalFormat;
    m_Format = format;
    m_Type = type;
    m_Data = data;
    m_DataSize = (width > 0 && height > 0 && data != nullptr)
                     ? static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * bytesPerPixel(format, type)
                     : 0;
}

void Image::reduceToLimit()
{
    if (m_Reduced)
    {
        Core::log(Core::LogLevel::Info, "Image", "Already Reduced ...");
        return;
    }
    const uint32_t width = static_cast<uint32_t>(m_Width);
    const uint32_t height = static_cast<uint32_t>(m_Height);
    const uint32_t counted = m_Format == GL_RGB ? 3u : 4u;
    const std::size_t real = bytesPerPixel(m_Format, m_Type);
    unsigned char* reduced;
    std::size_t reducedSize;
    if (real == counted)
    {
        // 8-bit RGB and RGBA: the historical walk, whose two-pixel step runs on
        // across rows of odd width. It never writes past S / 4 bytes nor reads
        // past the buffer.
        const uint32_t rowBytes = width * counted;
        const uint32_t total = width * height * counted;
        const uint32_t limit = total < m_DataSize ? total : static_cast<uint32_t>(m_DataSize);
        reducedSize = total / 4;
        reduced = new unsigned char[reducedSize];
        uint32_t j = 0;
        for (uint32_t i = 0; i < limit; i += 2 * counted)
        {
            if ((i / rowBytes) % 2 == 1)
                i += rowBytes;
            for (uint32_t k = 0; k < counted && i + k < limit && j < reducedSize; ++k)
                reduced[j++] = m_Data[i + k];
        }
    }
    else
    {
        // Gray, gray-alpha and 16-bit pixels are not the size the counting rule
        // assumes: keep the even columns of the even rows with their real size
        // so the upload finds exactly (width / 2) x (height / 2) pixels.
        const std::size_t newWidth = width / 2;
        const std::size_t newHeight = height / 2;
        reducedSize = newWidth * newHeight * real;
        reduced = new unsigned char[reducedSize];
        for (std::size_t y = 0; y < newHeight; ++y)
            for (std::size_t x = 0; x < newWidth; ++x)
                std::memcpy(reduced + (y * newWidth + x) * real, m_Data + (2 * y * width + 2 * x) * real, real);
    }
    delete[] m_Data;
    m_Data = reduced;
    m_DataSize = reducedSize;
    m_Width = static_cast<int>(width / 2);
    m_Height = static_cast<int>(height / 2);
    // The old texture holds the full picture and nothing names it any more.
    if (m_Id != 0)
        glDeleteTextures(1, &m_Id);
    initGL();
    m_Reduced = true;
}

void Image::initGL()
{
    glGenTextures(1, &m_Id);
    glBindTexture(GL_TEXTURE_2D, m_Id);
    // Rows are tightly packed: the default alignment of 4 would read past the
    // end of an RGB buffer whose rows are not a multiple of 4 bytes.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, m_Width, m_Height, 0, m_Format, m_Type, m_Data);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

int64_t Image::getMemoryUsage()
{
    return static_cast<int64_t>(m_Width) * m_Height * (m_Format == GL_RGB ? 3 : 4);
}

void Image::unLoad()
{
    m_Width = 0;
    m_Depth = 0;
    m_Height = 0;
    m_InternalFormat = 0;
    m_Format = 0;
    m_Type = 0;
    delete[] m_Data;
    m_Data = nullptr;
    m_DataSize = 0;
}

void Image::apply()
{
    Render* render = Render::instance();
    if (render->hasShaderAvailable())
        render->getShader()->setTexture2DParameter("TextureID", m_Id, 0);
    glBindTexture(GL_TEXTURE_2D, m_Id);
}

void Image::unApply()
{
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace Rendering
