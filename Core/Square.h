#pragma once

#include <TabulaExport.h>

#include <string>
#include <vector>

#include <Core/Drawable.h>
#include <Math/Vec2.h>
#include <Math/Vec3.h>

namespace Core
{

class Object;

/// One cell of the board: four grid corners (x along the board's width, y
/// along its depth), drawn flat 0.001 above the slab so it never fights the
/// slab for depth. A grid point (x, y) lies at (x, 0.001, -y) in the board's
/// local frame. The square owns the pieces on its stack.
class TABULA_EXPORT Square : public Drawable
{
public:
    struct Coords
    {
        /// Corners in order along the cell's outline.
        Vec2<unsigned int> m_Corners[4];
    };

    /// Takes ownership of `objects` and becomes their parent square.
    Square(const Coords& coords, const std::vector<Object*>& objects);
    /// Lists the same pieces as `other`; a piece is deleted by the last square
    /// that lists it, never twice.
    Square(const Square& other);
    /// Deletes every piece this square is the last to list.
    ~Square();

    /// Appends `object` and becomes its parent square. The caller keeps a
    /// piece on one square at a time.
    void pushObject(Object* object);
    /// Removes the first entry equal to `object` (not deleted; the caller owns
    /// it again). False when it is not on this square.
    bool popObject(Object* object);
    const std::vector<Object*>& getObjects() const { return m_Objects; }

    void setCoords(const Coords& coords);
    const Coords& getCoords() const { return m_Coords; }
    void computeSize();
    void computeLower();
    void computeUpper();
    const Vec2<unsigned int>& getSize() const { return m_Size; }
    const Vec2<unsigned int>& getLower() const { return m_Lower; }
    const Vec2<unsigned int>& getUpper() const { return m_Upper; }

    /// Middle of the square on its face, in the board's own frame (before
    /// the board is centred): x across, y up, z = -grid y.
    Vec3<double> getCentre() const;
    /// The spot where `object`'s alignment puts it on this square, same frame.
    Vec3<double> getSpot(const Object& object) const;

    void highlightMouseOver(bool on) { m_MouseOver = on; }
    void highlightSelected(bool on) { m_Selected = on; }
    void highlightAuthorized(bool on) { m_Authorized = on; }
    bool isMouseOver() const { return m_MouseOver; }
    bool isSelected() const { return m_Selected; }
    bool isAuthorized() const { return m_Authorized; }

    void setDrawObjectsBounds(bool draw);

    std::string getClassName() const override { return getStaticClassName(); }
    static std::string getStaticClassName() { return "SQUARE"; }
    /// In a selection pass, a square outside the pick region is skipped
    /// (see Rendering::PickRegion).
    void draw() const override;
    void drawWithTexture() const override;
    void drawWithColor() const override;
    /// Draws each piece on its spot, inside the piece's own picking name.
    void drawObjects() const;

private:
    void emitCorner(int i) const;
    /// With Look::m_MarksOnAnySquare, the colour and material of the mark
    /// the square shows, if any, mixed with its own colour.
    void applyMark() const;
    /// In a selection pass, draws the four corners as a vertex array and
    /// returns true; otherwise draws nothing and returns false.
    bool selectCorners() const;

    Coords m_Coords;
    Vec2<unsigned int> m_Size;
    Vec2<unsigned int> m_Lower;
    Vec2<unsigned int> m_Upper;
    std::vector<Object*> m_Objects;
    bool m_MouseOver;
    bool m_Selected;
    bool m_Authorized;
};

} // namespace Core
