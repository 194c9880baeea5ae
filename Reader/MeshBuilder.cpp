#include <Reader/internal/MeshBuilder.h>

#include <algorithm>
#include <limits>

#include <sys/mman.h>

#include <Rendering/Geometry.h>
#include <Rendering/Mesh.h>
#include <Rendering/Primitive.h>

namespace Reader
{

namespace
{
constexpr uint32_t c_None = std::numeric_limits<uint32_t>::max();
// Corners are fetched from the source this many faces at a time, vertices
// this many at a time.
constexpr std::size_t c_FacesPerRun = 1024;
constexpr std::size_t c_VerticesPerRun = 256;

// Maps in the pages of a freshly reserved array in one call: a big model's
// arrays otherwise take one page fault per page as they fill, and a fault
// costs far more than the page's writing, above all in a virtual machine.
// Nothing is written; where the system cannot do it the pages simply fault
// as before.
template <class T>
void prefault(std::vector<T>& array)
{
#ifdef MADV_POPULATE_WRITE
    const std::size_t page = 4096;
    const auto begin = reinterpret_cast<uintptr_t>(array.data());
    const uintptr_t first = (begin + page - 1) & ~uintptr_t(page - 1);
    const uintptr_t last = (begin + array.capacity() * sizeof(T)) & ~uintptr_t(page - 1);
    if (last > first)
        madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#else
    (void)array;
#endif
}

// Appends the attribute of `count` vertices, read a run at a time, to an
// array reserved for them.
template <class T, class Read>
void appendRuns(std::vector<T>& array, const uint32_t* vertices, std::size_t count, Read read)
{
    array.reserve(count);
    prefault(array);
    T run[c_VerticesPerRun];
    for (std::size_t first = 0; first < count; first += c_VerticesPerRun)
    {
        const std::size_t n = std::min(count - first, c_VerticesPerRun);
        read(vertices + first, n, run);
        array.insert(array.end(), run, run + n);
    }
}
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
        appendRuns(geometry->getVertexArray(), used.data(), count,
                   [&](const uint32_t* v, std::size_t n, Vec3<double>* out) { source.positions(v, n, out); });
        if (normals)
            appendRuns(geometry->getNormalArray(), used.data(), count,
                       [&](const uint32_t* v, std::size_t n, Vec3<double>* out)
                       {
                           source.normals(v, n, out);
                           // Primitive draws a stored (x, y, z) as (x, -z, y).
                           for (std::size_t i = 0; i < n; ++i)
                               out[i] = Vec3<double>(out[i].x(), out[i].z(), -out[i].y());
                       });
        if (texCoords)
            appendRuns(geometry->getTexCoordArray(), used.data(), count,
                       [&](const uint32_t* v, std::size_t n, Vec2<double>* out) { source.texCoords(v, n, out); });
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
        prefault(*indices);
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
            // Only near the limit does it matter how many vertices are new.
            if (!geometry || used.size() + cornersPerFace > c_MaxVertices)
            {
                std::size_t added = 0;
                for (std::size_t c = 0; c < cornersPerFace; ++c)
                    added += m_Local[corner[c]] == c_None;
                if (!geometry || used.size() + added > c_MaxVertices)
                {
                    finish();
                    start(face * cornersPerFace);
                }
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
        auto share = [&](std::vector<unsigned short>& list)
        {
            list.reserve(indices.size());
            prefault(list);
            list.assign(indices.begin(), indices.end());
        };
        if (!geometry.getNormalArray().empty())
            share(primitive->getNormalIndicesArray());
        if (!geometry.getTexCoordArray().empty())
            share(primitive->getTexturesIndicesArray());
        if (!geometry.getColorArray().empty())
            share(primitive->getColorIndicesArray());
    }
    m_Unshared.clear();
}

} // namespace Reader
