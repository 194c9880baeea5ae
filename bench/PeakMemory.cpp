#include <PeakMemory.h>

#include <chrono>
#include <cstdio>
#include <iostream>

#include <sys/resource.h>

namespace Bench
{

namespace
{
long maxRssKiB()
{
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
} // namespace

std::string childOutput(const std::string& command)
{
    FILE* child = popen(command.c_str(), "r");
    if (!child)
        return {};
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, child))
        output += buffer;
    return pclose(child) == 0 ? output : std::string();
}

FreshLoad measureInChild(const std::string& self, const std::string& mode, const std::string& arguments)
{
    FreshLoad result;
    const std::string output = childOutput("'" + self + "' " + mode + " " + arguments);
    if (std::sscanf(output.c_str(), "peak %lf seconds %lf", &result.m_PeakMiB, &result.m_Seconds) != 2)
        result = FreshLoad();
    return result;
}

int reportFreshLoad(const std::function<bool()>& load, const std::function<void()>& warmUp)
{
    std::streambuf* quiet = std::cout.rdbuf(nullptr);
    if (warmUp)
        warmUp();
    const long before = maxRssKiB();
    const auto start = std::chrono::steady_clock::now();
    const bool loaded = load();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long after = maxRssKiB();
    std::cout.rdbuf(quiet);
    std::printf("peak %.1f seconds %.6f\n", loaded ? (after - before) / 1024.0 : -1.0, loaded ? seconds : -1.0);
    return loaded ? 0 : 1;
}

} // namespace Bench
