#include <Rendering/Mesh.h>

#include <iostream>

#include <Reader/internal/ModelReader.h>
#include <Rendering/Geometry.h>
#include <Rendering/Texture.h>

namespace Rendering
{

Mesh::Mesh(const std::string& fileName)
{
    if (load(fileName))
        std::cout << "Mesh File : \"" << fileName << "\" loaded." << std::endl;
    else
        std::cout << "Couldn't load Mesh file : \"" << fileName << "\"" << std::endl;
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
