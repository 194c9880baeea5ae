#pragma once

#include <Math/Vec3.h>

namespace Core
{
class Board;
}

namespace Rendering
{

/// The pieces' shadows of Look::m_Shadows, drawn after the board in the
/// render pass: every piece on a square (where it is drawn now, along its
/// path while it moves) flattened onto the board's top face along the light,
/// darkening what is there.
///
/// Planar projection through the stencil buffer rather than a shadow map:
/// the only receiver is one flat face, so projecting is exact there, needs
/// no depth textures or extra render target (the window already has a
/// stencil buffer), and has no shadow-map resolution or bias artefacts. A
/// piece's shadow is the convex outline of its vertices flattened along the
/// light, worked out once per model and light direction: a polygon of a few
/// dozen corners per piece and frame instead of the whole model drawn again
/// (a concave model's shadow is filled in between its arms). Each outline
/// is clipped to the top face and depth-tested on its plane, so a shadow
/// never falls off the board's edge or onto a piece; the stencil counts each
/// pixel once per sample, so overlapping shadows darken once. Two samples
/// spread around the light give the edge a soft penumbra.
class Shadows
{
public:
    /// `towardsLight`: the direction to the light in the board's frame (the
    /// scene's, after its scale and turn); no shadow when it does not point
    /// upwards. Needs the model-view matrix the board's draw() gets, the
    /// board already drawn in the depth buffer and a stencil buffer (four
    /// bits) cleared to 0; leaves the enable, colour, depth, stencil
    /// and current state as it found them, and the fixed-function pipeline
    /// in use.
    static void draw(const Core::Board& board, const Vec3<double>& towardsLight);
};

} // namespace Rendering
