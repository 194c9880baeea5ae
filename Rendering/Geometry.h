#pragma once

#include <TabulaExport.h>

#include <vector>

#include <Math/Vec2.h>
#include <Math/Vec3.h>

namespace Rendering
{

class Primitive;

/// The vertex data of one model object, in the engine's y-up axes, and the
/// primitives that index it. Owns its primitives.
class TABULA_EXPORT Geometry
{
public:
    Geometry() = default;
    Geometry(const Geometry&) = delete;
    Geometry& operator=(const Geometry&) = delete;
    ~Geometry();

    std::vector<Vec3<double>>& getVertexArray() { return m_Vertices; }
    /// One slot per vertex number, each normal stored turned (see storedNormal).
    std::vector<Vec3<double>>& getNormalArray() { return m_Normals; }
    std::vector<Vec3<double>>& getColorArray() { return m_Colors; }
    std::vector<Vec2<double>>& getTexCoordArray() { return m_TexCoords; }
    const std::vector<Primitive*>& getPrimitives() const { return m_Primitives; }

    /// Takes ownership.
    void addPrimitive(Primitive* primitive);
    /// Unlists `primitive` (not deleted: the caller owns it again); prints
    /// "Unkown primitive to remove." when it is not listed.
    void removePrimitive(Primitive* primitive);
    void initDisplayList();
    void draw();

    /// The normal array's convention: Primitive draws a stored normal s as
    /// drawnNormal(s) = (s.x, -s.z, s.y), so a vertex whose normal is to be n
    /// (engine axes) stores storedNormal(n) = (n.x, n.z, -n.y).
    static Vec3<double> storedNormal(const Vec3<double>& n) { return Vec3<double>(n.x(), n.z(), -n.y()); }
    static Vec3<double> drawnNormal(const Vec3<double>& s) { return Vec3<double>(s.x(), -s.z(), s.y()); }

private:
    std::vector<Primitive*> m_Primitives;
    std::vector<Vec3<double>> m_Vertices;
    std::vector<Vec3<double>> m_Normals;
    std::vector<Vec2<double>> m_TexCoords;
    std::vector<Vec3<double>> m_Colors;
};

} // namespace Rendering
