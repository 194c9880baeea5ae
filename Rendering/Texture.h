#pragma once

#include <TabulaExport.h>

#include <string>
#include <string_view>

namespace Rendering
{

class Image;

/// A picture for the board, a square, a piece or a model material: the
/// shared image of a file and, when "<name>_normal.<ext>" exists beside it, a
/// normal map. Both images are taken from and given back to the
/// ImageManager, which keeps them alive while any texture holds them.
class TABULA_EXPORT Texture
{
public:
    explicit Texture(const std::string& fileName);
    /// A model's own picture and normal map, registered under names that say
    /// where they came from ("piece.glb#image0", or a file's path); the bytes
    /// (encoded PNG or JPEG) are decoded only when the name is new. An empty
    /// `normalName` means no normal map; no "_normal" file is looked for.
    Texture(const std::string& name, std::string_view bytes, const std::string& normalName,
            std::string_view normalBytes);
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;
    ~Texture();

    /// With the engine's shader in force: normal map (or nothing) on unit 1,
    /// "NormalsID" = 1, image on unit 0, "TextureID" = 0, unit 0 left active.
    /// Without: binds the image on the active unit. A texture whose image did
    /// not load binds texture 0.
    void apply();
    /// Unbinds GL_TEXTURE_2D on the active unit.
    static void unApply();
    bool isLoaded() const;

    Image* getImage() const { return m_Image; }
    Image* getNormalMap() const { return m_NormalMap; }
    const std::string& getFileName() const { return m_FileName; }
    /// "a/b.png" -> "a/b_normal.png": "_normal" goes before the last '.'.
    static std::string normalMapName(const std::string& fileName);

private:
    Image* m_Image;
    Image* m_NormalMap;
    std::string m_FileName;
};

} // namespace Rendering
