#pragma once

#include <TabulaExport.h>

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
/// - Input: a Source: positions, optionally normals and texture coordinates,
///   in the engine's y-up axes, and faces as corners naming its vertices.
/// - Output: one or more Geometry objects appended to the mesh, each holding
///   at most 65,536 vertices (the ones its faces use) and one Primitive whose
///   vertex, normal and texture-coordinate index lists are the same list. A
///   face whose vertices do not fit starts the next geometry: nothing is
///   dropped. Normals are stored the way Primitive expects them.
/// - A colour, when given, becomes every vertex's colour (drawn with
///   glColor), so an untextured model keeps its material colour.
class TABULA_EXPORT MeshBuilder
{
public:
    /// What a reader hands over, read once per vertex a face uses: the
    /// reader's own arrays stay where they are, so a load holds no second
    /// copy of the model.
    class Source
    {
    public:
        virtual ~Source() = default;
        virtual std::size_t vertexCount() const = 0;
        /// In the engine's y-up axes.
        virtual Vec3<double> position(uint32_t vertex) const = 0;
        virtual bool hasNormals() const { return false; }
        virtual Vec3<double> normal(uint32_t) const { return Vec3<double>(); }
        virtual bool hasTexCoords() const { return false; }
        /// OpenGL's (s, t), t up.
        virtual Vec2<double> texCoord(uint32_t) const { return Vec2<double>(); }
        /// Corners of all faces, `cornersPerFace` a face.
        virtual std::size_t cornerCount() const = 0;
        /// The vertex of corner `corner`: below vertexCount() (the reader
        /// checks its indices before building).
        virtual uint32_t corner(std::size_t corner) const = 0;
    };

    explicit MeshBuilder(Rendering::Mesh* mesh) : m_Mesh(mesh) {}

    /// Faces of `cornersPerFace` corners (3 for GL_TRIANGLES, 2 for GL_LINES,
    /// 1 for GL_POINTS). Texture coordinates are kept only with a texture,
    /// which is not owned.
    void addFaces(unsigned int mode, std::size_t cornersPerFace, const Source& source, Rendering::Texture* texture,
                  const Vec3<double>* color);

    static constexpr std::size_t c_MaxVertices = 65536;

private:
    Rendering::Mesh* m_Mesh;
    // Geometry-local number of each source vertex (c_None when not in the
    // current geometry); sized to the largest source seen and reset only
    // where it was written.
    std::vector<uint32_t> m_Local;
};

} // namespace Reader
