#include "Rendering/Texture.h"

#include <GL/gl.h>

#include <fstream>

#include "Core/ImageManager.h"
#include "Rendering/Image.h"
#include "Rendering/Render.h"
#include "Rendering/Shader.h"

namespace Rendering
{

Texture::Texture(const std::string& fileName) : m_Image(nullptr), m_NormalMap(nullptr), m_FileName(fileName)
{
    Core::ImageManager::instance()->addImage(m_FileName, m_Image);
    if (m_Image == nullptr)
        return;
    const std::string normalName = normalMapName(m_FileName);
    std::ifstream normalFile(normalName.c_str());
    if (normalFile.is_open())
    {
        normalFile.close();
        Core::ImageManager::instance()->addImage(normalName, m_NormalMap);
    }
}

Texture::Texture(const std::string& name, std::string_view bytes, const std::string& normalName,
                 std::string_view normalBytes)
    : m_Image(nullptr), m_NormalMap(nullptr), m_FileName(name)
{
    Core::ImageManager::instance()->addImage(name, bytes, m_Image);
    if (m_Image != nullptr && !normalName.empty())
        Core::ImageManager::instance()->addImage(normalName, normalBytes, m_NormalMap);
}

Texture::~Texture()
{
    // A texture outliving the registry (a static destroyed at exit after it)
    // has nothing left to give back.
    if (!Core::ImageManager::isAlive())
        return;
    Core::ImageManager::instance()->removeImage(m_Image);
    Core::ImageManager::instance()->removeImage(m_NormalMap);
}

std::string Texture::normalMapName(const std::string& fileName)
{
    const std::string::size_type dot = fileName.rfind('.');
    if (dot == std::string::npos)
        return fileName + "_normal";
    return fileName.substr(0, dot) + "_normal" + fileName.substr(dot);
}

void Texture::apply()
{
    Render* render = Render::instance();
    if (render->hasShaderAvailable())
        render->getShader()->setTexture2DParameter("NormalsID", m_NormalMap != nullptr ? m_NormalMap->getId() : 0, 1);
    if (m_Image != nullptr)
    {
        m_Image->apply();
        return;
    }
    // No picture loaded: draw untextured (texture 0) rather than keep
    // whatever the previous drawable left bound.
    if (render->hasShaderAvailable())
        render->getShader()->setTexture2DParameter("TextureID", 0, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void Texture::unApply()
{
    glBindTexture(GL_TEXTURE_2D, 0);
}

bool Texture::isLoaded() const
{
    return m_Image != nullptr && m_Image->isLoaded();
}

} // namespace Rendering
