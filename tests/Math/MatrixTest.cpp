#include <gtest/gtest.h>

#include <Math/Matrix.h>
#include <Math/Vec3.h>
#include <Math/Vec4.h>

TEST(MatrixTest, TheTwoProductsReadTheArrayInOppositeOrders)
{
    // b: a rotation-like block, no translation.
    Matrix<double> b(2, 3, 5, 0, 7, 11, 13, 0, 17, 19, 23, 0, 0, 0, 0, 1);
    Matrix<double> r = Matrix<double>::translation(1, 2, 3) * b;
    for (int i : {0, 1, 2, 4, 5, 6, 8, 9, 10, 15})
        EXPECT_EQ(r[i], b[i]) << i;
    for (int j = 0; j < 3; ++j)
        EXPECT_EQ(r[12 + j], 1 * b[j] + 2 * b[4 + j] + 3 * b[8 + j]) << j;

    // The vector product reads rows with the translation in elements 3, 7, 11:
    // a translation() matrix therefore moves no point.
    Vec3<double> p(1, 2, 3);
    Vec3<double> same = Matrix<double>::translation(10, 20, 30) * p;
    EXPECT_EQ(same, p);
    Matrix<double> rowWise(1, 0, 0, 10, 0, 1, 0, 20, 0, 0, 1, 30, 0, 0, 0, 1);
    EXPECT_EQ(rowWise * p, Vec3<double>(11, 22, 33));
    // The model reader's axis matrix: z-up (x, y, z) becomes y-up (x, z, -y).
    Matrix<double> axis(1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1);
    EXPECT_EQ(axis * p, Vec3<double>(1, 3, -2));
}

TEST(MatrixTest, TransformReadsColumnsAsOpenGLAndAgreesWithTheProduct)
{
    // translation() in OpenGL's reading moves a point (w 1), not a direction (w 0).
    const Matrix<double> move = Matrix<double>::translation(10, 20, 30);
    EXPECT_EQ(move.transform(Vec4<double>(1, 2, 3, 1)), Vec4<double>(11, 22, 33, 1));
    EXPECT_EQ(move.transform(Vec4<double>(1, 2, 3, 0)), Vec4<double>(1, 2, 3, 0));

    // a * b applies a first, then b: the one product the picking and the
    // window points build on.
    const double elements[16] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41, 43, 47, 53};
    const Matrix<double> a = Matrix<double>::fromArray(elements);
    const Matrix<double> b(1, 0, 2, 0, 0, 3, 0, 1, 4, 0, 5, 0, 0, 6, 0, 7);
    const Vec4<double> v(1, -2, 3, 1);
    EXPECT_EQ((a * b).transform(v), b.transform(a.transform(v)));
    EXPECT_NE((b * a).transform(v), b.transform(a.transform(v)));
}
