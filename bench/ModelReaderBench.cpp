// Loads the same 100,000-triangle textured torus written as binary glTF (.glb,
// picture inside) and as OBJ (with its .mtl and picture) by
// scripts/make_torus_ase.py into the build folder on first run, with Tabula's
// readers and, in the same run, with assimp's importer (no post-processing).
//
// Two figures per format, each a ratio assimp time / Tabula time:
// - repeated loads for c_RepeatSeconds, each loader in a process of its own
//   (one child of this program per benchmark, after one load of a small
//   torus): each load finds the heap as the previous one left it, and no
//   loader finds it as another loader left it. glibc's malloc adapts its
//   thresholds to what a process has freed, so loaders sharing a process
//   would time each other's history (one assimp load of the GLB makes
//   Tabula's repeated GLB loads about three times as fast);
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
#include <ctime>
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
struct Repeated
{
    long m_Loads = 0;
    double m_Seconds = 0; // wall time of all loads
    double m_Cpu = 0;     // processor time of all loads
};
std::map<std::string, Repeated> g_Repeated; // loader/format
constexpr double c_RepeatSeconds = 2.0;
std::map<std::string, double> g_FreshSeconds; // loader/format -> median first-load time
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
    Repeated& repeated = g_Repeated[loader + "/" + format];
    for (auto _ : state)
    {
        const std::string output = Bench::childOutput("'" + g_Self + "' --repeat " + loader + " " + format);
        if (std::sscanf(output.c_str(), "loads %ld seconds %lf cpu %lf", &repeated.m_Loads, &repeated.m_Seconds,
                        &repeated.m_Cpu) != 3 ||
            repeated.m_Loads <= 0)
        {
            repeated = Repeated();
            state.SkipWithError("load failed");
            break;
        }
        state.SetIterationTime(repeated.m_Seconds / repeated.m_Loads);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["loads"] = double(repeated.m_Loads);
    state.counters["cpu_ms"] = repeated.m_Loads > 0 ? repeated.m_Cpu / repeated.m_Loads * 1e3 : -1;
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
// One iteration is one child's repeated loads; its time is theirs per load.
BENCHMARK(BM_TabulaGLB)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_AssimpGLB)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_TabulaOBJ)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_AssimpOBJ)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

// Child side of the repeated figure: loads for c_RepeatSeconds (at least 5
// loads) after one load of the small torus, and prints the totals.
int repeatLoads(const std::string& loader, const std::string& format)
{
    std::streambuf* quiet = std::cout.rdbuf(nullptr);
    loadWith(loader, format, true);
    Repeated repeated;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpu = std::clock();
    bool loaded = true;
    while (loaded && (repeated.m_Loads < 5 || repeated.m_Seconds < c_RepeatSeconds))
    {
        loaded = loadWith(loader, format);
        ++repeated.m_Loads;
        repeated.m_Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    repeated.m_Cpu = double(std::clock() - cpu) / CLOCKS_PER_SEC;
    std::cout.rdbuf(quiet);
    if (!loaded)
        return 1;
    std::printf("loads %ld seconds %.6f cpu %.6f\n", repeated.m_Loads, repeated.m_Seconds, repeated.m_Cpu);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    g_Self = argv[0];
    if (argc == 4 && std::strcmp(argv[1], "--peak") == 0)
        return Bench::reportFreshLoad([&] { return loadWith(argv[2], argv[3]); });
    if (argc == 4 && std::strcmp(argv[1], "--repeat") == 0)
        return repeatLoads(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "--first-load") == 0)
        return Bench::reportFreshLoad([&] { return loadWith(argv[2], argv[3]); },
                                      [&] { loadWith(argv[2], argv[3], true); });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const char* format : {"glb", "obj"})
    {
        const Repeated& ours = g_Repeated["tabula/" + std::string(format)];
        const Repeated& theirs = g_Repeated["assimp/" + std::string(format)];
        if (ours.m_Loads > 0 && theirs.m_Loads > 0)
            std::printf("%s: tabula is %.2f times as fast as assimp in repeated loads (%.2f by processor time)\n",
                        format, (theirs.m_Seconds / theirs.m_Loads) / (ours.m_Seconds / ours.m_Loads),
                        (theirs.m_Cpu / theirs.m_Loads) / (ours.m_Cpu / ours.m_Loads));
        const double oursFresh = g_FreshSeconds["tabula/" + std::string(format)];
        const double theirsFresh = g_FreshSeconds["assimp/" + std::string(format)];
        if (oursFresh > 0 && theirsFresh > 0)
            std::printf("%s: tabula is %.2f times as fast as assimp in a first load (fresh process)\n", format,
                        theirsFresh / oursFresh);
    }
    return 0;
}
