#pragma once

#include <TabulaExport.h>

#include <string>
#include <vector>

namespace Rendering
{

class Geometry;

/// A loaded model: one Geometry per geometry object of its file, in file
/// order. Owns its geometries. A mesh whose file did not load is empty and
/// draws nothing. Made and shared by the MeshManager.
class TABULA_EXPORT Mesh
{
public:
    Mesh() = default;
    /// Loads the file (".ase" or ".ASE" anywhere in the name) and prints
    /// whether it loaded.
    explicit Mesh(const std::string& fileName);
    /// A copy is empty: it shares and owns nothing.
    Mesh(const Mesh& other);
    Mesh& operator=(const Mesh&) = delete;
    ~Mesh();

    bool load(const std::string& fileName);
    /// Takes ownership.
    void addGeometry(Geometry* geometry);
    const std::vector<Geometry*>& getGeometries() const { return m_Geometries; }
    /// Compiles every primitive into a display list (needs a GL context).
    void initList();
    void draw();

private:
    std::vector<Geometry*> m_Geometries;
};

} // namespace Rendering
