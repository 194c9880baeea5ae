#pragma once

#include <TabulaExport.h>

#include <cstdint>
#include <string>
#include <string_view>

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
/// ImageManager; games reach them through Texture. The destructor deletes the
/// texture when a GL context is current.
class TABULA_EXPORT Image
{
public:
    /// Loads the file (reader chosen by ".png"/".PNG" or ".jpg"/".jpeg"/
    /// ".JPG"/".JPEG" anywhere in the name) and prints whether it loaded.
    explicit Image(const std::string& fileName);
    /// Decodes encoded bytes held in memory (an image inside a model file):
    /// PNG or JPEG chosen by their signature, `name` only used in the line
    /// that says whether it loaded.
    Image(const std::string& name, std::string_view bytes);
    /// Deep copy of the bytes the other image holds (getDataSize()), without
    /// a texture until its own initGL.
    Image(const Image& other);
    Image& operator=(const Image&) = delete;
    ~Image();

    bool load(const std::string& fileName);
    /// PNG (by its 8-byte signature) or JPEG (by its FF D8 start) from memory;
    /// other bytes print the file path's "Unsupported format" line.
    bool loadFromMemory(std::string_view bytes);
    /// Takes ownership of `data` (allocated with new[]).
    void setData(int width, int height, int depth, int internalFormat, unsigned int format, unsigned int type,
                 unsigned char* data);
    /// Halves width and height once, keeping every other pixel of every other
    /// row, and uploads again under a new texture name (the old one is
    /// deleted). A second call only prints "Already Reduced ...".
    /// 8-bit RGB and RGBA buffers are walked 3 or 4 bytes a pixel with a
    /// two-pixel step that runs on across rows of odd width; gray, gray-alpha
    /// and 16-bit buffers are walked by their real pixel size, keeping the
    /// even columns of the even rows. No read goes past getDataSize().
    /// The new buffer is allocated before anything changes, so an allocation
    /// failure leaves the image as it was.
    void reduceToLimit();
    /// Creates a texture name and uploads the pixels (needs a GL context):
    /// internal format 4, linear filters, rows read tightly packed (unpack
    /// alignment 1, the caller's alignment restored afterwards). The texture
    /// stays bound on the active unit.
    void initGL();
    /// Counted size: width x height x 3 for GL_RGB, x 4 for any other format.
    int64_t getMemoryUsage();
    unsigned int getId() const { return m_Id; }
    bool isLoaded() const { return m_Data != nullptr; }
    /// Frees the pixels; the texture name is kept.
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
