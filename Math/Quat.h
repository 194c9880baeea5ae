#pragma once

#include <cmath>

#include <Math/Matrix.h>
#include <Math/Vec3.h>

/// Quaternion (x, y, z, w) with w the scalar part; the identity is (0, 0, 0, 1).
/// Every quaternion product is normalized, so orientations built from repeated
/// products stay unit length. Angles are in radians.
template <typename T>
class Quat
{
public:
    Quat() : m_Q{T(0), T(0), T(0), T(1)} {}
    Quat(T x, T y, T z, T w) : m_Q{x, y, z, w} {}
    /// Rotation of `angle` about `axis`; the axis must already be unit length.
    Quat(T angle, const Vec3<T>& axis)
    {
        T s = std::sin(angle / T(2));
        m_Q[0] = axis.x() * s;
        m_Q[1] = axis.y() * s;
        m_Q[2] = axis.z() * s;
        m_Q[3] = std::cos(angle / T(2));
    }

    T& x() { return m_Q[0]; }
    T& y() { return m_Q[1]; }
    T& z() { return m_Q[2]; }
    T& w() { return m_Q[3]; }
    T x() const { return m_Q[0]; }
    T y() const { return m_Q[1]; }
    T z() const { return m_Q[2]; }
    T w() const { return m_Q[3]; }

    void reset() { *this = Quat(); }

    T length2() const { return m_Q[0] * m_Q[0] + m_Q[1] * m_Q[1] + m_Q[2] * m_Q[2] + m_Q[3] * m_Q[3]; }
    T length() const { return std::sqrt(length2()); }

    /// Divides by length() in place; a zero quaternion is left as it is
    /// instead of becoming NaN.
    Quat& normalize()
    {
        T l = length();
        if (l != T(0))
            for (T& c : m_Q)
                c /= l;
        return *this;
    }

    Quat operator*(T s) const { return Quat(m_Q[0] * s, m_Q[1] * s, m_Q[2] * s, m_Q[3] * s); }
    Quat operator/(T s) const { return Quat(m_Q[0] / s, m_Q[1] / s, m_Q[2] / s, m_Q[3] / s); }
    Quat operator+(const Quat& q) const
    {
        return Quat(m_Q[0] + q.m_Q[0], m_Q[1] + q.m_Q[1], m_Q[2] + q.m_Q[2], m_Q[3] + q.m_Q[3]);
    }

    Quat conjuguate() const { return Quat(-m_Q[0], -m_Q[1], -m_Q[2], m_Q[3]); }
    Quat inverse() const
    {
        Quat n(*this);
        n.normalize();
        return n.conjuguate();
    }

    T dot(const Quat& q) const { return m_Q[0] * q.m_Q[0] + m_Q[1] * q.m_Q[1] + m_Q[2] * q.m_Q[2] + m_Q[3] * q.m_Q[3]; }

    /// Hamilton product this * q, normalized.
    Quat operator*(const Quat& q) const
    {
        const T px = m_Q[0], py = m_Q[1], pz = m_Q[2], pw = m_Q[3];
        Quat r(pw * q.x() + px * q.w() + py * q.z() - pz * q.y(), pw * q.y() - px * q.z() + py * q.w() + pz * q.x(),
               pw * q.z() + px * q.y() - py * q.x() + pz * q.w(), pw * q.w() - px * q.x() - py * q.y() - pz * q.z());
        r.normalize();
        return r;
    }

    /// Rotates v and returns the rotated direction at unit length (both
    /// products normalize), whatever the length of v. A zero vector comes back
    /// as zero.
    Vec3<T> operator*(const Vec3<T>& v) const
    {
        Quat p(v.x(), v.y(), v.z(), T(0));
        Quat r = (*this * p) * inverse();
        return Vec3<T>(r.x(), r.y(), r.z());
    }

    /// Spherical interpolation from this (t = 0) to q (t = 1), not normalized
    /// afterwards. Equal or opposite quaternions have sin(theta) = 0: the
    /// formula would divide by zero, so the nearer end point is returned.
    Quat slerp(const Quat& q, float t) const
    {
        T d = dot(q);
        T s2 = T(1) - d * d;
        T theta = std::asin(std::sqrt(s2 > T(0) ? s2 : T(0)));
        T st = std::sin(theta);
        if (!(st > T(0)))
            return t < 0.5f ? *this : q;
        float u = 1.0f - t;
        return *this * (std::sin(T(u) * theta) / st) + q * (std::sin(T(t) * theta) / st);
    }

    /// Rotation matrix of a normalized copy, rows in elements 0-2, 4-6, 8-10.
    /// OpenGL reads it by columns, i.e. as the inverse rotation.
    Matrix<T> getMatrix() const
    {
        Quat n(*this);
        n.normalize();
        const T x = n.x(), y = n.y(), z = n.z(), w = n.w();
        // clang-format off
        return Matrix<T>(1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w), 0,
                         2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w), 0,
                         2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y), 0,
                         0, 0, 0, 1);
        // clang-format on
    }

private:
    T m_Q[4];
};
