#include <Rendering/Mesh.h>

#include <Core/Log.h>
#include <Reader/internal/ModelReader.h>
#include <Rendering/Geometry.h>
#include <Rendering/Texture.h>

namespace Rendering
{

Mesh::Mesh(const std::string& fileName)
{
    if (load(fileName))
        Core::log(Core::LogLevel::Info, "Mesh", "Mesh File : \"" + fileName + "\" loaded.");
    else
        Core::log(Core::LogLevel::Warning, "Mesh", "Couldn't load Mesh file : \"" + fileName + "\"");
}

Mesh::Mesh(const Mesh&) {}

Mesh::~Mesh()
{
    for (Geometry* geometry : m_Geometries)
        delete geometry;
    for (Texture* texture : m_Textures)
        delete texture;
}

bool Mesh::load(const std::string& fileName)
{
    return Reader::ModelReader::load(fileName, this);
}

void Mesh::adoptTexture(Texture* texture)
{
    m_Textures.push_back(texture);
}

void Mesh::takeFrom(Mesh& other)
{
    m_Geometries.insert(m_Geometries.end(), other.m_Geometries.begin(), other.m_Geometries.end());
    m_Textures.insert(m_Textures.end(), other.m_Textures.begin(), other.m_Textures.end());
    other.m_Geometries.clear();
    other.m_Textures.clear();
}

void Mesh::addGeometry(Geometry* geometry)
{
    m_Geometries.push_back(geometry);
}

void Mesh::initList()
{
    for (Geometry* geometry : m_Geometries)
        geometry->initDisplayList();
}

void Mesh::draw()
{
    for (Geometry* geometry : m_Geometries)
        geometry->draw();
}

} // namespace Rendering
