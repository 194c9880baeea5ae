#include <Rendering/Camera.h>

#include <algorithm>
#include <cmath>

#include <GL/gl.h>

namespace Rendering
{

namespace
{
const double c_Pi = 3.14159;
}

// The lens and orbit start as the engine sets them up, so a camera used
// before that still builds finite matrices.
Camera::Camera()
    : m_IsFree(true), m_AspectRatio(1024.0 / 728.0), m_Near(1.0), m_Far(1000.0), m_FOV(45.0), m_DistanceToOrigin(10.0),
      m_TransformationMatrix(Matrix<double>::identity()), m_ProjectionMatrix(Matrix<double>::identity())
{
}

void Camera::setPlanes(double nearPlane, double farPlane)
{
    m_Near = nearPlane;
    m_Far = farPlane;
}

void Camera::setDistanceToOrigin(double distance)
{
    m_DistanceToOrigin = distance;
    if (!m_IsFree)
        computePosition();
}

void Camera::translate(const Vec3<double>& local)
{
    // The rotated direction comes back at unit length, so every step is one unit.
    if (local.length2() == 0.0)
        return;
    m_Position = m_Position + m_Orientation * local;
}

void Camera::translateX(double d)
{
    translate(Vec3<double>(d, 0, 0));
}
void Camera::translateY(double d)
{
    translate(Vec3<double>(0, d, 0));
}
void Camera::translateZ(double d)
{
    translate(Vec3<double>(0, 0, d));
}

void Camera::rotate(double angle, const Vec3<double>& axis)
{
    Vec3<double> unit(axis);
    unit.normalize();
    m_Orientation = m_Orientation * Quat<double>(angle, unit);
    if (!m_IsFree)
        computePosition();
}

void Camera::rotateX(double angle)
{
    rotate(angle, Vec3<double>(1, 0, 0));
}

void Camera::rotateY(double angle)
{
    m_Orientation = Quat<double>(angle, Vec3<double>(0, 1, 0)) * m_Orientation;
    if (!m_IsFree)
        computePosition();
}

void Camera::computePosition()
{
    m_Position = m_Target + (m_Orientation * Vec3<double>(0, 0, 1)) * m_DistanceToOrigin;
}

Quat<double> Camera::orientationFor(double yaw, double pitch)
{
    return Quat<double>(yaw, Vec3<double>(0, 1, 0)) * Quat<double>(-pitch, Vec3<double>(1, 0, 0));
}

void Camera::lookAt(const Vec3<double>& target, double yaw, double pitch, double distance)
{
    m_Target = target;
    m_DistanceToOrigin = distance;
    m_Orientation = orientationFor(yaw, pitch);
    m_Position = m_Target + (m_Orientation * Vec3<double>(0, 0, 1)) * m_DistanceToOrigin;
}

double Camera::getYaw() const
{
    // The camera's back (+z) axis, turned into the world.
    const Matrix<double> r = m_Orientation.getMatrix();
    return std::atan2(r[2], r[10]);
}

double Camera::getPitch() const
{
    const Matrix<double> r = m_Orientation.getMatrix();
    return std::asin(std::max(-1.0, std::min(1.0, r[6])));
}

void Camera::linearGoTo(const Vec3<double>& fromPosition, const Quat<double>& fromOrientation,
                        const Vec3<double>& toPosition, const Quat<double>& toOrientation, float t)
{
    m_Position = fromPosition.linearInterpolation(toPosition, t);
    m_Orientation = fromOrientation.slerp(toOrientation, t);
    glPut();
}

void Camera::buildTransformationMatrix()
{
    // The camera never goes below the ground plane.
    if (m_Position.y() < 0.0)
        m_Position.y() = 0.0;
    m_TransformationMatrix = Matrix<double>::translation(-m_Position) * m_Orientation.getMatrix();
}

void Camera::buildProjectionMatrix()
{
    const double a = c_Pi * m_FOV / 180.0;
    const double f = std::cos(a / 2.0) / std::sin(a / 2.0);
    m_ProjectionMatrix = Matrix<double>();
    m_ProjectionMatrix[0] = f / m_AspectRatio;
    m_ProjectionMatrix[5] = f;
    m_ProjectionMatrix[10] = (m_Near + m_Far) / (m_Near - m_Far);
    m_ProjectionMatrix[11] = -1.0;
    m_ProjectionMatrix[14] = 2.0 * m_Far * m_Near / (m_Near - m_Far);
}

void Camera::glPut()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    buildTransformationMatrix();
    glLoadMatrixd(m_TransformationMatrix.getPtr());
}

void Camera::glUpdateProjectionMatrix()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    buildProjectionMatrix();
    glLoadMatrixd(m_ProjectionMatrix.getPtr());
    glMatrixMode(GL_MODELVIEW);
}

} // namespace Rendering
