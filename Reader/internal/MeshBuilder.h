#pragma once

#include <cstdint>
#include <vector>

#include <Math/Vec2.h>
#include <Math/Vec3.h>

namespace Rendering
{
class Geometry;
class Mesh;
class Primitive;
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
/// - The normal, texture-coordinate and colour index lists are written by
///   shareIndexLists(), which the reader calls once it has let go of its
///   own copy of the model: a load never holds both at its peak.
class MeshBuilder
{
public:
    /// What a reader hands over, read in runs (one call per run of corners
    /// or vertices, not per element): the reader's own arrays stay where
    /// they are, so a load holds no second copy of the model.
    class Source
    {
    public:
        virtual ~Source() = default;
        virtual std::size_t vertexCount() const = 0;
        /// Corners of all faces, `cornersPerFace` a face.
        virtual std::size_t cornerCount() const = 0;
        /// The vertices of corners [first, first + count): each below
        /// vertexCount() (the reader checks its indices before building).
        virtual void corners(std::size_t first, std::size_t count, uint32_t* out) const = 0;
        /// Positions of `count` vertices, in the engine's y-up axes.
        virtual void positions(const uint32_t* vertices, std::size_t count, Vec3<double>* out) const = 0;
        virtual bool hasNormals() const { return false; }
        /// Normals in the same axes as the positions.
        virtual void normals(const uint32_t*, std::size_t, Vec3<double>*) const {}
        virtual bool hasTexCoords() const { return false; }
        /// OpenGL's (s, t), t up.
        virtual void texCoords(const uint32_t*, std::size_t, Vec2<double>*) const {}
    };

    explicit MeshBuilder(Rendering::Mesh* mesh) : m_Mesh(mesh) {}

    /// Faces of `cornersPerFace` corners (3 for GL_TRIANGLES, 2 for GL_LINES,
    /// 1 for GL_POINTS). Texture coordinates are kept only with a texture,
    /// which is not owned.
    void addFaces(unsigned int mode, std::size_t cornersPerFace, const Source& source, Rendering::Texture* texture,
                  const Vec3<double>* color);
    /// Gives every primitive built so far its attribute index lists (copies
    /// of its vertex index list). Nothing reads the sources any more.
    void shareIndexLists();

    static constexpr std::size_t c_MaxVertices = 65536;

private:
    Rendering::Mesh* m_Mesh;
    // Geometry-local number of each source vertex (c_None when not in the
    // current geometry); sized to the largest source seen and reset only
    // where it was written.
    std::vector<uint32_t> m_Local;
    // Primitives whose attribute index lists shareIndexLists() still writes.
    std::vector<Rendering::Primitive*> m_Unshared;
};

} // namespace Reader
