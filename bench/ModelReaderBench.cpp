// Loads textured tori written as binary glTF (.glb, picture inside) and as
// OBJ (with its .mtl and picture) by scripts/make_torus_ase.py at build time,
// with Tabula's readers and, in the same run, with assimp's importer (no
// post-processing): one of 100,000 triangles and a large one of 180,000 over
// 90,653 vertices, which Tabula splits into geometries of at most 65,536.
//
// Two figures per model and format, each a ratio assimp time / Tabula time:
// - repeated loads for c_RepeatSeconds, each loader in a process of its own
//   (one child of this program per benchmark, after one load of a small
//   torus): each load finds the heap as the previous one left it, and no
//   loader finds it as another loader left it. glibc's malloc adapts its
//   thresholds to what a process has freed, so loaders sharing a process
//   would time each other's history (one assimp load of the GLB makes
//   Tabula's repeated GLB loads about three times as fast);
// - the same repeated loads with freed memory kept in the process
//   (c_KeptHeap: glibc's trim and mmap thresholds set high for that child
//   alone). By default glibc hands a freed heap top back to the system once
//   it exceeds twice the largest block freed so far, and each load then
//   writes fresh pages; on a virtual machine a fresh page costs microseconds.
//   A game that loads and frees big models over and over can keep them the
//   same way (see the README);
// - the first load in a fresh process of this program (median of
//   c_FreshRuns), as a game loads its models at start-up; the child loads a
//   200-triangle torus of the same format first, so that one-time start-up
//   is left out.
// Each loader's peak memory is measured in a fresh process too, as the only
// load there (getrusage ru_maxrss after the load minus before), and given as
// a multiple of the file's size.
// The GLB's 64x64 picture is decoded by Tabula (an image is made of it) but
// only kept as bytes by assimp: Tabula does that extra work in both figures.
//
// `ModelReaderBench --count <tabula|assimp> <glb|obj> <torus|large>` loads
// the small torus, then the model once inside tabula_bench_counted_load():
// bench/callgrind_loads.sh counts the instructions of that call alone.

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
std::map<std::string, Repeated> g_Repeated; // loader/format/model
constexpr double c_RepeatSeconds = 2.0;
std::map<std::string, Repeated> g_Kept; // the same with freed memory kept
constexpr const char* c_KeptHeap =
    "GLIBC_TUNABLES=glibc.malloc.trim_threshold=268435456:glibc.malloc.mmap_threshold=33554432";
std::map<std::string, double> g_FreshSeconds; // loader/format/model -> median first-load time
constexpr int c_FreshRuns = 7;

// A model the build wrote: "torus" (100,000 triangles), "large" (180,000) or
// "small" (200, loaded first by each child so that each library's one-time
// start-up, such as assimp registering its importers, is not counted).
std::string model(const std::string& format, const std::string& size)
{
    const char* faces = size == "large" ? "180000" : size == "small" ? "200" : "100000";
    return std::string(TABULA_BENCH_BINARY_DIR) + "/torus" + faces + "." + format;
}

long fileSize(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

bool loadWith(const std::string& loader, const std::string& path)
{
    if (loader == "tabula")
    {
        Rendering::Mesh mesh(path);
        return !mesh.getGeometries().empty();
    }
    Assimp::Importer importer;
    return importer.ReadFile(path, 0) != nullptr;
}

} // namespace

// The one load callgrind counts (see bench/callgrind_loads.sh).
extern "C" __attribute__((noinline)) bool tabula_bench_counted_load(const char* loader, const char* path)
{
    return loadWith(loader, path);
}

namespace
{

// Runs one child's repeated loads; false (and `into` cleared) when it failed.
bool repeatInChild(const std::string& command, Repeated& into)
{
    const std::string output = Bench::childOutput(command);
    if (std::sscanf(output.c_str(), "loads %ld seconds %lf cpu %lf", &into.m_Loads, &into.m_Seconds, &into.m_Cpu) ==
            3 &&
        into.m_Loads > 0)
        return true;
    into = Repeated();
    return false;
}

void run(benchmark::State& state, const std::string& loader, const std::string& format, const std::string& size)
{
    const long bytes = fileSize(model(format, size));
    if (bytes <= 0 || fileSize(model(format, "small")) <= 0)
    {
        state.SkipWithError("the torus models are missing: build the reader_bench_models target");
        return;
    }
    const std::string args = loader + " " + format + " " + size;
    const std::string key = loader + "/" + format + "/" + size;
    Repeated& repeated = g_Repeated[key];
    Repeated& kept = g_Kept[key];
    for (auto _ : state)
    {
        if (!repeatInChild("'" + g_Self + "' --repeat " + args, repeated) ||
            !repeatInChild(std::string(c_KeptHeap) + " '" + g_Self + "' --repeat " + args, kept))
        {
            state.SkipWithError("load failed");
            break;
        }
        state.SetIterationTime(repeated.m_Seconds / repeated.m_Loads);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["loads"] = double(repeated.m_Loads);
    state.counters["cpu_ms"] = repeated.m_Loads > 0 ? repeated.m_Cpu / repeated.m_Loads * 1e3 : -1;
    state.counters["kept_ms"] = kept.m_Loads > 0 ? kept.m_Seconds / kept.m_Loads * 1e3 : -1;
    const double peak = Bench::measureInChild(g_Self, "--peak", args).m_PeakMiB;
    std::vector<double> fresh;
    for (int run = 0; run < c_FreshRuns; ++run)
        fresh.push_back(Bench::measureInChild(g_Self, "--first-load", args).m_Seconds);
    std::sort(fresh.begin(), fresh.end());
    g_FreshSeconds[loader + "/" + format + "/" + size] = fresh[fresh.size() / 2];
    state.counters["fresh_ms"] = fresh[fresh.size() / 2] * 1e3;
    state.counters["file_MiB"] = bytes / 1048576.0;
    state.counters["peak_MiB"] = peak;
    state.counters["peak_per_file"] = peak / (bytes / 1048576.0);
}

// One iteration is one child's repeated loads; its time is theirs per load.
#define TABULA_MODEL_BENCHMARK(Name, loader, format, size)                                                             \
    void Name(benchmark::State& state)                                                                                 \
    {                                                                                                                  \
        run(state, loader, format, size);                                                                              \
    }                                                                                                                  \
    BENCHMARK(Name)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime()
TABULA_MODEL_BENCHMARK(BM_TabulaGLB, "tabula", "glb", "torus");
TABULA_MODEL_BENCHMARK(BM_AssimpGLB, "assimp", "glb", "torus");
TABULA_MODEL_BENCHMARK(BM_TabulaOBJ, "tabula", "obj", "torus");
TABULA_MODEL_BENCHMARK(BM_AssimpOBJ, "assimp", "obj", "torus");
TABULA_MODEL_BENCHMARK(BM_TabulaLargeGLB, "tabula", "glb", "large");
TABULA_MODEL_BENCHMARK(BM_AssimpLargeGLB, "assimp", "glb", "large");
TABULA_MODEL_BENCHMARK(BM_TabulaLargeOBJ, "tabula", "obj", "large");
TABULA_MODEL_BENCHMARK(BM_AssimpLargeOBJ, "assimp", "obj", "large");

// Child side of the repeated figure: loads for c_RepeatSeconds (at least 5
// loads) after one load of the small torus, and prints the totals.
int repeatLoads(const std::string& loader, const std::string& format, const std::string& size)
{
    std::streambuf* quiet = std::cout.rdbuf(nullptr);
    loadWith(loader, model(format, "small"));
    Repeated repeated;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpu = std::clock();
    bool loaded = true;
    while (loaded && (repeated.m_Loads < 5 || repeated.m_Seconds < c_RepeatSeconds))
    {
        loaded = loadWith(loader, model(format, size));
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

// Child side of the instruction count: the small torus, then one counted load.
int countedLoad(const std::string& loader, const std::string& format, const std::string& size)
{
    std::streambuf* quiet = std::cout.rdbuf(nullptr);
    loadWith(loader, model(format, "small"));
    const bool loaded = tabula_bench_counted_load(loader.c_str(), model(format, size).c_str());
    std::cout.rdbuf(quiet);
    return loaded ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    g_Self = argv[0];
    if (argc == 5)
    {
        const std::string mode = argv[1], loader = argv[2], format = argv[3], size = argv[4];
        const std::string path = model(format, size);
        if (mode == "--peak")
            return Bench::reportFreshLoad([&] { return loadWith(loader, path); });
        if (mode == "--repeat")
            return repeatLoads(loader, format, size);
        if (mode == "--first-load")
            return Bench::reportFreshLoad([&] { return loadWith(loader, path); },
                                          [&] { loadWith(loader, model(format, "small")); });
        if (mode == "--count")
            return countedLoad(loader, format, size);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const char* size : {"torus", "large"})
        for (const char* format : {"glb", "obj"})
        {
            const std::string key = std::string(format) + "/" + size;
            const Repeated& ours = g_Repeated["tabula/" + key];
            const Repeated& theirs = g_Repeated["assimp/" + key];
            const Repeated& oursKept = g_Kept["tabula/" + key];
            const Repeated& theirsKept = g_Kept["assimp/" + key];
            auto perLoad = [](const Repeated& r) { return r.m_Seconds / r.m_Loads; };
            if (ours.m_Loads > 0 && theirs.m_Loads > 0 && oursKept.m_Loads > 0 && theirsKept.m_Loads > 0)
                std::printf("%s %s: tabula is %.2f times as fast as assimp in repeated loads (%.2f by processor "
                            "time), %.2f with freed memory kept\n",
                            size, format, perLoad(theirs) / perLoad(ours),
                            (theirs.m_Cpu / theirs.m_Loads) / (ours.m_Cpu / ours.m_Loads),
                            perLoad(theirsKept) / perLoad(oursKept));
            const double oursFresh = g_FreshSeconds["tabula/" + key];
            const double theirsFresh = g_FreshSeconds["assimp/" + key];
            if (oursFresh > 0 && theirsFresh > 0)
                std::printf("%s %s: tabula is %.2f times as fast as assimp in a first load (fresh process)\n", size,
                            format, theirsFresh / oursFresh);
        }
    return 0;
}
