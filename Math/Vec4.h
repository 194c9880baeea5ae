#pragma once

/// Four-component value vector (x, y, z, w), contiguous for glLightfv,
/// glMaterialfv and glColor4dv. Colours are (red, green, blue, alpha);
/// light positions are homogeneous (w = 1 point, w = 0 direction).
template <typename T>
class Vec4
{
public:
    Vec4() : m_V{T(0), T(0), T(0), T(0)} {}
    Vec4(T x, T y, T z, T w) : m_V{x, y, z, w} {}

    T& x() { return m_V[0]; }
    T& y() { return m_V[1]; }
    T& z() { return m_V[2]; }
    T& w() { return m_V[3]; }
    T x() const { return m_V[0]; }
    T y() const { return m_V[1]; }
    T z() const { return m_V[2]; }
    T w() const { return m_V[3]; }

    T* ptr() { return m_V; }
    const T* ptr() const { return m_V; }

    bool operator==(const Vec4& o) const
    {
        return m_V[0] == o.m_V[0] && m_V[1] == o.m_V[1] && m_V[2] == o.m_V[2] && m_V[3] == o.m_V[3];
    }
    bool operator!=(const Vec4& o) const { return !(*this == o); }

private:
    T m_V[4];
};
