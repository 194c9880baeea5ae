// The engine's camera framing: views of a point or of the whole board, taken
// at once or reached over time.
#include <Rendering/Render.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <Core/Board.h>
#include <Core/MoveAnimation.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/Camera.h>
#include <Rendering/internal/InteractionState.h>

namespace Rendering
{

namespace
{
const double c_Pi = 3.14159265358979;

// The slab's corners, every square's corners and a box around every piece,
// in the board's own frame.
std::vector<Vec3<double>> boardPoints(const Core::Board& board)
{
    const double w = board.getSize().x(), h = board.getSize().y();
    std::vector<Vec3<double>> points;
    for (double x : {0.0, w})
        for (double z : {0.0, -h})
            for (double y : {0.0, -Core::Board::m_Depth})
                points.emplace_back(x, y, z);
    for (const Core::Square* square : board.getSquares())
    {
        if (!square)
            continue;
        for (const Vec2<unsigned int>& corner : square->getCoords().m_Corners)
            points.emplace_back(corner.x(), 0.0, -static_cast<double>(corner.y()));
        for (const Core::Object* piece : square->getObjects())
        {
            if (!piece)
                continue;
            // Wide enough for any turn of the piece's box.
            const double scale = std::fabs(piece->getScale());
            const double reach =
                piece->getMesh() ? piece->getAabb().getSize().length() * scale / 2.0 : 0.2 * scale;
            const Vec3<double> spot = square->getSpot(*piece);
            for (double dx : {-reach, reach})
                for (double dz : {-reach, reach})
                    for (double y : {0.0, piece->getHeight()})
                        points.emplace_back(spot.x() + dx, y, spot.z() + dz);
        }
    }
    return points;
}
} // namespace

void Render::lookAt(const Vec3<double>& target, double yaw, double pitch, double distance, double seconds)
{
    if (!m_Interaction->m_GLReady)
    {
        m_Interaction->m_PendingView = [this, target, yaw, pitch, distance] { lookAt(target, yaw, pitch, distance); };
        return;
    }
    m_Interaction->m_Flying = false;
    if (!(seconds > 0.0))
    {
        m_Camera->lookAt(target, yaw, pitch, distance);
        m_Camera->glPut();
        return;
    }
    CameraFlight& flight = m_Interaction->m_Flight;
    flight.m_FromPosition = m_Camera->getPosition();
    flight.m_FromYaw = m_Camera->getYaw();
    flight.m_FromPitch = m_Camera->getPitch();
    flight.m_Target = target;
    flight.m_Yaw = yaw;
    flight.m_Pitch = pitch;
    flight.m_Distance = distance;
    flight.m_Seconds = seconds;
    flight.m_Elapsed = 0.0;
    flight.m_LastPosition = m_Camera->getPosition();
    m_Interaction->m_Flying = true;
}

void Render::frameBoard(double yaw, double pitch, double margin, double seconds)
{
    if (!m_Board)
        return;
    if (!m_Interaction->m_GLReady)
    {
        m_Interaction->m_PendingView = [this, yaw, pitch, margin] { frameBoard(yaw, pitch, margin); };
        return;
    }
    // Into the world as the frame draws the board: centred, turned by the
    // scene angle, scaled.
    const double w = m_Board->getSize().x(), h = m_Board->getSize().y();
    const double angle = rot * c_Pi / 180.0;
    std::vector<Vec3<double>> points = boardPoints(*m_Board);
    Vec3<double> lower = Vec3<double>(1, 1, 1) * 1e300, upper = Vec3<double>(1, 1, 1) * -1e300;
    for (Vec3<double>& p : points)
    {
        const double x = p.x() - w / 2.0, z = p.z() + h / 2.0;
        p = Vec3<double>((x * std::cos(angle) + z * std::sin(angle)) * m_Scale.x(), p.y() * m_Scale.y(),
                         (-x * std::sin(angle) + z * std::cos(angle)) * m_Scale.z());
        for (int k = 0; k < 3; ++k)
        {
            lower.ptr()[k] = std::min(lower.ptr()[k], p.ptr()[k]);
            upper.ptr()[k] = std::max(upper.ptr()[k], p.ptr()[k]);
        }
    }
    Vec3<double> target = (lower + upper) * 0.5;

    // The nearest distance at which each point lies inside the view's
    // narrowed pyramid, and in front of the near plane.
    const Quat<double> orientation = Camera::orientationFor(yaw, pitch);
    const Vec3<double> right = orientation * Vec3<double>(1, 0, 0);
    const Vec3<double> up = orientation * Vec3<double>(0, 1, 0);
    const Vec3<double> back = orientation * Vec3<double>(0, 0, 1);
    const double fill = std::clamp(1.0 - margin, 0.01, 1.0);
    const double tanV = std::tan(m_Camera->getFOV() * c_Pi / 360.0) * fill;
    const double tanH = tanV * m_Camera->getAspectRatio();
    const double c_NearClearance = 1.5;
    const auto dot = [](const Vec3<double>& a, const Vec3<double>& b)
    { return a.x() * b.x() + a.y() * b.y() + a.z() * b.z(); };
    double distance = 0.0;
    // Perspective shows the near side larger: once the distance is known,
    // the target moves to the middle of what the view shows and the
    // distance is found again.
    for (int pass = 0;; ++pass)
    {
        distance = 0.0;
        for (const Vec3<double>& p : points)
        {
            const Vec3<double> q = p - target;
            const double along = dot(q, back);
            distance = std::max({distance, std::fabs(dot(q, right)) / tanH + along,
                                 std::fabs(dot(q, up)) / tanV + along, along + c_NearClearance});
        }
        if (pass == 2)
            break;
        double left = 1e300, rightMost = -1e300, bottom = 1e300, top = -1e300;
        for (const Vec3<double>& p : points)
        {
            const Vec3<double> q = p - target;
            const double depth = distance - dot(q, back);
            left = std::min(left, dot(q, right) / depth);
            rightMost = std::max(rightMost, dot(q, right) / depth);
            bottom = std::min(bottom, dot(q, up) / depth);
            top = std::max(top, dot(q, up) / depth);
        }
        target = target + right * ((left + rightMost) / 2.0 * distance) + up * ((bottom + top) / 2.0 * distance);
    }
    lookAt(target, yaw, pitch, distance, seconds);
}

bool Render::isCameraMoving() const
{
    return m_Interaction->m_Flying;
}

void Render::flyCamera(double seconds)
{
    CameraFlight& flight = m_Interaction->m_Flight;
    const Vec3<double> moved = m_Camera->getPosition() - flight.m_LastPosition;
    if (moved.length2() > 1e-18)
    {
        m_Interaction->m_Flying = false;
        return;
    }
    flight.m_Elapsed += std::isfinite(seconds) && seconds > 0.0 ? seconds : 0.0;
    if (flight.m_Elapsed >= flight.m_Seconds)
    {
        m_Interaction->m_Flying = false;
        m_Camera->lookAt(flight.m_Target, flight.m_Yaw, flight.m_Pitch, flight.m_Distance);
        m_Camera->glPut();
        return;
    }
    const double p = Core::MoveAnimation::ease(flight.m_Elapsed / flight.m_Seconds);
    Camera end;
    end.lookAt(flight.m_Target, flight.m_Yaw, flight.m_Pitch, flight.m_Distance);
    // The shorter way round.
    const double yaw = flight.m_FromYaw + std::remainder(flight.m_Yaw - flight.m_FromYaw, 2.0 * c_Pi) * p;
    const double pitch = flight.m_FromPitch + (flight.m_Pitch - flight.m_FromPitch) * p;
    m_Camera->setTarget(flight.m_Target);
    m_Camera->setDistanceToOrigin(flight.m_Distance);
    m_Camera->setPosition(flight.m_FromPosition + (end.getPosition() - flight.m_FromPosition) * p);
    m_Camera->getOrientation() = Camera::orientationFor(yaw, pitch);
    m_Camera->glPut();
    flight.m_LastPosition = m_Camera->getPosition();
}

} // namespace Rendering
