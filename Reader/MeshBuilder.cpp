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
// Corners are fetched from the source this many faces at a time.
constexpr std::size_t c_FacesPerRun = 1024;
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
    std::vector<unsigned short>* indices = nullptr;
    std::vector<uint32_t> used; // source numbers of the current geometry's vertices
    used.reserve(std::min(source.vertexCount(), c_MaxVertices));
    // The vertex arrays are filled once a geometry's vertices are known, so
    // they are allocated at their exact size.
    auto finish = [&]
    {
        if (!geometry)
            return;
        const std::size_t count = used.size();
        geometry->getVertexArray().resize(count);
        source.positions(used.data(), count, geometry->getVertexArray().data());
        if (normals)
        {
            std::vector<Vec3<double>>& array = geometry->getNormalArray();
            array.resize(count);
            source.normals(used.data(), count, array.data());
            // Primitive draws a stored (x, y, z) as (x, -z, y).
            for (Vec3<double>& n : array)
                n = Vec3<double>(n.x(), n.z(), -n.y());
        }
        if (texCoords)
        {
            geometry->getTexCoordArray().resize(count);
            source.texCoords(used.data(), count, geometry->getTexCoordArray().data());
        }
        if (color)
            geometry->getColorArray().assign(count, *color);
        for (uint32_t vertex : used)
            m_Local[vertex] = c_None;
        used.clear();
        geometry = nullptr;
        primitive = nullptr;
    };
    auto start = [&](std::size_t first)
    {
        geometry = new Rendering::Geometry();
        m_Mesh->addGeometry(geometry);
        primitive = new Rendering::Primitive();
        primitive->setAssociateGeometry(geometry);
        primitive->setPrimitiveType(mode);
        primitive->setTexture(texture);
        geometry->addPrimitive(primitive);
        m_Unshared.push_back(primitive);
        indices = &primitive->getVertexIndicesArray();
        indices->reserve(std::min(corners - first, 6 * c_MaxVertices));
    };

    const std::size_t faces = corners / cornersPerFace;
    std::vector<uint32_t> run(std::min(faces, c_FacesPerRun) * cornersPerFace);
    for (std::size_t face = 0; face < faces;)
    {
        const std::size_t runFaces = std::min(faces - face, c_FacesPerRun);
        source.corners(face * cornersPerFace, runFaces * cornersPerFace, run.data());
        for (std::size_t f = 0; f < runFaces; ++f, ++face)
        {
            const uint32_t* corner = &run[f * cornersPerFace];
            std::size_t added = 0;
            for (std::size_t c = 0; c < cornersPerFace; ++c)
                added += m_Local[corner[c]] == c_None;
            if (!geometry || used.size() + added > c_MaxVertices)
            {
                finish();
                start(face * cornersPerFace);
            }
            for (std::size_t c = 0; c < cornersPerFace; ++c)
            {
                uint32_t& local = m_Local[corner[c]];
                if (local == c_None)
                {
                    local = static_cast<uint32_t>(used.size());
                    used.push_back(corner[c]);
                }
                indices->push_back(static_cast<unsigned short>(local));
            }
        }
    }
    finish();
}

void MeshBuilder::shareIndexLists()
{
    for (Rendering::Primitive* primitive : m_Unshared)
    {
        // Every attribute is indexed by the vertex's own number.
        Rendering::Geometry& geometry = *primitive->getAssociateGeometry();
        const std::vector<unsigned short>& indices = primitive->getVertexIndicesArray();
        if (!geometry.getNormalArray().empty())
            primitive->getNormalIndicesArray() = indices;
        if (!geometry.getTexCoordArray().empty())
            primitive->getTexturesIndicesArray() = indices;
        if (!geometry.getColorArray().empty())
            primitive->getColorIndicesArray() = indices;
    }
    m_Unshared.clear();
}

} // namespace Reader
