#pragma once

#include <Math/Vec3.h>

namespace Rendering
{

/// What the drawing code needs to know about a selection pass (GL_SELECT
/// mode) on the current context, and how it draws there.
///
/// Skipping: in GL_SELECT mode only primitives inside the current
/// projection's clip volume produce hits; in the engine's pass that volume is
/// the 2x2-pixel region gluPickMatrix makes around the pointer. A box whose
/// eight corners all lie beyond one of the volume's six planes cannot reach
/// it, so squares and pieces whose bounds fail mayHit() are not drawn at all,
/// names included. The hit records stay the same, because a name pushed and
/// popped with no hit in between writes no record; the test is done on the
/// processor with the matrices current where the drawable is drawn, so any
/// translation a game applies before drawing a piece is taken into account.
///
/// Geometry: selection-mode primitives given between glBegin and glEnd make
/// some Mesa versions (22.3 among them) keep memory every frame, while vertex
/// arrays and display lists do not, so in GL_SELECT mode the board and
/// squares hand their corners over as client-side vertex arrays built on the
/// stack from their current sizes and corners: there is nothing cached that
/// could go stale.
class PickRegion
{
public:
    /// True while the current context is in GL_SELECT mode.
    static bool selecting();

    /// False only in GL_SELECT mode, with skipping on, when the box from
    /// `min` to `max` in the current modelview frame lies wholly outside the
    /// current projection's clip volume. A box with min above max on any
    /// axis (an empty model) is never skipped.
    static bool mayHit(const Vec3<double>& min, const Vec3<double>& max);

    /// In GL_SELECT mode with skipping on, writes the current projection
    /// times modelview (column-major) to `toClip` and returns true, for
    /// testing many boxes in one frame with boxReaches(); otherwise returns
    /// false: everything is to be drawn.
    static bool clipMatrix(double (&toClip)[16]);
    /// False when the box from `min` to `max` lies wholly beyond one plane of
    /// the clip volume of `toClip`; true for an inverted box.
    static bool boxReaches(const double (&toClip)[16], const Vec3<double>& min, const Vec3<double>& max);

    /// Skipping is on unless turned off; off, every drawable is drawn in the
    /// selection pass. Kept so that tests can compare the hit records made
    /// with and without it.
    static void setSkipping(bool on);
    static bool isSkipping();

    /// Draws `count` vertices of `mode` (a glBegin mode) from `xyz` (three
    /// doubles per vertex) through a client-side vertex array, leaving the
    /// client array state as it was.
    static void drawVertices(unsigned int mode, const double* xyz, int count);
};

} // namespace Rendering
