#pragma once

// ModelData: what the glTF and OBJ readers hand back, as plain arrays.
//
// Output contract (a reader that returns true has filled it this way; one
// that returns false leaves it as it was):
//
// - Axes and units are the file's own. glTF and OBJ are both y-up and
//   right-handed, as the engine is: nothing is swapped or flipped. A glTF
//   node's transforms are already applied (positions by its world matrix,
//   normals by the inverse transpose), so every position is where the file
//   puts it in its scene.
// - Vertex sets: positions, and either no normals or one per position (the
//   glTF reader's are unit length, or zero where the file's normal has no
//   direction; the OBJ reader's are the file's), and either no
//   texture coordinates or one per position, in OpenGL's (s, t) with t up
//   (the glTF reader has turned glTF's v down into t = 1 - v). Several
//   primitives may share one vertex set (an OBJ file's materials do).
// - Primitives, in the order they are drawn: a mode, an index list naming
//   vertices of one vertex set (each index is below that set's size, checked
//   by the reader), and a material or none. Points take one index, lines two,
//   triangles three, with no partial face at the end: strips, fans, loops and
//   polygons are already cut into separate faces in the file's order and
//   turning. Index lists are 32-bit and may name any number of vertices;
//   fitting them to what the engine draws is the converter's job. A list the
//   file already holds as it is needed (32-bit triangles, lines or points)
//   is not copied: the primitive borrows it from memory that m_Storage keeps
//   alive (the file's mapping or the parsed buffers). Read a list through
//   indices() and indexCount().
// - Materials: a base colour picture and a normal map (indices into the
//   images, -1 for none; a normal map only with a picture) and the diffuse
//   colour (white when the file gives none).
// - Images: encoded PNG or JPEG bytes with the name they are registered
//   under ("<model file>#image<N>" for a glTF picture, the file's path for
//   an OBJ one). Not decoded: a reader never touches pixels.
//
// Doubles throughout, laid out as the engine keeps them, so that the
// converter can take an array over whole instead of copying it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <Math/Vec2.h>
#include <Math/Vec3.h>

namespace Reader
{

struct ModelData
{
    enum class Mode
    {
        Points,
        Lines,
        Triangles
    };

    struct Vertices
    {
        std::vector<Vec3<double>> m_Positions;
        std::vector<Vec3<double>> m_Normals;
        std::vector<Vec2<double>> m_TexCoords;
    };

    struct Primitive
    {
        Mode m_Mode = Mode::Triangles;
        std::size_t m_Vertices = 0; // index into m_VertexSets
        std::vector<uint32_t> m_Indices;
        const uint32_t* m_Borrowed = nullptr; // used instead of m_Indices when set
        std::size_t m_BorrowedCount = 0;
        int m_Material = -1; // index into m_Materials, -1 for none

        const uint32_t* indices() const { return m_Borrowed ? m_Borrowed : m_Indices.data(); }
        std::size_t indexCount() const { return m_Borrowed ? m_BorrowedCount : m_Indices.size(); }
    };

    struct Material
    {
        int m_Image = -1;     // base colour picture, index into m_Images
        int m_NormalMap = -1; // index into m_Images
        Vec3<double> m_Color = Vec3<double>(1, 1, 1);
    };

    struct Image
    {
        std::string m_Name;
        std::string m_Bytes;
    };

    /// Corners per face of `mode`: 1, 2 or 3.
    static std::size_t cornersPerFace(Mode mode) { return mode == Mode::Points ? 1 : mode == Mode::Lines ? 2 : 3; }

    std::vector<Vertices> m_VertexSets;
    std::vector<Primitive> m_Primitives;
    std::vector<Material> m_Materials;
    std::vector<Image> m_Images;
    /// Owns what borrowed index lists point into.
    std::shared_ptr<const void> m_Storage;
};

} // namespace Reader
