#include <Rendering/Mesh.h>

#include <iostream>

#include <Reader/ASEReader.h>
#include <Rendering/Geometry.h>

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
}

bool Mesh::load(const std::string& fileName)
{
    if (fileName.find(".ase") != std::string::npos || fileName.find(".ASE") != std::string::npos)
    {
        Reader::ASEReader reader;
        return reader.load(fileName, this);
    }
    std::cout << "Unsupported format ... (supported format : ASE)" << std::endl;
    return false;
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
