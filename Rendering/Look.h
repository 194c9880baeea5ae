#pragma once

namespace Rendering
{

/// How the engine draws the scene: switches that a game sets with
/// Render::setLook before run(). A default-constructed Look draws as the
/// engine always has, so games written for that picture keep it; modern()
/// turns every switch on, the look a new game wants. Each switch works on
/// its own.
struct Look
{
    /// The mouse-over (green), selected (red) and authorized (blue) marks
    /// also show on untextured squares, mixed half and half with the
    /// square's own colour. Off: only textured squares show them.
    bool m_MarksOnAnySquare = false;
    /// The slab (with a normal per face), its outline and the squares are
    /// lit in their own colours, so Board::setColor and setLineColor show and
    /// nothing drawn before leaks into them; a model piece shows its parts'
    /// own colours (glTF base colour, OBJ Kd), each part's colour staying on
    /// that part. Off: the slab and outline take the material left by
    /// whatever was drawn last, and a model's part colours do not show under
    /// lighting.
    bool m_TrueColors = false;
    /// Normals are renormalised in the render pass, so a piece drawn with a
    /// scale other than 1 (or a scene scale other than 1) is lit as at its
    /// own size.
    bool m_RescaleNormals = false;
    /// While the game has added no light of its own, a key light from above
    /// and in front of the default view, a weaker fill from the other side
    /// and some ambient replace the default spot (lights 0 and 1). The key
    /// stays put in the world when the scene turns. A game's own lights
    /// switch the rig off and work as without it.
    bool m_LightRig = false;
    /// A multisampled window when the display offers one (GL_SAMPLE_BUFFERS
    /// then reads more than 0); single-sampled otherwise. Read by run().
    bool m_Antialiasing = false;
    /// Every piece on a square, moving or not, casts a shadow from the key
    /// light onto the board's top face. Only the render pass draws shadows,
    /// never the picking pass.
    bool m_Shadows = false;
    /// A model piece stands with the middle of its box (x and z) on its spot
    /// and its lowest point on the square's face, wherever the model's origin
    /// is. Off: the model's origin is on the spot, lifted by half its scaled
    /// height plus 0.02.
    bool m_CentredPieces = false;
    /// HUDText positions are pixels from the window's top-left corner to the
    /// top-left of the text (y downwards, as pointer events count), kept
    /// through resizes, and the text is drawn over the board. Off: about 8 by
    /// 9 pixel units, y upwards, drawn before (under) the board.
    bool m_PixelHUD = false;

    /// Every switch on.
    static Look modern()
    {
        Look look;
        look.m_MarksOnAnySquare = look.m_TrueColors = look.m_RescaleNormals = look.m_LightRig = true;
        look.m_Antialiasing = look.m_Shadows = look.m_CentredPieces = look.m_PixelHUD = true;
        return look;
    }
};

} // namespace Rendering
