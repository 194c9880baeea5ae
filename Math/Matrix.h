#pragma once

#include <Math/Vec3.h>
#include <Math/Vec4.h>

/// Sixteen elements in one flat array, indices 0 to 15. The camera fills it in
/// OpenGL's column-major order (a translation sits at 12, 13, 14) so getPtr()
/// goes straight to glLoadMatrixd. The product with a Vec3 reads the array the
/// other way, by rows with the translation in elements 3, 7, 11: the model
/// reader builds its node and axis matrices for that reading.
template <typename T>
class Matrix
{
public:
    /// All zeros, not the identity.
    Matrix() : m_M{} {}
    Matrix(T m0, T m1, T m2, T m3, T m4, T m5, T m6, T m7, T m8, T m9, T m10, T m11, T m12, T m13, T m14, T m15)
        : m_M{m0, m1, m2, m3, m4, m5, m6, m7, m8, m9, m10, m11, m12, m13, m14, m15}
    {
    }

    static Matrix identity()
    {
        Matrix m;
        m.m_M[0] = m.m_M[5] = m.m_M[10] = m.m_M[15] = T(1);
        return m;
    }

    static Matrix translation(T x, T y, T z)
    {
        Matrix m = identity();
        m.m_M[12] = x;
        m.m_M[13] = y;
        m.m_M[14] = z;
        return m;
    }
    static Matrix translation(const Vec3<T>& v) { return translation(v.x(), v.y(), v.z()); }

    /// The 16 elements from `elements`, in their order (as glGetDoublev writes
    /// a matrix).
    static Matrix fromArray(const T* elements)
    {
        Matrix m;
        for (int i = 0; i < 16; ++i)
            m.m_M[i] = elements[i];
        return m;
    }

    T& operator[](int i) { return m_M[i]; }
    T operator[](int i) const { return m_M[i]; }

    /// r[4i + j] = sum over k of a[4i + k] * b[4k + j]. Read as OpenGL
    /// column-major matrices this is B * A: this one applied first, then b.
    Matrix operator*(const Matrix& b) const
    {
        Matrix r;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
            {
                T s = T(0);
                for (int k = 0; k < 4; ++k)
                    s += m_M[4 * i + k] * b.m_M[4 * k + j];
                r.m_M[4 * i + j] = s;
            }
        return r;
    }

    /// Row-wise product with (x, y, z, 1); the fourth row is ignored and there
    /// is no division by w.
    Vec3<T> operator*(const Vec3<T>& v) const
    {
        return Vec3<T>(m_M[0] * v.x() + m_M[1] * v.y() + m_M[2] * v.z() + m_M[3],
                       m_M[4] * v.x() + m_M[5] * v.y() + m_M[6] * v.z() + m_M[7],
                       m_M[8] * v.x() + m_M[9] * v.y() + m_M[10] * v.z() + m_M[11]);
    }

    /// OpenGL's product of this matrix, read column-major (element 4c + r in
    /// row r, column c), with the column (x, y, z, w): a point taken from one
    /// frame to the next, with no division by w.
    Vec4<T> transform(const Vec4<T>& v) const
    {
        Vec4<T> r;
        for (int row = 0; row < 4; ++row)
            r.ptr()[row] = m_M[row] * v.x() + m_M[4 + row] * v.y() + m_M[8 + row] * v.z() + m_M[12 + row] * v.w();
        return r;
    }

    T* getPtr() { return m_M; }
    const T* getPtr() const { return m_M; }

private:
    T m_M[16];
};
