#include <gtest/gtest.h>

#include <Math/Quat.h>

namespace
{
const double c_HalfPi = 3.14159265358979 / 2.0;

void expectVec(const Vec3<double>& v, double x, double y, double z, double eps = 1e-9)
{
    EXPECT_NEAR(v.x(), x, eps);
    EXPECT_NEAR(v.y(), y, eps);
    EXPECT_NEAR(v.z(), z, eps);
}
} // namespace

TEST(QuatTest, ProductsNormalizeAndRotateToUnitLength)
{
    Quat<double> q(0.5, 0.0, 0.0, 0.0);
    Quat<double> p = q * q;
    EXPECT_DOUBLE_EQ(p.x(), 0.0);
    EXPECT_DOUBLE_EQ(p.w(), -1.0);

    Quat<double> a(0.3, Vec3<double>(0, 1, 0));
    Quat<double> b(1.1, Vec3<double>(0.6, 0, 0.8));
    EXPECT_NEAR((a * b).length(), 1.0, 1e-12);

    Quat<double> turn(c_HalfPi, Vec3<double>(0, 0, 1));
    expectVec(turn * Vec3<double>(1, 0, 0), 0, 1, 0);
    // The rotated vector comes back as a direction, whatever its length.
    expectVec(turn * Vec3<double>(5, 0, 0), 0, 1, 0);
    // A zero vector has no direction: it stays zero rather than turning into NaN.
    expectVec(turn * Vec3<double>(0, 0, 0), 0, 0, 0);
}

TEST(QuatTest, MatrixIsTheRotationReadByRows)
{
    Matrix<double> identity = Quat<double>().getMatrix();
    for (int i = 0; i < 16; ++i)
        EXPECT_DOUBLE_EQ(identity[i], Matrix<double>::identity()[i]) << i;

    Quat<double> turn(c_HalfPi, Vec3<double>(0, 0, 1));
    Matrix<double> m = turn.getMatrix();
    EXPECT_NEAR(m[1], -1.0, 1e-12);
    EXPECT_NEAR(m[4], 1.0, 1e-12);

    // Read row by row it rotates like the quaternion; OpenGL reads it by
    // columns, that is as the inverse rotation.
    Quat<double> q(0.7, Vec3<double>(0.48, 0.6, 0.64));
    Vec3<double> v(0.2, -0.4, 0.9);
    v.normalize();
    Vec3<double> rotated = q * v;
    expectVec(m * Vec3<double>(1, 0, 0), 0, 1, 0);
    Matrix<double> r = q.getMatrix();
    expectVec(r * v, rotated.x(), rotated.y(), rotated.z());
    Vec3<double> back(r[0] * rotated.x() + r[4] * rotated.y() + r[8] * rotated.z(),
                      r[1] * rotated.x() + r[5] * rotated.y() + r[9] * rotated.z(),
                      r[2] * rotated.x() + r[6] * rotated.y() + r[10] * rotated.z());
    expectVec(back, v.x(), v.y(), v.z());
}

TEST(QuatTest, SlerpEndPointsAndDegenerateInput)
{
    Quat<double> p(0.4, Vec3<double>(1, 0, 0));
    Quat<double> q(1.3, Vec3<double>(0, 1, 0));
    Quat<double> start = p.slerp(q, 0.0f);
    Quat<double> end = p.slerp(q, 1.0f);
    EXPECT_NEAR(start.x(), p.x(), 1e-12);
    EXPECT_NEAR(start.w(), p.w(), 1e-12);
    EXPECT_NEAR(end.y(), q.y(), 1e-12);
    EXPECT_NEAR(end.w(), q.w(), 1e-12);

    // Equal quaternions would divide by sin(0): the result stays finite.
    Quat<double> same = p.slerp(p, 0.5f);
    EXPECT_TRUE(std::isfinite(same.x()) && std::isfinite(same.w()));
    EXPECT_NEAR(same.x(), p.x(), 1e-12);
}
