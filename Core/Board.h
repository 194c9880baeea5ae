#pragma once

#include <string>
#include <vector>

#include <Core/Drawable.h>
#include <Math/Vec2.h>
#include <Math/Vec4.h>

namespace Core
{

class Object;
class Square;

/// The root of the scene: a slab m_Size cells wide (x) and deep (grid y, along
/// -z), m_Depth thick, with its top face at height 0, centred on the origin
/// when drawn. It lists the game's squares but owns none of them.
class Board : public Drawable
{
public:
    /// Thickness of the slab.
    static const double m_Depth;

    Board(const Vec2<unsigned int>& size, const std::vector<Square*>& squares);
    Board(const Board& other);

    std::string getClassName() const override { return getStaticClassName(); }
    static std::string getStaticClassName() { return "BOARD"; }
    void draw() const override;
    void drawWithTexture() const override;
    void drawWithColor() const override;
    /// The 24 slab vertices, four per face, without glBegin/glEnd.
    void drawPoints() const;

    /// Pops `object` from `from` and pushes it on `to`. False, and nothing
    /// changed, when `object` is not on `from`.
    static bool moveObject(Object* object, Square* from, Square* to);

    /// Moves the mouse-over mark to `square` when automatic highlighting is
    /// on; with it off, or with no square, only removes the current mark.
    void autoHighlight(Square* square);
    /// Clears the selected and authorized marks of every square.
    void clearHighlight();
    void setDrawObjectsBounds(bool draw);

    /// Degrees about the vertical towards which the engine turns the scene.
    float getOrientation() const { return m_Orientation; }
    void setOrientation(float degrees) { m_Orientation = degrees; }
    Square* getHighlightedSquare() { return m_HighlightedSquare; }
    void setAutoHighlight(bool on) { m_AutoHighlight = on; }
    bool getAutoHighlight() const { return m_AutoHighlight; }
    void setLineColor(const Vec4<double>& color) { m_LineColor = color; }
    const Vec2<unsigned int>& getSize() const { return m_Size; }
    const std::vector<Square*>& getSquares() const { return m_Squares; }

private:
    /// The slab's 24 corners as `mode` primitives: between glBegin and glEnd
    /// when rendering, as a vertex array in a selection pass.
    void drawSlab(unsigned int mode) const;

    Vec2<unsigned int> m_Size;
    float m_Orientation;
    std::vector<Square*> m_Squares;
    Vec4<double> m_LineColor;
    bool m_AutoHighlight;
    Square* m_HighlightedSquare;
};

} // namespace Core
