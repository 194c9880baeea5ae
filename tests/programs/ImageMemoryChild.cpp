// Runs one memory shortage scenario of the image manager and reports on the
// standard output; the test reads the lines and the exit status.
//
//   ImageMemoryChild recover <images dir>  two images, a shortage they relieve,
//                                          then one they cannot
//   ImageMemoryChild empty   <images dir>  a shortage with no image registered
//   ImageMemoryChild nested  <images dir>  a shortage during which halving the
//                                          big image runs short itself
//
// Normal builds lower RLIMIT_AS for real. AddressSanitizer's allocator never
// calls a new handler and its shadow memory defeats RLIMIT_AS, so sanitized
// builds replace operator new by one that honours the same limit on the bytes
// it has handed out and follows the new-handler protocol.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <new>
#include <string>

#include "Core/ImageManager.h"
#include "Rendering/Image.h"

#if defined(__SANITIZE_ADDRESS__)
#define TABULA_EMULATED_LIMIT 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TABULA_EMULATED_LIMIT 1
#endif
#endif

#ifdef TABULA_EMULATED_LIMIT
#include <malloc.h>

namespace
{
std::size_t g_Live = 0;
std::size_t g_Limit = 0;
bool g_Limited = false;

void* allocate(std::size_t size, bool nothrow)
{
    for (;;)
    {
        if (!g_Limited || g_Live + size <= g_Limit)
        {
            void* block = std::malloc(size == 0 ? 1 : size);
            if (block != nullptr)
            {
                g_Live += malloc_usable_size(block);
                return block;
            }
        }
        std::new_handler handler = std::get_new_handler();
        if (handler == nullptr)
        {
            if (nothrow)
                return nullptr;
            throw std::bad_alloc();
        }
        try
        {
            handler();
        }
        catch (const std::bad_alloc&)
        {
            if (nothrow)
                return nullptr;
            throw;
        }
    }
}

void release(void* block)
{
    if (block == nullptr)
        return;
    g_Live -= malloc_usable_size(block);
    std::free(block);
}
} // namespace

void* operator new(std::size_t size)
{
    return allocate(size, false);
}
void* operator new[](std::size_t size)
{
    return allocate(size, false);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size, true);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size, true);
}
void operator delete(void* block) noexcept
{
    release(block);
}
void operator delete[](void* block) noexcept
{
    release(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    release(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    release(block);
}

namespace
{
void limitTo(std::size_t margin)
{
    g_Limit = g_Live + margin;
    g_Limited = true;
}
} // namespace

#else
#include <sys/resource.h>

namespace
{
std::size_t addressSpace()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, 7, "VmSize:") == 0)
            return std::stoul(line.substr(7)) * 1024;
    return 0;
}

void limitTo(std::size_t margin)
{
    rlimit limit;
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = addressSpace() + margin;
    setrlimit(RLIMIT_AS, &limit);
}
} // namespace
#endif

namespace
{
const std::size_t c_MiB = 1024 * 1024;

void reportTotal()
{
    std::cout << "total " << Core::ImageManager::instance()->getTotalMemoryUsed() << std::endl;
}

char* volatile g_Sink = nullptr;

void allocate(std::size_t bytes)
{
    g_Sink = new char[bytes];
    std::cout << "allocated " << bytes / c_MiB << " MiB" << std::endl;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const std::string mode = argv[1];
    const std::string dir = argv[2];
    Core::ImageManager* manager = Core::ImageManager::instance();
    std::atexit(reportTotal);
    Rendering::Image* big = nullptr;
    Rendering::Image* small = nullptr;
    if (mode != "empty")
    {
        manager->addImage(dir + "/big.png", big);
        manager->addImage(dir + "/small.png", small);
        if (big == nullptr || small == nullptr)
            return 3;
    }
    reportTotal();
    limitTo(mode == "recover" ? 6 * c_MiB : c_MiB);
    if (mode != "empty")
        allocate(14 * c_MiB);
    if (mode != "nested")
    {
        delete[] g_Sink;
        allocate(64 * c_MiB);
    }
    return 0;
}
