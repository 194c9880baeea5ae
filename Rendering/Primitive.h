#pragma once

#include <TabulaExport.h>

#include <cstddef>
#include <vector>

#include <Math/Vec3.h>

namespace Rendering
{

class Geometry;
class Texture;

/// Faces drawn with one begin mode: 16-bit index lists into its geometry's
/// arrays, compiled once into a display list. An attribute list is used only
/// when it is exactly as long as the vertex index list and every index in it
/// is inside its array; a face naming a vertex outside the vertex array is
/// not drawn. Owns neither its geometry nor its texture.
class TABULA_EXPORT Primitive
{
public:
    Primitive() = default;
    /// Copies links, type and index lists; the copy has no display list.
    Primitive(const Primitive& other);
    Primitive& operator=(const Primitive&) = delete;

    void setAssociateGeometry(Geometry* geometry) { m_Geometry = geometry; }
    Geometry* getAssociateGeometry() const { return m_Geometry; }
    void setPrimitiveType(unsigned int type) { m_PrimitiveType = type; }
    unsigned int getPrimitiveType() const { return m_PrimitiveType; }
    void setTexture(Texture* texture) { m_Texture = texture; }
    Texture* getTexture() const { return m_Texture; }
    unsigned int getDisplayList() const { return m_DisplayList; }

    std::vector<unsigned short>& getVertexIndicesArray() { return m_VertexIndices; }
    std::vector<unsigned short>& getTexturesIndicesArray() { return m_TexCoordIndices; }
    std::vector<unsigned short>& getNormalIndicesArray() { return m_NormalIndices; }
    /// Into the geometry's colour array; a coloured face sets the current
    /// colour for what is drawn after it.
    std::vector<unsigned short>& getColorIndicesArray() { return m_ColorIndices; }

    /// Compiles the faces into a new display list and counts it in the
    /// engine. Needs a GL context and an associated geometry. Also compiles
    /// the selection chunks (not counted): the same faces' positions in
    /// groups of consecutive faces, each with its bounding box.
    void initDisplayList();
    /// Binds the texture if any, calls the list, unbinds GL_TEXTURE_2D. In a
    /// selection pass with skipping on (see PickRegion), calls instead the
    /// selection chunks whose boxes reach the pick region, so that a detailed
    /// model under the pointer costs what the faces near the pointer cost;
    /// the hit records are the same.
    void draw();

private:
    struct SelectionChunk
    {
        unsigned int m_List;
        Vec3<double> m_Min;
        Vec3<double> m_Max;
    };
    void initSelectionChunks(const std::vector<Vec3<double>>& vertices, std::size_t faceVertices);

    Geometry* m_Geometry = nullptr;
    Texture* m_Texture = nullptr;
    unsigned int m_PrimitiveType = 0;
    unsigned int m_DisplayList = 0;
    std::vector<unsigned short> m_VertexIndices;
    std::vector<unsigned short> m_TexCoordIndices;
    std::vector<unsigned short> m_NormalIndices;
    std::vector<unsigned short> m_ColorIndices;
    std::vector<SelectionChunk> m_SelectionChunks;
};

} // namespace Rendering
