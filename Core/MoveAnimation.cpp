#include <Core/MoveAnimation.h>

#include <algorithm>
#include <cmath>

namespace Core
{

namespace
{
double nonNegative(double seconds)
{
    return std::isfinite(seconds) && seconds > 0.0 ? seconds : 0.0;
}

// Progress in [0, 1] of a stretch of `length` seconds starting at `start`;
// a stretch of no length is over as soon as it starts.
double progress(double elapsed, double start, double length)
{
    if (length <= 0.0)
        return elapsed >= start ? 1.0 : 0.0;
    return std::clamp((elapsed - start) / length, 0.0, 1.0);
}
} // namespace

MoveAnimation::MoveAnimation(Object* object, Square* destination, const Style& style,
                             const std::vector<Vec3<double>>& spots, const std::vector<Object*>& captured,
                             const std::vector<Vec3<double>>& places)
    : m_Object(object), m_Destination(destination), m_Style(style), m_Spots(spots), m_Captured(captured),
      m_Places(places), m_Elapsed(0.0), m_Yaw(0.0), m_FlipAxis(1.0, 0.0, 0.0)
{
    m_Style.m_LegSeconds = nonNegative(m_Style.m_LegSeconds);
    m_Style.m_ExitSeconds = nonNegative(m_Style.m_ExitSeconds);
    if (!std::isfinite(m_Style.m_HopHeight))
        m_Style.m_HopHeight = 0.0;
    // A path of one spot is a move that stays where it is.
    if (m_Spots.size() < 2)
        m_Spots.resize(2, m_Spots.empty() ? Vec3<double>() : m_Spots.front());
    m_Places.resize(m_Captured.size());
    if (!std::isfinite(m_Style.m_Heading))
        m_Style.m_Heading = 0.0;
    setStartOrientation(Quat<double>());
}

void MoveAnimation::setStartOrientation(const Quat<double>& orientation)
{
    m_Start = orientation;
    const Vec3<double> travel = m_Spots.back() - m_Spots.front();
    const bool travels = travel.x() != 0.0 || travel.z() != 0.0;
    double target = 0.0;
    m_Yaw = 0.0;
    if (m_Style.m_Turn == TO_HEADING)
        target = m_Style.m_Heading * M_PI / 180.0;
    else if (m_Style.m_Turn == FACE_TRAVEL && travels)
        target = std::atan2(travel.x(), travel.z());
    if (m_Style.m_Turn == TO_HEADING || (m_Style.m_Turn == FACE_TRAVEL && travels))
    {
        // The turned +z axis gives the heading it starts from.
        const Matrix<double> r = orientation.getMatrix();
        const double from = r[2] == 0.0 && r[10] == 0.0 ? 0.0 : std::atan2(r[2], r[10]);
        // The shorter way round.
        m_Yaw = std::remainder(target - from, 2.0 * M_PI);
    }
    // Across the travel, so the piece tips towards where it goes.
    m_FlipAxis = travels ? Vec3<double>(travel.z(), 0.0, -travel.x()) : Vec3<double>(1.0, 0.0, 0.0);
    m_FlipAxis.normalize();
    m_End = turnedBy(1.0);
}

Quat<double> MoveAnimation::turnedBy(double p) const
{
    Quat<double> turn = Quat<double>(m_Yaw * p, Vec3<double>(0.0, 1.0, 0.0)) * m_Start;
    if (m_Style.m_Flip)
        turn = Quat<double>(M_PI * p, m_FlipAxis) * turn;
    return turn;
}

Quat<double> MoveAnimation::getOrientation() const
{
    const double travel = m_Style.m_LegSeconds * static_cast<double>(legCount());
    return turnedBy(ease(progress(m_Elapsed, 0.0, travel)));
}

double MoveAnimation::ease(double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

void MoveAnimation::advance(double seconds)
{
    m_Elapsed = std::min(m_Elapsed + nonNegative(seconds), getDuration());
}

double MoveAnimation::getDuration() const
{
    const double leg = m_Style.m_LegSeconds;
    double duration = leg * static_cast<double>(legCount());
    for (std::size_t i = 0; i < m_Captured.size(); ++i)
    {
        const double start = (static_cast<double>(std::min(i, legCount() - 1)) + 0.5) * leg;
        duration = std::max(duration, start + m_Style.m_ExitSeconds);
    }
    return duration;
}

Vec3<double> MoveAnimation::getOffset() const
{
    const double leg = m_Style.m_LegSeconds;
    std::size_t k = legCount() - 1;
    if (leg > 0.0)
        k = std::min(static_cast<std::size_t>(m_Elapsed / leg), legCount() - 1);
    const double p = ease(progress(m_Elapsed, static_cast<double>(k) * leg, leg));
    const Vec3<double>& a = m_Spots[k];
    const Vec3<double>& b = m_Spots[k + 1];
    const Vec3<double>& end = m_Spots.back();
    const double lift = m_Style.m_Path == HOP ? 4.0 * m_Style.m_HopHeight * p * (1.0 - p) : 0.0;
    return Vec3<double>(a.x() + (b.x() - a.x()) * p - end.x(), a.y() + (b.y() - a.y()) * p + lift - end.y(),
                        a.z() + (b.z() - a.z()) * p - end.z());
}

double MoveAnimation::getExitProgress(std::size_t i) const
{
    const double leg = m_Style.m_LegSeconds;
    const double start = (static_cast<double>(std::min(i, legCount() - 1)) + 0.5) * leg;
    return ease(progress(m_Elapsed, start, m_Style.m_ExitSeconds));
}

} // namespace Core
