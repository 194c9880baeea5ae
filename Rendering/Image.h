#pragma once

#include <cstdint>
#include <string>

namespace Rendering
{

/// One decoded PNG or JPEG picture and the OpenGL texture made from it.
///
/// Pixel buffer contract (both readers):
/// - rows tightly packed, width x bytes-per-pixel bytes each;
/// - rows bottom-up: the first row in memory is the bottom of the picture;
/// - samples interleaved in format order (R G B [A], or L [A]);
/// - m_Type GL_UNSIGNED_SHORT samples are in the processor's byte order.
///
/// The buffer stays in memory after the upload so the image manager can halve
/// it when an allocation fails. Images are made and owned by the
/// ImageManager; games reach them through Texture.
class Image
{
public:
    /// Loads the file (reader chosen by ".png"/".PNG" or ".jpg"/".jpeg"/
    /// ".JPG"/".JPEG" anywhere in the name) and prints whether it loaded.
    explicit Image(const std::string& fileName);
    Image(const Image& other);
    Image& operator=(const Image&) = delete;
    ~Image();

    bool load(const std::string& fileName);
    /// Takes ownership of `data` (allocated with new[]).
    void setData(int width, int height, int depth, int internalFormat, unsigned int format, unsigned int type,
                 unsigned char* data);
    /// Halves width and height once, keeping every other pixel of every other
    /// row, and uploads again. A second call only prints "Already Reduced ...".
    void reduceToLimit();
    /// Creates a texture name and uploads the pixels (needs a GL context).
    void initGL();
    /// Counted size: width x height x 3 for GL_RGB, x 4 for any other format.
    int64_t getMemoryUsage();
    unsigned int getId() const { return m_Id; }
    bool isLoaded() const { return m_Data != nullptr; }
    void unLoad();
    /// Binds the texture; with the engine's shader in force, on unit 0 with
    /// "TextureID" set to 0.
    void apply();
    static void unApply();

    int getWidth() const { return m_Width; }
    int getHeight() const { return m_Height; }
    unsigned int getFormat() const { return m_Format; }
    unsigned int getType() const { return m_Type; }
    const unsigned char* getData() const { return m_Data; }
    bool isReduced() const { return m_Reduced; }
    /// Bytes actually held in the buffer (what the readers allocated), which
    /// differs from getMemoryUsage() for gray and 16-bit images.
    std::size_t getDataSize() const { return m_DataSize; }

private:
    bool m_Reduced;
    int m_Width;
    int m_Depth;
    int m_Height;
    int m_InternalFormat;
    unsigned int m_Id;
    unsigned int m_Format;
    unsigned int m_Type;
    unsigned char* m_Data;
    std::size_t m_DataSize;
};

} // namespace Rendering
