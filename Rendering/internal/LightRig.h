#pragma once

#include <Math/Vec3.h>

namespace Rendering
{

/// The lights of Look::m_LightRig: a white key light from above and in front
/// of the default view, a weaker fill from behind on the other side, and a
/// global ambient, on OpenGL lights 0 and 1. A white untextured surface
/// facing up reads about 230 of 255, one facing the default camera about 150;
/// no channel saturates (the lights have no specular part).
class LightRig
{
public:
    /// Towards the key light (unit length), in world coordinates: the frame
    /// of the camera's view before the scene's scale and turn.
    static Vec3<double> keyDirection();

    /// Sets lights 0 and 1 and the ambient under `view` (the camera's
    /// model-view matrix, OpenGL column order), and enables light 1.
    static void apply(const double* view);
    /// Undoes apply() if it was the last to set the lights: light 1 off and
    /// OpenGL's own ambient back, so a game's lights meet the state they
    /// would without the rig; true then. Light 0's values are the default
    /// light's to set again.
    static bool release();
};

} // namespace Rendering
