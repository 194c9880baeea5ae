#include "support/MeshCorners.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <Rendering/Geometry.h>
#include <Rendering/Mesh.h>
#include <Rendering/Primitive.h>

#include "support/LogCapture.h"

namespace TabulaTest
{

MeshCorners cornersOf(const Rendering::Mesh& mesh, unsigned int mode)
{
    MeshCorners corners;
    for (Rendering::Geometry* geometry : mesh.getGeometries())
    {
        ++corners.m_Geometries;
        corners.m_MaxGeometryVertices = std::max(corners.m_MaxGeometryVertices, geometry->getVertexArray().size());
        for (Rendering::Primitive* primitive : geometry->getPrimitives())
        {
            if (primitive->getPrimitiveType() != mode)
                continue;
            const std::vector<unsigned short>& normals = primitive->getNormalIndicesArray();
            for (std::size_t i = 0; i < primitive->getVertexIndicesArray().size(); ++i)
            {
                corners.m_Positions.push_back(geometry->getVertexArray().at(primitive->getVertexIndicesArray()[i]));
                if (i < normals.size())
                {
                    corners.m_Normals.push_back(
                        Rendering::Geometry::drawnNormal(geometry->getNormalArray().at(normals[i])));
                }
            }
        }
    }
    return corners;
}

std::unique_ptr<Rendering::Mesh> loadMesh(const std::string& path, std::string* printed)
{
    LogCapture log;
    auto mesh = std::make_unique<Rendering::Mesh>(path);
    if (printed)
        *printed = log.out();
    return mesh;
}

void expectRefused(const std::string& path, const std::string& reason)
{
    SCOPED_TRACE(path);
    std::string printed;
    EXPECT_TRUE(loadMesh(path, &printed)->getGeometries().empty());
    const std::string first = printed.substr(0, printed.find('\n') + 1);
    EXPECT_NE(first.find(path), std::string::npos) << printed;
    EXPECT_NE(first.find(reason), std::string::npos) << printed;
    EXPECT_EQ(printed.substr(first.size()), "Couldn't load Mesh file : \"" + path + "\"\n") << printed;
}

} // namespace TabulaTest
