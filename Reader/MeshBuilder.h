#pragma once

#include <cstdint>
#include <vector>

#include <Math/Vec2.h>
#include <Math/Vec3.h>

namespace Rendering
{
class Geometry;
class Mesh;
class Texture;
} // namespace Rendering

namespace Reader
{

/// Turns indexed vertex data of any size into the mesh's 16-bit geometries.
///
/// - Input: positions, and optionally normals and texture coordinates of the
///   same count, in the engine's y-up axes; faces as lists of indices into
///   them (3 for GL_TRIANGLES, 2 for GL_LINES, 1 for GL_POINTS).
/// - Output: one or more Geometry objects appended to the mesh, each holding
///   at most 65,536 vertices (the ones its faces use) and one Primitive whose
///   vertex, normal and texture-coordinate index lists are the same list. A
///   face whose vertices do not fit starts the next geometry: nothing is
///   dropped. Normals are stored the way Primitive expects them.
/// - A colour, when given, becomes every vertex's colour (drawn with
///   glColor), so an untextured model keeps its material colour.
class MeshBuilder
{
public:
    struct Source
    {
        const std::vector<Vec3<double>>* m_Positions = nullptr;
        /// Empty, or one per position.
        const std::vector<Vec3<double>>* m_Normals = nullptr;
        /// Empty, or one per position; OpenGL's (s, t), t up.
        const std::vector<Vec2<double>>* m_TexCoords = nullptr;
    };

    explicit MeshBuilder(Rendering::Mesh* mesh) : m_Mesh(mesh) {}

    /// `faces` holds `cornersPerFace` indices per face, each below the
    /// position count (checked by the caller). `texture` is not owned.
    void addFaces(unsigned int mode, std::size_t cornersPerFace, const std::vector<uint32_t>& faces,
                  const Source& source, Rendering::Texture* texture, const Vec3<double>* color);

    static constexpr std::size_t c_MaxVertices = 65536;

private:
    Rendering::Mesh* m_Mesh;
    // Geometry-local number of each source vertex (c_None when not in the
    // current geometry); sized to the largest source seen and reset only
    // where it was written.
    std::vector<uint32_t> m_Local;
};

} // namespace Reader
