#pragma once

#include <TabulaExport.h>

#include <string>
#include <vector>

namespace Rendering
{

class Geometry;
class Texture;

/// A loaded model: one Geometry per geometry object of its file, in file
/// order. Owns its geometries. A mesh whose file did not load is empty and
/// draws nothing. Made and shared by the MeshManager.
class TABULA_EXPORT Mesh
{
public:
    Mesh() = default;
    /// Loads the file (reader chosen by Reader::ModelReader: ASE, glTF 2.0 or
    /// OBJ) and prints whether it loaded.
    explicit Mesh(const std::string& fileName);
    /// A copy is empty: it shares and owns nothing.
    Mesh(const Mesh& other);
    Mesh& operator=(const Mesh&) = delete;
    ~Mesh();

    bool load(const std::string& fileName);
    /// Takes ownership.
    void addGeometry(Geometry* geometry);
    /// Takes ownership of a texture that only this mesh's primitives use (the
    /// glTF and OBJ readers' materials); it is destroyed with the mesh.
    void adoptTexture(Texture* texture);
    /// Moves every geometry and texture of `other` to the end of this mesh.
    void takeFrom(Mesh& other);
    const std::vector<Geometry*>& getGeometries() const { return m_Geometries; }
    /// Compiles every primitive into a display list (needs a GL context).
    void initList();
    void draw();

private:
    std::vector<Geometry*> m_Geometries;
    std::vector<Texture*> m_Textures;
};

} // namespace Rendering
