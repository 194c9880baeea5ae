#include <gtest/gtest.h>

#include <Math/Quat.h>

namespace
{
const double c_HalfPi = 3.14159265358979 / 2.0;

void expectVec(const Vec3<double>& v, const Vec3<double>& expected)
{
    EXPECT_NEAR(v.x(), expected.x(), 1e-9);
    EXPECT_NEAR(v.y(), expected.y(), 1e-9);
    EXPECT_NEAR(v.z(), expected.z(), 1e-9);
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

    // The rotated vector comes back as a direction, whatever its length; a
    // zero vector has no direction: it stays zero rather than turning into NaN.
    Quat<double> turn(c_HalfPi, Vec3<double>(0, 0, 1));
    for (double length : {1.0, 5.0, 0.0})
        expectVec(turn * Vec3<double>(length, 0, 0), Vec3<double>(0, length == 0 ? 0 : 1, 0));
}

TEST(QuatTest, MatrixIsTheRotationReadByRows)
{
    // Read row by row it rotates like the quaternion (OpenGL, reading it by
    // columns, sees the inverse rotation).
    expectVec(Quat<double>(c_HalfPi, Vec3<double>(0, 0, 1)).getMatrix() * Vec3<double>(1, 0, 0), Vec3<double>(0, 1, 0));
    Quat<double> q(0.7, Vec3<double>(0.48, 0.6, 0.64));
    Vec3<double> v(0.2, -0.4, 0.9);
    v.normalize();
    expectVec(q.getMatrix() * v, q * v);
}

TEST(QuatTest, SlerpEndPointsAndDegenerateInput)
{
    Quat<double> p(0.4, Vec3<double>(1, 0, 0));
    Quat<double> q(1.3, Vec3<double>(0, 1, 0));
    // Equal quaternions would divide by sin(0): the result stays finite.
    for (auto [from, to, t, expected] :
         {std::make_tuple(p, q, 0.0f, p), std::make_tuple(p, q, 1.0f, q), std::make_tuple(p, p, 0.5f, p)})
    {
        const Quat<double> r = from.slerp(to, t);
        for (auto [got, want] : {std::pair(r.x(), expected.x()), std::pair(r.y(), expected.y()),
                                 std::pair(r.z(), expected.z()), std::pair(r.w(), expected.w())})
            EXPECT_NEAR(got, want, 1e-12) << t;
    }
}
