#include <gtest/gtest.h>

#include <cmath>

#include <Rendering/Camera.h>

using Rendering::Camera;

namespace
{
const double c_QuarterTurn = 0.7853975;

// Where the camera's view puts the world point p.
Vec4<double> seen(const Camera& camera, const Vec3<double>& p)
{
    return camera.getTransformationMatrix().transform(Vec4<double>(p.x(), p.y(), p.z(), 1));
}

Camera startUpCamera()
{
    Camera camera;
    camera.setPosition(Vec3<double>(0, 10, 10));
    camera.rotateX(-c_QuarterTurn);
    camera.setDistanceToOrigin(10.0);
    return camera;
}
} // namespace

TEST(CameraTest, TranslationsMoveExactlyOneUnitTowardsTheSign)
{
    // Whatever the amount, a step is one unit long.
    Camera camera;
    camera.translateX(-0.5);
    camera.translateY(2.0);
    EXPECT_NEAR(camera.getPosition().x(), -1.0, 1e-12);
    EXPECT_NEAR(camera.getPosition().y(), 1.0, 1e-12);
    // A zero step has no direction and leaves the camera where it is.
    camera.translateZ(0.0);
    EXPECT_NEAR(camera.getPosition().x(), -1.0, 1e-12);
    EXPECT_TRUE(std::isfinite(camera.getPosition().z()));

    // Forward follows the orientation: looking down 45 degrees, z moves along it.
    Camera tilted = startUpCamera();
    tilted.translateZ(-0.5);
    EXPECT_NEAR(tilted.getPosition().y(), 10.0 - std::sqrt(0.5), 1e-5);
    EXPECT_NEAR(tilted.getPosition().z(), 10.0 - std::sqrt(0.5), 1e-5);
}

TEST(CameraTest, NeverBelowTheGroundAndTheProjectionFor45Degrees)
{
    Camera camera;
    camera.setPosition(Vec3<double>(3, -2, 1));
    camera.buildTransformationMatrix();
    EXPECT_EQ(camera.getPosition(), Vec3<double>(3, 0, 1));
    EXPECT_DOUBLE_EQ(camera.getTransformationMatrix()[13], 0.0);

    camera.setFOV(45.0);
    camera.setAspectRatio(1.0);
    camera.setPlanes(1.0, 1000.0);
    camera.buildProjectionMatrix();
    const Matrix<double>& p = camera.getProjectionMatrix();
    EXPECT_NEAR(p[0], 2.4142, 1e-4);
    EXPECT_NEAR(p[5], 2.4142, 1e-4);
    EXPECT_NEAR(p[10], -1001.0 / 999.0, 1e-12);
    EXPECT_DOUBLE_EQ(p[11], -1.0);
    EXPECT_NEAR(p[14], -2000.0 / 999.0, 1e-12);
    EXPECT_DOUBLE_EQ(p[15], 0.0);
}

// lookAt puts the target straight ahead at the distance, from the side and
// height asked; the orbiting keys then turn about the target at that
// distance, still facing it.
TEST(CameraTest, LookAtFacesTheTargetTheOrbitTurnsAboutItAndTheStartUpPoseIsOne)
{
    struct View
    {
        Vec3<double> target;
        double yaw, pitch, distance;
        Vec3<double> position;
    };
    const double s = std::sqrt(0.5);
    const View views[] = {
        {Vec3<double>(0, 0, 0), 0.0, 3.14159265358979 / 4, 10.0, Vec3<double>(0, 10 * s, 10 * s)},
        {Vec3<double>(1, 0.5, -2), 3.14159265358979 / 2, 3.14159265358979 / 6, 4.0,
         Vec3<double>(1 + 4 * std::sqrt(0.75), 0.5 + 2, -2)},
        {Vec3<double>(-3, 0, 3), -3.0, 1.2, 25.0, Vec3<double>()},
    };
    for (const View& view : views)
    {
        Camera camera;
        camera.lookAt(view.target, view.yaw, view.pitch, view.distance);
        if (view.position.length2() > 0)
        {
            EXPECT_NEAR((camera.getPosition() - view.position).length(), 0.0, 1e-9) << view.yaw;
        }
        EXPECT_NEAR(camera.getYaw(), view.yaw, 1e-9);
        EXPECT_NEAR(camera.getPitch(), view.pitch, 1e-9);
        for (bool orbit : {false, true})
        {
            if (orbit)
            {
                camera.setIsFree(false);
                camera.rotateY(0.3);
                camera.rotateX(0.2);
            }
            camera.buildTransformationMatrix();
            const Vec4<double> ahead = seen(camera, view.target);
            EXPECT_NEAR(ahead.x(), 0.0, 1e-9) << view.yaw << " orbit " << orbit;
            EXPECT_NEAR(ahead.y(), 0.0, 1e-9) << view.yaw << " orbit " << orbit;
            EXPECT_NEAR(ahead.z(), -view.distance, 1e-9) << view.yaw << " orbit " << orbit;
        }
    }
    // The start-up pose is lookAt's from the front at 45 degrees, up to the
    // engine's rounded quarter turn, looking at the origin from about 14
    // units: free, neither the rotation nor the distance moved it.
    Camera startUp = startUpCamera();
    EXPECT_NEAR(startUp.getYaw(), 0.0, 1e-12);
    EXPECT_NEAR(startUp.getPitch(), c_QuarterTurn, 1e-12);
    EXPECT_EQ(startUp.getPosition(), Vec3<double>(0, 10, 10));
    startUp.buildTransformationMatrix();
    const Vec4<double> origin = seen(startUp, Vec3<double>(0, 0, 0));
    EXPECT_NEAR(origin.x(), 0.0, 1e-5);
    EXPECT_NEAR(origin.y(), 0.0, 1e-4);
    EXPECT_NEAR(origin.z(), -14.1421, 1e-3);
}
