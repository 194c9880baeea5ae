#pragma once

#include <TabulaExport.h>

#include <Math/Matrix.h>
#include <Math/Quat.h>
#include <Math/Vec3.h>

namespace Rendering
{

/// The viewer: world-space position, orientation (camera to world, unit
/// quaternion), lens and orbit distance. Looks along its local -z with local
/// y up. Free: moved by the translations, turned on the spot. Orbiting: the
/// position follows the orientation on a sphere of radius
/// getDistanceToOrigin() around the world origin. Angles in radians, the field
/// of view in degrees. The camera never goes below y = 0 (see glPut()).
class TABULA_EXPORT Camera
{
public:
    Camera();

    bool isFree() const { return m_IsFree; }
    void setIsFree(bool isFree) { m_IsFree = isFree; }

    void setAspectRatio(double ratio) { m_AspectRatio = ratio; }
    double getAspectRatio() const { return m_AspectRatio; }
    void setPlanes(double nearPlane, double farPlane);
    void setFOV(double degrees) { m_FOV = degrees; }
    double getFOV() const { return m_FOV; }

    void setPosition(const Vec3<double>& position) { m_Position = position; }
    const Vec3<double>& getPosition() const { return m_Position; }
    Quat<double>& getOrientation() { return m_Orientation; }
    /// The orbit's radius, measured from the orbit's centre (getTarget()).
    double getDistanceToOrigin() { return m_DistanceToOrigin; }
    void setDistanceToOrigin(double distance);
    /// The point an orbiting camera turns about and faces: the world origin
    /// unless lookAt moved it.
    const Vec3<double>& getTarget() const { return m_Target; }
    void setTarget(const Vec3<double>& target) { m_Target = target; }

    /// Looks at `target` from `distance` away, `pitch` radians above the
    /// horizontal (positive looks down) and `yaw` radians about the vertical
    /// from the +z side (0 is the engine's start-up side; a positive yaw
    /// goes round counter-clockwise seen from above). The target becomes the
    /// orbit's centre and the distance its radius, in either mode. Loads
    /// nothing into OpenGL (see glPut()).
    void lookAt(const Vec3<double>& target, double yaw, double pitch, double distance);
    /// The yaw and pitch (radians, as lookAt takes them) of the way the
    /// camera looks.
    double getYaw() const;
    double getPitch() const;
    /// The orientation lookAt gives for `yaw` and `pitch`: no roll.
    static Quat<double> orientationFor(double yaw, double pitch);

    /// Move exactly one unit along the camera's own axis, towards the sign of
    /// `d` (its size does not count). A zero amount has no direction and
    /// does not move the camera.
    void translateX(double d);
    void translateY(double d);
    void translateZ(double d);
    void rotate(double angle, const Vec3<double>& axis);
    void rotateX(double angle);
    /// Turn about the world vertical.
    void rotateY(double angle);
    void resetRotation() { m_Orientation.reset(); }
    void computePosition();
    /// Places the camera at t (0..1) between two poses and loads the view.
    void linearGoTo(const Vec3<double>& fromPosition, const Quat<double>& fromOrientation,
                    const Vec3<double>& toPosition, const Quat<double>& toOrientation, float t);

    void buildTransformationMatrix();
    void buildProjectionMatrix();
    /// Loads the view matrix into GL_MODELVIEW (left selected).
    void glPut();
    /// Loads the projection into GL_PROJECTION, then selects GL_MODELVIEW.
    void glUpdateProjectionMatrix();

    /// Column-major, as loaded into OpenGL.
    const Matrix<double>& getTransformationMatrix() const { return m_TransformationMatrix; }
    const Matrix<double>& getProjectionMatrix() const { return m_ProjectionMatrix; }

private:
    void translate(const Vec3<double>& local);

    bool m_IsFree;
    double m_AspectRatio;
    double m_Near;
    double m_Far;
    double m_FOV;
    double m_DistanceToOrigin;
    Vec3<double> m_Target;
    Vec3<double> m_Position;
    Quat<double> m_Orientation;
    Matrix<double> m_TransformationMatrix;
    Matrix<double> m_ProjectionMatrix;
};

} // namespace Rendering
