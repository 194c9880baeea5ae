#pragma once

/// Two-component value vector. Components x, y lie contiguously, so ptr()
/// can be handed to OpenGL's *2v entry points. Used as Vec2<unsigned int>
/// for grid coordinates and window sizes, Vec2<double> for texture coordinates.
template <typename T>
class Vec2
{
public:
    Vec2() : m_V{T(0), T(0)} {}
    Vec2(T x, T y) : m_V{x, y} {}

    T& x() { return m_V[0]; }
    T& y() { return m_V[1]; }
    T x() const { return m_V[0]; }
    T y() const { return m_V[1]; }

    T* ptr() { return m_V; }
    const T* ptr() const { return m_V; }

    bool operator==(const Vec2& o) const { return m_V[0] == o.m_V[0] && m_V[1] == o.m_V[1]; }
    bool operator!=(const Vec2& o) const { return !(*this == o); }

private:
    T m_V[2];
};
