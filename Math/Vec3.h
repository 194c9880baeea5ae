#pragma once

#include <cmath>

/// Three-component value vector (x, y, z), contiguous for glVertex3dv,
/// glColor3dv, glLightfv and the like. World y is up.
template <typename T>
class Vec3
{
public:
    Vec3() : m_V{T(0), T(0), T(0)} {}
    Vec3(T x, T y, T z) : m_V{x, y, z} {}

    T& x() { return m_V[0]; }
    T& y() { return m_V[1]; }
    T& z() { return m_V[2]; }
    T x() const { return m_V[0]; }
    T y() const { return m_V[1]; }
    T z() const { return m_V[2]; }

    T* ptr() { return m_V; }
    const T* ptr() const { return m_V; }

    Vec3 operator+(const Vec3& o) const { return Vec3(m_V[0] + o.m_V[0], m_V[1] + o.m_V[1], m_V[2] + o.m_V[2]); }
    Vec3 operator-(const Vec3& o) const { return Vec3(m_V[0] - o.m_V[0], m_V[1] - o.m_V[1], m_V[2] - o.m_V[2]); }
    Vec3 operator-() const { return Vec3(-m_V[0], -m_V[1], -m_V[2]); }
    Vec3 operator*(double s) const { return Vec3(T(m_V[0] * s), T(m_V[1] * s), T(m_V[2] * s)); }

    bool operator==(const Vec3& o) const { return m_V[0] == o.m_V[0] && m_V[1] == o.m_V[1] && m_V[2] == o.m_V[2]; }
    bool operator!=(const Vec3& o) const { return !(*this == o); }

    T length2() const { return m_V[0] * m_V[0] + m_V[1] * m_V[1] + m_V[2] * m_V[2]; }
    T length() const { return std::sqrt(length2()); }

    /// Divides by length() in place. A zero vector has no direction: it is
    /// left as it is rather than turned into NaNs.
    Vec3& normalize()
    {
        T l = length();
        if (l != T(0))
        {
            m_V[0] /= l;
            m_V[1] /= l;
            m_V[2] /= l;
        }
        return *this;
    }

    /// this * (1 - t) + other * t. 1 - t is formed in single precision, as
    /// the animation parameter is a float.
    Vec3 linearInterpolation(const Vec3& other, float t) const
    {
        float u = 1.0f - t;
        double a = u, b = t;
        return Vec3(T(m_V[0] * a + other.m_V[0] * b), T(m_V[1] * a + other.m_V[1] * b),
                    T(m_V[2] * a + other.m_V[2] * b));
    }

private:
    T m_V[3];
};
