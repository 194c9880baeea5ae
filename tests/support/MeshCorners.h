#pragma once

#include <memory>
#include <string>
#include <vector>

#include <Math/Vec3.h>

namespace Rendering
{
class Mesh;
}

namespace TabulaTest
{

/// The positions (and stored normals, turned as Primitive draws them) of every
/// corner a mesh draws with `mode` (GL_TRIANGLES, GL_LINES, GL_POINTS), in
/// drawing order, across all its geometries.
struct MeshCorners
{
    std::vector<Vec3<double>> m_Positions;
    std::vector<Vec3<double>> m_Normals;
    std::size_t m_Geometries = 0;
    std::size_t m_MaxGeometryVertices = 0;
};
MeshCorners cornersOf(const Rendering::Mesh& mesh, unsigned int mode);

/// Loads a mesh as the engine does, keeping what it prints out of the test's
/// output (in `printed` when given).
std::unique_ptr<Rendering::Mesh> loadMesh(const std::string& path, std::string* printed = nullptr);

/// Expects the load of `path` to be refused: an empty mesh, one line naming
/// the file and holding `reason`, then the mesh's own failure line.
void expectRefused(const std::string& path, const std::string& reason);

} // namespace TabulaTest
