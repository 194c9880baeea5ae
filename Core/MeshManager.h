#pragma once

#include <TabulaExport.h>

#include <map>
#include <string>

namespace Rendering
{
class Mesh;
}

namespace Core
{

/// The registry of loaded meshes, one per file name exactly as written
/// (a file that fails to load keeps an empty mesh under its name). It owns
/// them and counts their users: a mesh is destroyed when its last user gives
/// it back, or at process exit.
class TABULA_EXPORT MeshManager
{
public:
    static MeshManager* instance();

    /// `mesh` becomes the shared mesh of `fileName`, loaded on first request.
    void addMesh(const std::string& fileName, Rendering::Mesh*& mesh);
    /// Takes one more use of a registered mesh (a copied piece).
    void retainMesh(Rendering::Mesh* mesh);
    /// Gives one use back; the last one destroys the mesh.
    void removeMesh(Rendering::Mesh* mesh);
    /// Compiles every registered mesh, in file-name order (needs a GL context).
    /// From then on, a mesh first requested is compiled as it loads, in the
    /// context then current (the engine's, in its callbacks).
    void initList();

    std::size_t getMeshCount() const { return m_Meshes.size(); }

private:
    MeshManager() = default;
    ~MeshManager();

    struct Entry
    {
        Rendering::Mesh* m_Mesh;
        unsigned int m_Users;
    };

    std::map<std::string, Entry> m_Meshes;
    bool m_Compiled = false;
};

} // namespace Core
