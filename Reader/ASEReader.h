#pragma once

#include <string>
#include <vector>

namespace Rendering
{
class Mesh;
class Texture;
} // namespace Rendering

namespace Reader
{

/// Reads an ASE (ASCII scene export) file into a Rendering::Mesh.
class ASEReader
{
public:
    ASEReader() = default;

    bool load(const std::string& fileName, Rendering::Mesh* mesh);

private:
    Rendering::Mesh* m_Mesh = nullptr;
    std::vector<Rendering::Texture*> m_Textures;
    std::string m_FileName;
};

} // namespace Reader
