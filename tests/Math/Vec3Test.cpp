#include <gtest/gtest.h>

#include <Math/Vec3.h>

TEST(Vec3Test, ArithmeticInterpolationAndNormalize)
{
    Vec3<double> a(1, 2, 3), b(4, 6, 8);
    EXPECT_EQ(a + b, Vec3<double>(5, 8, 11));
    EXPECT_EQ(b - a, Vec3<double>(3, 4, 5));
    EXPECT_EQ(-a, Vec3<double>(-1, -2, -3));
    EXPECT_EQ(a * 2.0, Vec3<double>(2, 4, 6));
    EXPECT_DOUBLE_EQ((b - a).length(), std::sqrt(50.0));

    EXPECT_EQ(a.linearInterpolation(b, 0.0f), a);
    EXPECT_EQ(a.linearInterpolation(b, 1.0f), b);
    Vec3<double> mid = a.linearInterpolation(b, 0.5f);
    EXPECT_DOUBLE_EQ(mid.y(), 4.0);

    Vec3<double> n(3, 0, 4);
    n.normalize();
    EXPECT_DOUBLE_EQ(n.x(), 0.6);
    EXPECT_DOUBLE_EQ(n.z(), 0.8);
    Vec3<double> zero;
    zero.normalize();
    EXPECT_EQ(zero, Vec3<double>(0, 0, 0));
}
