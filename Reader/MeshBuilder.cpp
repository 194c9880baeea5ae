#include <Reader/MeshBuilder.h>

#include <algorithm>
#include <limits>

#include <Rendering/Geometry.h>
#include <Rendering/Mesh.h>
#include <Rendering/Primitive.h>

namespace Reader
{

namespace
{
constexpr uint32_t c_None = std::numeric_limits<uint32_t>::max();
} // namespace

void MeshBuilder::addFaces(unsigned int mode, std::size_t cornersPerFace, const Source& source,
                           Rendering::Texture* texture, const Vec3<double>* color)
{
    const std::size_t corners = source.cornerCount();
    if (corners < cornersPerFace || cornersPerFace == 0 || cornersPerFace > 3)
        return;
    const bool normals = source.hasNormals();
    const bool texCoords = texture && source.hasTexCoords();
    if (m_Local.size() < source.vertexCount())
        m_Local.resize(source.vertexCount(), c_None);

    Rendering::Geometry* geometry = nullptr;
    Rendering::Primitive* primitive = nullptr;
    std::vector<uint32_t> used; // source numbers of the current geometry's vertices
    auto finish = [&]
    {
        if (primitive)
        {
            // Every attribute is indexed by the vertex's own number.
            const std::vector<unsigned short>& indices = primitive->getVertexIndicesArray();
            if (normals)
                primitive->getNormalIndicesArray() = indices;
            if (texCoords)
                primitive->getTexturesIndicesArray() = indices;
            if (color)
                primitive->getColorIndicesArray() = indices;
        }
        for (uint32_t vertex : used)
            m_Local[vertex] = c_None;
        used.clear();
        geometry = nullptr;
        primitive = nullptr;
    };
    // Arrays are sized once for what this geometry can hold, so that a big
    // model does not pass through the doubling of growing vectors.
    const std::size_t vertices = std::min(source.vertexCount(), c_MaxVertices);
    auto start = [&](std::size_t first)
    {
        geometry = new Rendering::Geometry();
        geometry->getVertexArray().reserve(vertices);
        if (normals)
            geometry->getNormalArray().reserve(vertices);
        if (texCoords)
            geometry->getTexCoordArray().reserve(vertices);
        m_Mesh->addGeometry(geometry);
        primitive = new Rendering::Primitive();
        primitive->setAssociateGeometry(geometry);
        primitive->setPrimitiveType(mode);
        primitive->setTexture(texture);
        geometry->addPrimitive(primitive);
        primitive->getVertexIndicesArray().reserve(std::min(corners - first, 6 * c_MaxVertices));
    };

    uint32_t face[3];
    for (std::size_t first = 0; first + cornersPerFace <= corners; first += cornersPerFace)
    {
        std::size_t added = 0;
        for (std::size_t corner = 0; corner < cornersPerFace; ++corner)
        {
            face[corner] = source.corner(first + corner);
            added += m_Local[face[corner]] == c_None;
        }
        if (!geometry || used.size() + added > c_MaxVertices)
        {
            finish();
            start(first);
        }
        std::vector<unsigned short>& indices = primitive->getVertexIndicesArray();
        for (std::size_t corner = 0; corner < cornersPerFace; ++corner)
        {
            const uint32_t vertex = face[corner];
            if (m_Local[vertex] == c_None)
            {
                m_Local[vertex] = static_cast<uint32_t>(used.size());
                used.push_back(vertex);
                geometry->getVertexArray().push_back(source.position(vertex));
                if (normals)
                {
                    // Primitive draws a stored (x, y, z) as (x, -z, y).
                    const Vec3<double> n = source.normal(vertex);
                    geometry->getNormalArray().push_back(Vec3<double>(n.x(), n.z(), -n.y()));
                }
                if (texCoords)
                    geometry->getTexCoordArray().push_back(source.texCoord(vertex));
                if (color)
                    geometry->getColorArray().push_back(*color);
            }
            indices.push_back(static_cast<unsigned short>(m_Local[vertex]));
        }
    }
    finish();
}

} // namespace Reader
