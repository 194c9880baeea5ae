#pragma once

#include <TabulaExport.h>

#include <Math/Vec3.h>

namespace Rendering
{

class Mesh;

/// Axis-aligned box of a mesh's vertex positions, in model units, computed
/// when the mesh is set. Empty (no mesh) is both corners at zero; a mesh
/// without vertices gives an inverted box of +-3.4e38.
class TABULA_EXPORT Aabb
{
public:
    explicit Aabb(Mesh* mesh = nullptr);
    Aabb(const Aabb& other) = default;
    Aabb& operator=(const Aabb& other) = default;

    void setMesh(Mesh* mesh);
    void compute();
    void reset();
    Vec3<double> getSize() const { return m_Max - m_Min; }
    const Vec3<double>& getMin() const { return m_Min; }
    const Vec3<double>& getMax() const { return m_Max; }
    Mesh* getMesh() const { return m_Mesh; }
    /// Green wire box in the caller's frame (a vertex array in a selection
    /// pass, see PickRegion).
    void draw() const;

private:
    Mesh* m_Mesh;
    Vec3<double> m_Min;
    Vec3<double> m_Max;
};

} // namespace Rendering
