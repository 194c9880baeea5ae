#include <Reader/MeshBuilder.h>

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

void MeshBuilder::addFaces(unsigned int mode, std::size_t cornersPerFace, const std::vector<uint32_t>& faces,
                           const Source& source, Rendering::Texture* texture, const Vec3<double>* color)
{
    if (faces.empty() || cornersPerFace == 0)
        return;
    const std::vector<Vec3<double>>& positions = *source.m_Positions;
    const bool normals = source.m_Normals && source.m_Normals->size() == positions.size();
    const bool texCoords = source.m_TexCoords && source.m_TexCoords->size() == positions.size();
    if (m_Local.size() < positions.size())
        m_Local.resize(positions.size(), c_None);

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
    auto start = [&]
    {
        geometry = new Rendering::Geometry();
        m_Mesh->addGeometry(geometry);
        primitive = new Rendering::Primitive();
        primitive->setAssociateGeometry(geometry);
        primitive->setPrimitiveType(mode);
        primitive->setTexture(texture);
        geometry->addPrimitive(primitive);
    };

    for (std::size_t face = 0; face + cornersPerFace <= faces.size(); face += cornersPerFace)
    {
        std::size_t added = 0;
        if (geometry)
            for (std::size_t corner = 0; corner < cornersPerFace; ++corner)
                added += m_Local[faces[face + corner]] == c_None;
        if (!geometry || used.size() + added > c_MaxVertices)
        {
            finish();
            start();
        }
        std::vector<unsigned short>& indices = primitive->getVertexIndicesArray();
        for (std::size_t corner = 0; corner < cornersPerFace; ++corner)
        {
            const uint32_t vertex = faces[face + corner];
            if (m_Local[vertex] == c_None)
            {
                m_Local[vertex] = static_cast<uint32_t>(used.size());
                used.push_back(vertex);
                geometry->getVertexArray().push_back(positions[vertex]);
                if (normals)
                {
                    // Primitive draws a stored (x, y, z) as (x, -z, y).
                    const Vec3<double>& n = (*source.m_Normals)[vertex];
                    geometry->getNormalArray().push_back(Vec3<double>(n.x(), n.z(), -n.y()));
                }
                if (texCoords)
                    geometry->getTexCoordArray().push_back((*source.m_TexCoords)[vertex]);
                if (color)
                    geometry->getColorArray().push_back(*color);
            }
            indices.push_back(static_cast<unsigned short>(m_Local[vertex]));
        }
    }
    finish();
}

} // namespace Reader
