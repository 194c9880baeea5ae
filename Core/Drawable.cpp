#include <Core/Drawable.h>

#include <Rendering/Render.h>
#include <Rendering/Texture.h>

namespace Core
{

unsigned int Drawable::m_NextPickingName = 0;

Drawable::Drawable() : m_Color(1.0, 1.0, 1.0, 1.0), m_PickingName(getNextPickingName())
{
    Rendering::Render::instance()->pushDrawable(this);
}

Drawable::Drawable(const Drawable& other)
    : m_Color(other.m_Color), m_Texture(other.m_Texture), m_PickingName(getNextPickingName())
{
    Rendering::Render::instance()->pushDrawable(this);
}

Drawable::~Drawable()
{
    // At process exit the engine may already be gone; then there is no
    // registry left to leave.
    if (Rendering::Render::isAlive())
        Rendering::Render::instance()->popDrawable(this);
}

unsigned int Drawable::getNextPickingName()
{
    return m_NextPickingName++;
}

void Drawable::setTexture(const std::string& fileName)
{
    removeTexture();
    m_Texture = std::make_shared<Rendering::Texture>(fileName);
}

void Drawable::removeTexture()
{
    m_Texture.reset();
}

std::string Drawable::getMeta(const std::string& name) const
{
    for (const Meta<std::string>* meta : m_Metas)
        if (meta && meta->getName() == name)
            return meta->getValue();
    return std::string();
}

void Drawable::addMeta(Meta<std::string>* meta)
{
    m_Metas.push_back(meta);
}

} // namespace Core
