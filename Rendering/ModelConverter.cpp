#include <Rendering/internal/ModelConverter.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <numeric>
#include <utility>
#include <vector>

#include <GL/gl.h>

#include <Core/internal/Prefault.h>
#include <Reader/internal/ModelData.h>
#include <Rendering/Geometry.h>
#include <Rendering/Mesh.h>
#include <Rendering/Primitive.h>
#include <Rendering/Texture.h>

namespace Rendering
{

namespace
{

using Core::allocate;
using Core::prefault;
using Reader::ModelData;

// m_Local's states of a source vertex besides its geometry-local number.
constexpr uint32_t c_None = std::numeric_limits<uint32_t>::max();
constexpr uint32_t c_Used = c_None - 1;

// The elements of `from` that `sorted` names (ascending), each run of
// consecutive numbers copied in one go.
template <class T>
void copyRuns(const std::vector<T>& from, const std::vector<uint32_t>& sorted, std::vector<T>& to)
{
    allocate(to, sorted.size());
    for (std::size_t i = 0; i < sorted.size();)
    {
        std::size_t j = i + 1;
        while (j < sorted.size() && sorted[j] == sorted[j - 1] + 1)
            ++j;
        std::copy(from.begin() + sorted[i], from.begin() + sorted[j - 1] + 1, to.begin() + std::ptrdiff_t(i));
        i = j;
    }
}

// The same, moved down within `array`, which is cut to them: element i
// comes from sorted[i] >= i, which no earlier move has overwritten.
template <class T>
void compactRuns(std::vector<T>& array, const std::vector<uint32_t>& sorted)
{
    for (std::size_t i = 0; i < sorted.size();)
    {
        std::size_t j = i + 1;
        while (j < sorted.size() && sorted[j] == sorted[j - 1] + 1)
            ++j;
        if (sorted[i] != i)
            std::copy(array.begin() + sorted[i], array.begin() + sorted[j - 1] + 1, array.begin() + std::ptrdiff_t(i));
        i = j;
    }
    array.resize(sorted.size());
}

unsigned int glMode(ModelData::Mode mode)
{
    switch (mode)
    {
    case ModelData::Mode::Points:
        return GL_POINTS;
    case ModelData::Mode::Lines:
        return GL_LINES;
    default:
        return GL_TRIANGLES;
    }
}

class Converter
{
public:
    Converter(ModelData& data, Mesh& mesh) : m_Data(data), m_Mesh(mesh) {}

    void run()
    {
        std::vector<std::size_t> uses(m_Data.m_VertexSets.size(), 0);
        for (const ModelData::Primitive& primitive : m_Data.m_Primitives)
            ++uses.at(primitive.m_Vertices);
        for (ModelData::Primitive& primitive : m_Data.m_Primitives)
        {
            ModelData::Vertices& vertices = m_Data.m_VertexSets[primitive.m_Vertices];
            const bool last = --uses[primitive.m_Vertices] == 0;
            add(primitive, vertices, last);
            primitive = ModelData::Primitive();
            if (last)
                vertices = ModelData::Vertices();
        }
        // The model's data is gone: only now are the index lists shared,
        // which keeps the peak of a load low.
        m_Data = ModelData();
        shareIndexLists();
    }

private:
    Texture* textureOf(const ModelData::Material& material)
    {
        if (material.m_Image < 0 || std::size_t(material.m_Image) >= m_Data.m_Images.size())
            return nullptr;
        const auto key = std::make_pair(material.m_Image, material.m_NormalMap);
        auto found = m_Textures.find(key);
        if (found != m_Textures.end())
            return found->second;
        const ModelData::Image& image = m_Data.m_Images[std::size_t(material.m_Image)];
        const bool normal = material.m_NormalMap >= 0 && std::size_t(material.m_NormalMap) < m_Data.m_Images.size();
        const ModelData::Image noImage;
        const ModelData::Image& normalMap = normal ? m_Data.m_Images[std::size_t(material.m_NormalMap)] : noImage;
        auto* texture = new Texture(image.m_Name, image.m_Bytes, normalMap.m_Name, normalMap.m_Bytes);
        m_Mesh.adoptTexture(texture);
        return m_Textures[key] = texture->isLoaded() ? texture : nullptr;
    }

    void add(const ModelData::Primitive& primitive, ModelData::Vertices& vertices, bool last)
    {
        Texture* texture = nullptr;
        const Vec3<double>* color = nullptr;
        if (primitive.m_Material >= 0 && std::size_t(primitive.m_Material) < m_Data.m_Materials.size())
        {
            const ModelData::Material& material = m_Data.m_Materials[std::size_t(primitive.m_Material)];
            texture = textureOf(material);
            if (!texture && material.m_Color != Vec3<double>(1, 1, 1))
                color = &material.m_Color;
        }
        const std::size_t perFace = ModelData::cornersPerFace(primitive.m_Mode);
        const std::size_t faces = primitive.indexCount() / perFace;
        const std::size_t count = vertices.m_Positions.size();
        if (m_Local.size() < count)
            m_Local.resize(count, c_None);
        // Grown by doubling, the list would leave freed blocks of half its
        // size that no later array of the load fits into: fresh pages.
        m_Used.reserve(std::min(count, ModelConverter::c_MaxVertices));

        // The faces are cut into geometries first; the largest is filled
        // last, so that it can take the vertex set's arrays over in place.
        std::vector<Piece> pieces;
        std::size_t first = 0; // the current piece's first face
        const uint32_t* corner = primitive.indices();
        for (std::size_t face = 0; face < faces; ++face, corner += perFace)
        {
            // Only near the limit does it matter how many vertices are new.
            if (m_Used.size() + perFace > ModelConverter::c_MaxVertices)
            {
                std::size_t added = 0;
                for (std::size_t c = 0; c < perFace; ++c)
                    added += m_Local[corner[c]] == c_None;
                if (m_Used.size() + added > ModelConverter::c_MaxVertices)
                {
                    pieces.push_back(cut(first, face));
                    first = face;
                }
            }
            for (std::size_t c = 0; c < perFace; ++c)
                if (m_Local[corner[c]] == c_None)
                {
                    m_Local[corner[c]] = c_Used;
                    m_Used.push_back(corner[c]);
                }
        }
        if (faces == 0)
            return;
        pieces.push_back(cut(first, faces));

        std::vector<Geometry*> geometries;
        for (std::size_t i = 0; i < pieces.size(); ++i)
            geometries.push_back(newGeometry(primitive.m_Mode, texture));
        std::size_t largest = 0;
        for (std::size_t i = 1; i < pieces.size(); ++i)
            if (pieces[i].m_Used.size() > pieces[largest].m_Used.size())
                largest = i;
        const Part part{primitive, vertices, texture, color};
        for (std::size_t i = 0; i < pieces.size(); ++i)
            if (i != largest)
                fill(part, pieces[i], *geometries[i], false);
        fill(part, pieces[largest], *geometries[largest], last);
    }

    struct Part
    {
        const ModelData::Primitive& m_Primitive;
        ModelData::Vertices& m_Vertices;
        Texture* m_Texture;
        const Vec3<double>* m_Color;
    };

    // Faces [m_First, m_Last) of a primitive and the vertices they use, in
    // their order in the vertex set, so that its arrays are copied in runs.
    struct Piece
    {
        std::size_t m_First;
        std::size_t m_Last;
        std::vector<uint32_t> m_Used;
    };

    Piece cut(std::size_t first, std::size_t last)
    {
        const auto [low, high] = std::minmax_element(m_Used.begin(), m_Used.end());
        const std::size_t span = std::size_t(*high - *low) + 1;
        if (span == m_Used.size())
            std::iota(m_Used.begin(), m_Used.end(), *low);
        else if (span / 8 < m_Used.size())
        {
            const uint32_t from = *low;
            m_Used.clear();
            for (uint32_t v = from; v < from + span; ++v)
                if (m_Local[v] == c_Used)
                    m_Used.push_back(v);
        }
        else
            std::sort(m_Used.begin(), m_Used.end());
        for (uint32_t vertex : m_Used)
            m_Local[vertex] = c_None;
        Piece piece{first, last, std::move(m_Used)};
        m_Used = std::vector<uint32_t>();
        return piece;
    }

    Geometry* newGeometry(ModelData::Mode mode, Texture* texture)
    {
        auto* geometry = new Geometry();
        m_Mesh.addGeometry(geometry);
        auto* primitive = new Primitive();
        primitive->setAssociateGeometry(geometry);
        primitive->setPrimitiveType(glMode(mode));
        primitive->setTexture(texture);
        geometry->addPrimitive(primitive);
        m_Unshared.push_back(primitive);
        return geometry;
    }

    // The geometry of one piece. `inPlace`: no later piece or primitive reads
    // the vertex set, whose arrays are then moved down and taken over rather
    // than copied.
    void fill(const Part& part, const Piece& piece, Geometry& geometry, bool inPlace)
    {
        const std::vector<uint32_t>& used = piece.m_Used;
        for (std::size_t i = 0; i < used.size(); ++i)
            m_Local[used[i]] = uint32_t(i);
        const std::size_t perFace = ModelData::cornersPerFace(part.m_Primitive.m_Mode);
        const uint32_t* corners = part.m_Primitive.indices() + piece.m_First * perFace;
        std::vector<unsigned short>& indices = geometry.getPrimitives().front()->getVertexIndicesArray();
        allocate(indices, (piece.m_Last - piece.m_First) * perFace);
        for (std::size_t i = 0; i < indices.size(); ++i)
            indices[i] = static_cast<unsigned short>(m_Local[corners[i]]);
        for (uint32_t vertex : used)
            m_Local[vertex] = c_None;

        ModelData::Vertices& from = part.m_Vertices;
        auto take = [&](auto& source, auto& target)
        {
            if (inPlace)
            {
                compactRuns(source, used);
                target = std::move(source);
            }
            else
                copyRuns(source, used, target);
        };
        take(from.m_Positions, geometry.getVertexArray());
        if (!from.m_Normals.empty())
        {
            std::vector<Vec3<double>>& normals = geometry.getNormalArray();
            take(from.m_Normals, normals);
            for (Vec3<double>& n : normals)
                n = Geometry::storedNormal(n);
        }
        if (part.m_Texture && !from.m_TexCoords.empty())
            take(from.m_TexCoords, geometry.getTexCoordArray());
        if (part.m_Color)
            geometry.getColorArray().assign(used.size(), *part.m_Color);
    }

    // Every attribute is indexed by the vertex's own number.
    void shareIndexLists()
    {
        for (Primitive* primitive : m_Unshared)
        {
            Geometry& geometry = *primitive->getAssociateGeometry();
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
    }

    ModelData& m_Data;
    Mesh& m_Mesh;
    // Per source vertex of the current set: c_None, c_Used, or its number in
    // the geometry being written. Sized to the largest set seen and reset only
    // where it was written.
    std::vector<uint32_t> m_Local;
    std::vector<uint32_t> m_Used; // the current geometry's source vertices
    std::vector<Primitive*> m_Unshared;
    std::map<std::pair<int, int>, Texture*> m_Textures;
};

} // namespace

void ModelConverter::convert(Reader::ModelData& data, Mesh& mesh)
{
    Converter(data, mesh).run();
}

} // namespace Rendering
