#include <Rendering/Primitive.h>

#include <algorithm>

#include <GL/gl.h>

#include <Rendering/Geometry.h>
#include <Rendering/Image.h>
#include <Rendering/Render.h>
#include <Rendering/Texture.h>
#include <Rendering/internal/PickRegion.h>

namespace Rendering
{

namespace
{

const std::size_t c_FacesPerChunk = 64;
// Larger than any coordinate a model holds: the start of an empty box.
const double c_Far = static_cast<double>(3.4e38f);

// Vertices per face for the begin modes whose faces have a fixed size; any
// other mode draws the whole list as one face.
std::size_t faceSize(unsigned int mode, std::size_t count)
{
    switch (mode)
    {
    case GL_POINTS:
        return 1;
    case GL_LINES:
        return 2;
    case GL_TRIANGLES:
        return 3;
    case GL_QUADS:
        return 4;
    default:
        return std::max<std::size_t>(count, 1);
    }
}

template <typename T>
bool usable(const std::vector<unsigned short>& indices, std::size_t expected, const std::vector<T>& array)
{
    return indices.size() == expected &&
           std::all_of(indices.begin(), indices.end(), [&](unsigned short i) { return i < array.size(); });
}

} // namespace

Primitive::Primitive(const Primitive& other)
    : m_Geometry(other.m_Geometry), m_Texture(other.m_Texture), m_PrimitiveType(other.m_PrimitiveType),
      m_DisplayList(0), m_VertexIndices(other.m_VertexIndices), m_TexCoordIndices(other.m_TexCoordIndices),
      m_NormalIndices(other.m_NormalIndices), m_ColorIndices(other.m_ColorIndices)
{
}

void Primitive::initDisplayList()
{
    Render* render = Render::instance();
    render->setNbDisplayList(render->getNbDisplayList() + 1);
    m_DisplayList = glGenLists(1);
    glNewList(m_DisplayList, GL_COMPILE);

    static const std::vector<Vec3<double>> noVec3;
    static const std::vector<Vec2<double>> noVec2;
    const std::vector<Vec3<double>>& vertices = m_Geometry ? m_Geometry->getVertexArray() : noVec3;
    const std::vector<Vec3<double>>& normals = m_Geometry ? m_Geometry->getNormalArray() : noVec3;
    const std::vector<Vec3<double>>& colors = m_Geometry ? m_Geometry->getColorArray() : noVec3;
    const std::vector<Vec2<double>>& texCoords = m_Geometry ? m_Geometry->getTexCoordArray() : noVec2;

    // Indices come unchecked from model files. An attribute list with any
    // index past its array is left out as a whole; a face with a vertex index
    // past the vertex array is left out with its attributes.
    const std::size_t count = m_Geometry ? m_VertexIndices.size() : 0;
    const bool useNormals = usable(m_NormalIndices, count, normals);
    const bool useColors = usable(m_ColorIndices, count, colors);
    const bool useTexCoords = usable(m_TexCoordIndices, count, texCoords);
    const std::size_t size = faceSize(m_PrimitiveType, count);

    glBegin(m_PrimitiveType);
    for (std::size_t face = 0; face < count; face += size)
    {
        const std::size_t end = std::min(face + size, count);
        if (!std::all_of(m_VertexIndices.begin() + face, m_VertexIndices.begin() + end,
                         [&](unsigned short i) { return i < vertices.size(); }))
            continue;
        for (std::size_t i = face; i < end; ++i)
        {
            if (useNormals)
                glNormal3dv(Geometry::drawnNormal(normals[m_NormalIndices[i]]).ptr());
            if (useColors)
                glColor3dv(colors[m_ColorIndices[i]].ptr());
            if (useTexCoords)
                glTexCoord2dv(texCoords[m_TexCoordIndices[i]].ptr());
            glVertex3dv(vertices[m_VertexIndices[i]].ptr());
        }
    }
    glEnd();
    glEndList();
    initSelectionChunks(vertices, size);
}

void Primitive::initSelectionChunks(const std::vector<Vec3<double>>& vertices, std::size_t faceVertices)
{
    for (const SelectionChunk& chunk : m_SelectionChunks)
        glDeleteLists(chunk.m_List, 1);
    m_SelectionChunks.clear();
    // Consecutive faces of a model lie near each other; 64 of them make a
    // box small enough that few boxes reach a 2x2-pixel region, and few
    // enough boxes to test in a frame.
    const std::size_t count = m_Geometry ? m_VertexIndices.size() : 0;
    const std::size_t chunkVertices = faceVertices * (faceVertices < count ? c_FacesPerChunk : 1);
    for (std::size_t first = 0; first < count; first += chunkVertices)
    {
        const std::size_t last = std::min(first + chunkVertices, count);
        SelectionChunk chunk{glGenLists(1), Vec3<double>(c_Far, c_Far, c_Far), Vec3<double>(-c_Far, -c_Far, -c_Far)};
        glNewList(chunk.m_List, GL_COMPILE);
        glBegin(m_PrimitiveType);
        for (std::size_t face = first; face < last; face += faceVertices)
        {
            const std::size_t end = std::min(face + faceVertices, last);
            if (!std::all_of(m_VertexIndices.begin() + face, m_VertexIndices.begin() + end,
                             [&](unsigned short i) { return i < vertices.size(); }))
                continue;
            for (std::size_t i = face; i < end; ++i)
            {
                const Vec3<double>& v = vertices[m_VertexIndices[i]];
                glVertex3dv(v.ptr());
                chunk.m_Min = Vec3<double>(std::min(chunk.m_Min.x(), v.x()), std::min(chunk.m_Min.y(), v.y()),
                                           std::min(chunk.m_Min.z(), v.z()));
                chunk.m_Max = Vec3<double>(std::max(chunk.m_Max.x(), v.x()), std::max(chunk.m_Max.y(), v.y()),
                                           std::max(chunk.m_Max.z(), v.z()));
            }
        }
        glEnd();
        glEndList();
        m_SelectionChunks.push_back(chunk);
    }
}

void Primitive::draw()
{
    double toClip[16];
    if (!m_SelectionChunks.empty() && PickRegion::clipMatrix(toClip))
    {
        for (const SelectionChunk& chunk : m_SelectionChunks)
            if (PickRegion::boxReaches(toClip, chunk.m_Min, chunk.m_Max))
                glCallList(chunk.m_List);
        Image::unApply();
        return;
    }
    if (m_Texture)
        m_Texture->apply();
    // Under true colours, faces of their own colour show under lighting (the
    // material follows them) and leave colour and material as they found
    // them for what comes next. Following is switched off before the pop:
    // popped while on, the material would stay as the list set it.
    const bool ownColours = !m_ColorIndices.empty() && Render::instance()->getLook().m_TrueColors;
    if (ownColours)
    {
        glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_LIGHTING_BIT);
        glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
    }
    glCallList(m_DisplayList);
    if (ownColours)
    {
        glDisable(GL_COLOR_MATERIAL);
        glPopAttrib();
    }
    Image::unApply();
}

} // namespace Rendering
