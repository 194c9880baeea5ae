#pragma once

#include <TabulaExport.h>

#include <memory>
#include <string>
#include <vector>

#include <Core/Meta.h>
#include <Math/Vec4.h>

namespace Rendering
{
class Texture;
}

namespace Core
{

/// Base of everything the engine draws and picks: the board, its squares and
/// the pieces. Each instance gets a picking name unique in the process (0, 1,
/// 2... in construction order across all drawable classes) and registers
/// itself with the engine from its constructor, which creates the engine on
/// first use.
///
/// Ownership: the drawable owns its texture. A copy shows the same texture
/// object; the texture lives until the last drawable showing it replaces or
/// removes it or is destroyed. Metadata entries belong to the game.
class TABULA_EXPORT Drawable
{
public:
    Drawable();
    Drawable(const Drawable& other);
    Drawable& operator=(const Drawable&) = delete;
    /// Also leaves the engine's picking registry, so a stale name can never be
    /// mapped back to a destroyed object. Virtual because squares delete their
    /// pieces through Object pointers and games derive their own pieces.
    virtual ~Drawable();

    /// Class tag: "BOARD", "SQUARE" or "OBJECT".
    virtual std::string getClassName() const = 0;
    /// Draws inside the drawable's own picking name.
    virtual void draw() const = 0;
    virtual void drawWithTexture() const = 0;
    virtual void drawWithColor() const = 0;

    unsigned int getPickingName() const { return m_PickingName; }
    /// Returns the current counter value and advances it.
    static unsigned int getNextPickingName();

    bool hasTexture() const { return static_cast<bool>(m_Texture); }
    /// Replaces any texture by a new one of `fileName`; it is attached even
    /// when its image does not load (it then draws without a picture).
    void setTexture(const std::string& fileName);
    void removeTexture();
    Rendering::Texture* getTexture() const { return m_Texture.get(); }

    /// Value of the first entry named `name`, or "" when there is none.
    std::string getMeta(const std::string& name) const;
    /// Appends; the entry stays the caller's.
    void addMeta(Meta<std::string>* meta);
    /// Every entry, in the order added.
    const std::vector<Meta<std::string>*>& getMetas() const { return m_Metas; }

    /// Red, green, blue, alpha in [0, 1]; used when drawn without texture.
    void setColor(const Vec4<double>& color) { m_Color = color; }
    const Vec4<double>& getColor() const { return m_Color; }

protected:
    /// The body of draw() for squares and pieces: the texture or the colour,
    /// inside the drawable's own picking name.
    void drawInOwnName() const;
    /// Sets the front and back ambient and diffuse material to m_Color.
    void applyColorMaterial() const;

    Vec4<double> m_Color;
    std::shared_ptr<Rendering::Texture> m_Texture;
    unsigned int m_PickingName;
    std::vector<Meta<std::string>*> m_Metas;

    static unsigned int m_NextPickingName;
};

} // namespace Core
