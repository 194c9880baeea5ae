// Loads the same 100,000-triangle textured torus written as binary glTF (.glb,
// picture inside) and as OBJ (with its .mtl and picture) by
// scripts/make_torus_ase.py into the build folder on first run, with Tabula's
// readers and, in the same run, with assimp's importer (no post-processing).
// Each loader's peak memory is measured in a fresh process of this program
// (getrusage ru_maxrss after the load minus before) and given as a multiple
// of the file's size.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>

#include <benchmark/benchmark.h>

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <Rendering/Mesh.h>

namespace
{

std::string g_Self;
std::map<std::string, std::pair<double, long>> g_Times; // loader/format -> seconds, loads

std::string model(const std::string& format)
{
    return std::string(TABULA_BENCH_BINARY_DIR) + "/torus100k." + format;
}

long fileSize(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

bool makeModel(const std::string& format)
{
    if (fileSize(model(format)) > 0)
        return true;
    std::string command = "python3 '" + std::string(TABULA_SOURCE_DIR) +
                          "/scripts/make_torus_ase.py' --faces 100000 --write-texture --output '" + model(format) +
                          "' > /dev/null";
    return std::system(command.c_str()) == 0 && fileSize(model(format)) > 0;
}

bool loadWith(const std::string& loader, const std::string& format)
{
    if (loader == "tabula")
    {
        Rendering::Mesh mesh(model(format));
        return !mesh.getGeometries().empty();
    }
    Assimp::Importer importer;
    return importer.ReadFile(model(format), 0) != nullptr;
}

double peakMiB(const std::string& loader, const std::string& format)
{
    std::string command = "'" + g_Self + "' --peak " + loader + " " + format;
    FILE* child = popen(command.c_str(), "r");
    if (!child)
        return -1;
    double mib = -1;
    char line[256];
    while (std::fgets(line, sizeof line, child))
        std::sscanf(line, "peak %lf", &mib);
    pclose(child);
    return mib;
}

void run(benchmark::State& state, const std::string& loader, const std::string& format)
{
    if (!makeModel(format))
    {
        state.SkipWithError("cannot write the torus model");
        return;
    }
    const long bytes = fileSize(model(format));
    std::streambuf* quiet = std::cout.rdbuf(nullptr);
    auto& [seconds, loads] = g_Times[loader + "/" + format];
    for (auto _ : state)
    {
        auto start = std::chrono::steady_clock::now();
        bool loaded = loadWith(loader, format);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++loads;
        if (!loaded)
        {
            state.SkipWithError("load failed");
            break;
        }
    }
    std::cout.rdbuf(quiet);
    state.SetBytesProcessed(state.iterations() * bytes);
    const double peak = peakMiB(loader, format);
    state.counters["file_MiB"] = bytes / 1048576.0;
    state.counters["peak_MiB"] = peak;
    state.counters["peak_per_file"] = peak / (bytes / 1048576.0);
}

void BM_TabulaGLB(benchmark::State& state)
{
    run(state, "tabula", "glb");
}
void BM_AssimpGLB(benchmark::State& state)
{
    run(state, "assimp", "glb");
}
void BM_TabulaOBJ(benchmark::State& state)
{
    run(state, "tabula", "obj");
}
void BM_AssimpOBJ(benchmark::State& state)
{
    run(state, "assimp", "obj");
}
BENCHMARK(BM_TabulaGLB)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_AssimpGLB)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_TabulaOBJ)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_AssimpOBJ)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    g_Self = argv[0];
    if (argc == 4 && std::strcmp(argv[1], "--peak") == 0)
    {
        std::streambuf* quiet = std::cout.rdbuf(nullptr);
        long before = 0, after = 0;
        rusage usage;
        getrusage(RUSAGE_SELF, &usage);
        before = usage.ru_maxrss;
        bool loaded = loadWith(argv[2], argv[3]);
        getrusage(RUSAGE_SELF, &usage);
        after = usage.ru_maxrss;
        std::cout.rdbuf(quiet);
        std::printf("peak %.1f\n", loaded ? (after - before) / 1024.0 : -1.0);
        return loaded ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const char* format : {"glb", "obj"})
    {
        const auto& ours = g_Times["tabula/" + std::string(format)];
        const auto& theirs = g_Times["assimp/" + std::string(format)];
        if (ours.second > 0 && theirs.second > 0)
            std::printf("%s: tabula is %.2f times as fast as assimp\n", format,
                        (theirs.first / theirs.second) / (ours.first / ours.second));
    }
    return 0;
}
