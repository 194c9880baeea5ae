#pragma once

#include <TabulaExport.h>

#include <string>

#include <Math/Vec2.h>
#include <Math/Vec3.h>
#include <Rendering/HUD.h>

namespace Rendering
{

/// A line of 8x13 bitmap text near the top-left corner of the view. m_X grows
/// to the right and m_Y upward, about 8 and 9 pixels a unit on a window of the
/// default size: m_Y = -2 is the second line down, m_Y >= 1 is off screen.
/// With Look::m_PixelHUD, m_X and m_Y are instead pixels from the window's
/// top-left corner to the top-left of the text (y downwards; 13-pixel
/// lines), and the text is drawn over the board.
/// Leaves texturing, lighting and depth testing enabled.
class TABULA_EXPORT HUDText : public HUD
{
public:
    HUDText() = default;

    void draw() override;

    void setText(const std::string& text) { m_Text = text; }
    const std::string& getText() const { return m_Text; }
    void setColor(const Vec3<double>& color) { m_Color = color; }
    const Vec3<double>& getColor() const { return m_Color; }
    void setPosition(int x, int y)
    {
        m_X = x;
        m_Y = y;
    }
    int getX() const { return m_X; }
    int getY() const { return m_Y; }

    std::string m_Text;
    Vec3<double> m_Color{1.0, 1.0, 1.0};
    int m_X = 0;
    int m_Y = 0;

private:
    /// The text with m_X and m_Y in pixels (Look::m_PixelHUD).
    void drawInPixels(const Vec2<unsigned int>& size) const;
};

} // namespace Rendering
