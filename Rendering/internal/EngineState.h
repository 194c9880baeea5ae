#pragma once

namespace Rendering
{

/// Radius of the sphere a piece without a model draws.
constexpr double c_SphereRadius = 0.2;

/// What the engine keeps for the whole process beside its singletons, in one
/// place. Constant-initialised and trivially destroyed, so it can be read
/// from the library's loading until the process ends, before the singletons
/// are made and after they are gone.
struct EngineState
{
    /// True from the engine's (Render) and the image manager's construction
    /// to their destruction: objects destroyed at exit after them (a static
    /// piece, a texture) must not reach them.
    bool m_RenderAlive = false;
    bool m_ImageManagerAlive = false;
    /// Whether the picking pass leaves out what cannot reach the pointer
    /// (see PickRegion); turned off only by tests comparing the hit records.
    bool m_PickSkipping = true;
    /// The sphere a piece without a model draws, compiled by the engine's
    /// OpenGL set-up in its context; 0 before that.
    unsigned int m_SphereList = 0;
};

EngineState& engineState();

} // namespace Rendering
