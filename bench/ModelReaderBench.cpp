// Loads the same 100,000-triangle textured torus written as binary glTF (.glb,
// picture inside) and as OBJ (with its .mtl and picture) by
// scripts/make_torus_ase.py into the build folder on first run, with Tabula's
// readers and, in the same run, with assimp's importer (no post-processing).
//
// Two figures per format, each a ratio assimp time / Tabula time:
// - repeated loads in one process (the benchmark loop): each load finds the
//   heap as the previous one left it;
// - the first load of the big torus in a fresh process of this program
//   (median of c_FreshRuns), as a game loads its models at start-up; the
//   child loads a 200-triangle torus of the same format first, so that
//   one-time start-up is left out.
// Each loader's peak memory is measured in a fresh process too, as the only
// load there (getrusage ru_maxrss after the load minus before), and given as
// a multiple of the file's size.
// The GLB's 64x64 picture is decoded by Tabula (an image is made of it) but
// only kept as bytes by assimp: Tabula does that extra work in both figures.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <benchmark/benchmark.h>

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <PeakMemory.h>
#include <Rendering/Mesh.h>

namespace
{

std::string g_Self;
std::map<std::string, std::pair<double, long>> g_Times; // loader/format -> seconds, loads
std::map<std::string, double> g_FreshSeconds;           // loader/format -> median first-load time
constexpr int c_FreshRuns = 7;

// The benchmark's torus, or (small) the 200-triangle one that a fresh
// process loads first, so that each library's one-time start-up (assimp
// registers its importers, for one) is not counted as the load's.
std::string model(const std::string& format, bool small = false)
{
    return std::string(TABULA_BENCH_BINARY_DIR) + (small ? "/torus200." : "/torus100k.") + format;
}

long fileSize(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

bool makeModel(const std::string& format, bool small = false)
{
    const std::string path = model(format, small);
    if (fileSize(path) > 0)
        return true;
    std::string command = "python3 '" + std::string(TABULA_SOURCE_DIR) + "/scripts/make_torus_ase.py' --faces " +
                          (small ? "200" : "100000") + " --write-texture --output '" + path + "' > /dev/null";
    return std::system(command.c_str()) == 0 && fileSize(path) > 0;
}

bool loadWith(const std::string& loader, const std::string& format, bool small = false)
{
    if (loader == "tabula")
    {
        Rendering::Mesh mesh(model(format, small));
        return !mesh.getGeometries().empty();
    }
    Assimp::Importer importer;
    return importer.ReadFile(model(format, small), 0) != nullptr;
}

void run(benchmark::State& state, const std::string& loader, const std::string& format)
{
    if (!makeModel(format) || !makeModel(format, true))
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
    const double peak = Bench::measureInChild(g_Self, "--peak", loader + " " + format).m_PeakMiB;
    std::vector<double> fresh;
    for (int run = 0; run < c_FreshRuns; ++run)
        fresh.push_back(Bench::measureInChild(g_Self, "--first-load", loader + " " + format).m_Seconds);
    std::sort(fresh.begin(), fresh.end());
    g_FreshSeconds[loader + "/" + format] = fresh[fresh.size() / 2];
    state.counters["fresh_ms"] = fresh[fresh.size() / 2] * 1e3;
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
        return Bench::reportFreshLoad([&] { return loadWith(argv[2], argv[3]); });
    if (argc == 4 && std::strcmp(argv[1], "--first-load") == 0)
        return Bench::reportFreshLoad([&] { return loadWith(argv[2], argv[3]); },
                                      [&] { loadWith(argv[2], argv[3], true); });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const char* format : {"glb", "obj"})
    {
        const auto& ours = g_Times["tabula/" + std::string(format)];
        const auto& theirs = g_Times["assimp/" + std::string(format)];
        if (ours.second > 0 && theirs.second > 0)
            std::printf("%s: tabula is %.2f times as fast as assimp in repeated loads\n", format,
                        (theirs.first / theirs.second) / (ours.first / ours.second));
        const double oursFresh = g_FreshSeconds["tabula/" + std::string(format)];
        const double theirsFresh = g_FreshSeconds["assimp/" + std::string(format)];
        if (oursFresh > 0 && theirsFresh > 0)
            std::printf("%s: tabula is %.2f times as fast as assimp in a first load (fresh process)\n", format,
                        theirsFresh / oursFresh);
    }
    return 0;
}
