#include <Core/MeshManager.h>

#include <Rendering/Mesh.h>

#include "Core/internal/QuietRetry.h"

namespace Core
{

namespace
{
QuietRetry s_Retries;
} // namespace

MeshManager* MeshManager::instance()
{
    static MeshManager manager;
    return &manager;
}

MeshManager::~MeshManager()
{
    for (auto& named : m_Meshes)
        delete named.second.m_Mesh;
}

void MeshManager::addMesh(const std::string& fileName, Rendering::Mesh*& mesh)
{
    auto found = m_Meshes.find(fileName);
    if (found != m_Meshes.end())
    {
        ++found->second.m_Users;
        mesh = found->second.m_Mesh;
        return;
    }
    // A mesh that did not load is kept all the same (its pieces draw nothing).
    s_Retries.run(fileName, [&] {
        mesh = new Rendering::Mesh(fileName);
        return !mesh->getGeometries().empty();
    });
    m_Meshes.emplace(fileName, Entry{mesh, 1});
    if (m_Compiled)
        mesh->initList();
}

void MeshManager::retainMesh(Rendering::Mesh* mesh)
{
    for (auto& named : m_Meshes)
        if (named.second.m_Mesh == mesh)
        {
            ++named.second.m_Users;
            return;
        }
}

void MeshManager::removeMesh(Rendering::Mesh* mesh)
{
    for (auto named = m_Meshes.begin(); named != m_Meshes.end(); ++named)
        if (named->second.m_Mesh == mesh)
        {
            // Other pieces may still draw this mesh: only the last user frees it.
            if (--named->second.m_Users == 0)
            {
                delete named->second.m_Mesh;
                m_Meshes.erase(named);
            }
            return;
        }
}

void MeshManager::initList()
{
    m_Compiled = true;
    for (auto& named : m_Meshes)
        named.second.m_Mesh->initList();
}

} // namespace Core
