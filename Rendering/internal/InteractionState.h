#pragma once

#include <Core/CallBackFrame.h>
#include <Core/CallBackKeyboard.h>
#include <Core/CallBackPicking.h>
#include <Core/internal/FunctionRecords.h>
#include <Math/Vec3.h>

#include <functional>
#include <string>

namespace Core
{
class Square;
}

namespace Rendering
{

/// A camera move under way (Render::lookAt with a duration): position and
/// angles eased from where the camera was to the view asked for.
struct CameraFlight
{
    Vec3<double> m_FromPosition;
    double m_FromYaw = 0.0;
    double m_FromPitch = 0.0;
    Vec3<double> m_Target;
    double m_Yaw = 0.0;
    double m_Pitch = 0.0;
    double m_Distance = 0.0;
    double m_Seconds = 0.0;
    double m_Elapsed = 0.0;
    /// Where the flight left the camera: a camera found elsewhere was moved
    /// by the player, which ends the flight.
    Vec3<double> m_LastPosition;
};

/// What the engine keeps beside its own fields: the function handlers it
/// lists among the game's records, the camera's move and what waits for
/// the window to exist.
struct InteractionState
{
    Core::FunctionRecords<Core::CallBackPicking> m_ClickFunctions;
    Core::FunctionRecords<Core::CallBackKeyboard> m_KeyFunctions;
    Core::FunctionRecords<Core::CallBackFrame> m_FrameFunctions;

    bool m_Flying = false;
    CameraFlight m_Flight;
    /// True once initGL has set the camera up.
    bool m_GLReady = false;
    /// A view asked for before the set-up, taken at its end.
    std::function<void()> m_PendingView;

    bool m_KeyboardPlay = false;
    Core::Square* m_Focus = nullptr;
    /// The square the focus mark was put on for this frame.
    Core::Square* m_FocusMarked = nullptr;
    std::function<void(const std::string&)> m_Announcer;
    Core::CallBackHandle m_MoveAnnouncements;
};

} // namespace Rendering
