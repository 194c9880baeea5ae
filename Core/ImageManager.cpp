#include "Core/ImageManager.h"

#include <cstdlib>

#include "Core/Log.h"
#include "Rendering/Image.h"
#include "Rendering/internal/EngineState.h"

namespace Core
{

namespace
{
const uint64_t c_MinimumRecovery = 10485760;
} // namespace

ImageManager* ImageManager::instance()
{
    static ImageManager manager;
    return &manager;
}

bool ImageManager::isAlive()
{
    return Rendering::engineState().m_ImageManagerAlive;
}

ImageManager::ImageManager() : m_TotalMemoryUsed(0), m_PreviousNewHandler(nullptr), m_Recovering(false)
{
    m_PreviousNewHandler = std::set_new_handler(ImagesManagerNewHandler);
    Rendering::engineState().m_ImageManagerAlive = true;
}

// The handler would reach a destroyed registry: give the process its previous
// handler back before the images go.
ImageManager::~ImageManager()
{
    Rendering::engineState().m_ImageManagerAlive = false;
    std::set_new_handler(m_PreviousNewHandler);
    for (auto& entry : m_Images)
        delete entry.second.m_Image;
    m_Images.clear();
}

void ImageManager::addImage(const std::string& fileName, Rendering::Image*& image)
{
    addImageMadeBy(fileName, image, [&] { return new Rendering::Image(fileName); });
}

void ImageManager::addImage(const std::string& name, std::string_view bytes, Rendering::Image*& image)
{
    addImageMadeBy(name, image, [&] { return new Rendering::Image(name, bytes); });
}

template <typename Make>
void ImageManager::addImageMadeBy(const std::string& name, Rendering::Image*& image, Make make)
{
    auto found = m_Images.find(name);
    if (found != m_Images.end())
    {
        ++found->second.m_Users;
        image = found->second.m_Image;
        return;
    }
    image = make();
    if (!image->isLoaded())
    {
        delete image;
        image = nullptr;
        return;
    }
    m_Images.emplace(name, Entry{image, 1});
    m_TotalMemoryUsed += static_cast<uint64_t>(image->getMemoryUsage());
}

void ImageManager::removeImage(Rendering::Image* image)
{
    if (image == nullptr)
        return;
    for (auto entry = m_Images.begin(); entry != m_Images.end(); ++entry)
    {
        if (entry->second.m_Image != image)
            continue;
        if (--entry->second.m_Users == 0)
        {
            m_TotalMemoryUsed -= static_cast<uint64_t>(image->getMemoryUsage());
            delete image;
            m_Images.erase(entry);
        }
        return;
    }
}

void ImageManager::manageMemory()
{
    // Halving allocates, so a shortage can strike again while an image is being
    // halved. That nested call throws std::bad_alloc out of the halving's own
    // allocation, which comes before the image is touched: the image stays
    // whole, keeps its counted bytes, and the walk goes on with the others.
    if (m_Recovering)
        throw std::bad_alloc();
    m_Recovering = true;
    const uint64_t before = m_TotalMemoryUsed;
    for (auto& entry : m_Images)
    {
        Rendering::Image* image = entry.second.m_Image;
        const uint64_t usage = static_cast<uint64_t>(image->getMemoryUsage());
        try
        {
            image->reduceToLimit();
        }
        catch (const std::bad_alloc&)
        {
            continue;
        }
        m_TotalMemoryUsed = m_TotalMemoryUsed - usage + static_cast<uint64_t>(image->getMemoryUsage());
    }
    m_Recovering = false;
    const uint64_t freed = before - m_TotalMemoryUsed;
    if (freed < c_MinimumRecovery)
    {
        log(LogLevel::Warning, "ImageManager", "Not enought memory, This application will be closed !");
        std::exit(-1);
    }
    log(LogLevel::Info, "ImageManager", "Recovered memory : " + std::to_string(freed / 1048576) + " Mo.");
}

void ImageManager::initGL()
{
    for (auto& entry : m_Images)
        entry.second.m_Image->initGL();
}

ImageManagerNewHandler* ImageManagerNewHandler::instance()
{
    static ImageManagerNewHandler handler;
    return &handler;
}

ImageManagerNewHandler::ImageManagerNewHandler() : m_Manager(ImageManager::instance()) {}

void ImageManagerNewHandler::operator()()
{
    m_Manager->manageMemory();
}

void ImagesManagerNewHandler()
{
    (*ImageManagerNewHandler::instance())();
}

} // namespace Core
