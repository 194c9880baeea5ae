#include "support/ModelCorners.h"

#include <algorithm>

namespace TabulaTest
{

MeshCorners cornersOf(const Reader::ModelData& data, Reader::ModelData::Mode mode)
{
    MeshCorners corners;
    for (const Reader::ModelData::Primitive& primitive : data.m_Primitives)
    {
        if (primitive.m_Mode != mode)
            continue;
        const Reader::ModelData::Vertices& vertices = data.m_VertexSets.at(primitive.m_Vertices);
        ++corners.m_Geometries;
        corners.m_MaxGeometryVertices = std::max(corners.m_MaxGeometryVertices, vertices.m_Positions.size());
        for (std::size_t i = 0; i < primitive.indexCount(); ++i)
        {
            const uint32_t vertex = primitive.indices()[i];
            corners.m_Positions.push_back(vertices.m_Positions.at(vertex));
            if (!vertices.m_Normals.empty())
                corners.m_Normals.push_back(vertices.m_Normals.at(vertex));
        }
    }
    return corners;
}

} // namespace TabulaTest
