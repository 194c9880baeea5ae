#include <Rendering/Geometry.h>

#include <algorithm>

#include <Core/Log.h>
#include <Rendering/Primitive.h>

namespace Rendering
{

Geometry::~Geometry()
{
    for (Primitive* primitive : m_Primitives)
        delete primitive;
}

void Geometry::addPrimitive(Primitive* primitive)
{
    m_Primitives.push_back(primitive);
}

void Geometry::removePrimitive(Primitive* primitive)
{
    auto found = std::find(m_Primitives.begin(), m_Primitives.end(), primitive);
    if (found == m_Primitives.end())
    {
        Core::log(Core::LogLevel::Warning, "Geometry", "Unkown primitive to remove.");
        return;
    }
    m_Primitives.erase(found);
}

void Geometry::initDisplayList()
{
    for (Primitive* primitive : m_Primitives)
        primitive->initDisplayList();
}

void Geometry::draw()
{
    for (Primitive* primitive : m_Primitives)
        primitive->draw();
}

} // namespace Rendering
