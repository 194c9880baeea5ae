// Runs one memory shortage scenario of the image manager and reports on the
// standard output; the test reads the lines and the exit status.
//
//   ImageMemoryChild recover <images dir>  two images, a shortage they relieve,
//                                          then one they cannot
//   ImageMemoryChild empty   <images dir>  a shortage with no image registered
//   ImageMemoryChild nested  <images dir>  a shortage during which halving the
//                                          big image runs short itself
//
// The address space is limited for real, which needs a build without
// AddressSanitizer (see the test).
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include <sys/resource.h>

#include "Core/ImageManager.h"
#include "Rendering/Image.h"

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
