#pragma once

#include <TabulaExport.h>

#include <cstdint>
#include <map>
#include <new>
#include <string>
#include <string_view>

namespace Rendering
{
class Image;
}

namespace Core
{

/// The registry of decoded images, one per file name exactly as written. It
/// owns them and counts their users: an image is destroyed when its last user
/// gives it back, or at process exit.
///
/// Memory recovery: the first use installs a process-wide new handler. When any
/// allocation fails, every image is halved once (and uploaded again); if that
/// frees at least 10 MiB the allocation is retried, otherwise the process
/// prints "Not enought memory, This application will be closed !" and exits
/// with status -1.
class TABULA_EXPORT ImageManager
{
public:
    static ImageManager* instance();

    /// `image` becomes the shared image of `fileName` (loaded on first
    /// request), or null when the file does not load.
    void addImage(const std::string& fileName, Rendering::Image*& image);
    /// The same for an image held in memory (one inside a model file):
    /// `name` says where it came from ("piece.glb#image0") and is the key it
    /// is shared under; `bytes` are decoded only on the first request.
    void addImage(const std::string& name, std::string_view bytes, Rendering::Image*& image);
    /// Gives one use of `image` back; the last one destroys it.
    void removeImage(Rendering::Image* image);
    /// The memory recovery run by the new handler: halves every image once.
    /// Frees at least 10 MiB: prints "Recovered memory : N Mo." and returns
    /// (the allocation is retried). Less: prints the closing message and exits
    /// with status -1. A shortage during the halving itself throws
    /// std::bad_alloc out of that image's halving, which leaves it whole.
    void manageMemory();
    uint64_t getTotalMemoryUsed() { return m_TotalMemoryUsed; }
    /// Uploads every registered image (needs a GL context). From then on, an
    /// image first requested is uploaded as it loads, in the context then
    /// current (the engine's, in its callbacks).
    void initGL();

    std::size_t getImageCount() const { return m_Images.size(); }
    /// False once the manager has been destroyed at process exit, so that
    /// textures destroyed later do not reach it.
    static bool isAlive();

private:
    ImageManager();
    template <typename Make>
    void addImageMadeBy(const std::string& name, Rendering::Image*& image, Make make);
    ~ImageManager();

    struct Entry
    {
        Rendering::Image* m_Image;
        unsigned int m_Users;
    };

    std::map<std::string, Entry> m_Images;
    uint64_t m_TotalMemoryUsed;
    std::new_handler m_PreviousNewHandler;
    bool m_Recovering;
    bool m_Uploaded = false;
};

/// The function object behind the new handler, bound to the manager.
class TABULA_EXPORT ImageManagerNewHandler
{
public:
    static ImageManagerNewHandler* instance();
    void operator()();

private:
    ImageManagerNewHandler();
    ImageManager* m_Manager;
};

/// The function installed with std::set_new_handler.
TABULA_EXPORT void ImagesManagerNewHandler();

} // namespace Core
