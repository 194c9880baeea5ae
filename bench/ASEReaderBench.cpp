// Loads a 100,000-face textured torus with normals (about 40 MB of ASE text,
// written into the build folder by scripts/make_torus_ase.py on first run)
// into a Rendering::Mesh, and, in the same run, through assimp's importer with
// no post-processing. Each loader's peak memory is measured in a fresh
// process of this program (getrusage ru_maxrss after the load minus before).
//
// The ratio comes from loads of the two in alternation (medians), so that
// other work on a shared machine weighs on both alike.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <benchmark/benchmark.h>

#ifdef TABULA_HAVE_ASSIMP
#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#endif

#include <PeakMemory.h>
#include <Rendering/Mesh.h>

namespace
{

const std::string c_Model = std::string(TABULA_BENCH_BINARY_DIR) + "/torus100k.ase";
std::string g_Self;
double g_Ratio = 0;

long fileSize(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

bool makeModel()
{
    if (fileSize(c_Model) > 0)
        return true;
    std::string command = "python3 '" + std::string(TABULA_SOURCE_DIR) +
                          "/scripts/make_torus_ase.py' --faces 100000 --write-texture --output '" + c_Model + "'";
    return std::system(command.c_str()) == 0 && fileSize(c_Model) > 0;
}

bool loadWith(const std::string& loader)
{
    if (loader == "tabula")
    {
        Rendering::Mesh mesh(c_Model);
        return !mesh.getGeometries().empty();
    }
#ifdef TABULA_HAVE_ASSIMP
    if (loader == "assimp")
    {
        Assimp::Importer importer;
        return importer.ReadFile(c_Model, 0) != nullptr;
    }
#endif
    return false;
}

void run(benchmark::State& state, const std::string& loader)
{
    if (!makeModel())
    {
        state.SkipWithError("cannot write the torus model");
        return;
    }
    long bytes = fileSize(c_Model);
    std::streambuf* quiet = std::cout.rdbuf(nullptr);
    for (auto _ : state)
        if (!loadWith(loader))
        {
            state.SkipWithError("load failed");
            break;
        }
    std::cout.rdbuf(quiet);
    state.SetBytesProcessed(state.iterations() * bytes);
    const double peak = Bench::measureInChild(g_Self, "--peak", loader).m_PeakMiB;
    state.counters["file_MiB"] = bytes / 1048576.0;
    state.counters["peak_MiB"] = peak;
    state.counters["peak_per_file"] = peak / (bytes / 1048576.0);
}

void BM_TabulaASEReader(benchmark::State& state)
{
    run(state, "tabula");
}
BENCHMARK(BM_TabulaASEReader)->Unit(benchmark::kMillisecond)->MinTime(2.0);

#ifdef TABULA_HAVE_ASSIMP
void BM_AssimpImporter(benchmark::State& state)
{
    run(state, "assimp");
}
BENCHMARK(BM_AssimpImporter)->Unit(benchmark::kMillisecond)->MinTime(2.0);

double seconds(const std::string& loader)
{
    auto start = std::chrono::steady_clock::now();
    loadWith(loader);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One iteration loads the model with both, in turns that swap each time.
void BM_AlternatingRatio(benchmark::State& state)
{
    if (!makeModel())
    {
        state.SkipWithError("cannot write the torus model");
        return;
    }
    std::vector<double> tabula, assimp;
    std::streambuf* quiet = std::cout.rdbuf(nullptr);
    for (auto _ : state)
    {
        bool tabulaFirst = tabula.size() % 2 == 0;
        double first = seconds(tabulaFirst ? "tabula" : "assimp");
        double second = seconds(tabulaFirst ? "assimp" : "tabula");
        tabula.push_back(tabulaFirst ? first : second);
        assimp.push_back(tabulaFirst ? second : first);
    }
    std::cout.rdbuf(quiet);
    g_Ratio = median(assimp) / median(tabula);
    state.counters["tabula_ms"] = median(tabula) * 1e3;
    state.counters["assimp_ms"] = median(assimp) * 1e3;
    state.counters["ratio"] = g_Ratio;
}
BENCHMARK(BM_AlternatingRatio)->Unit(benchmark::kMillisecond)->Iterations(21);
#endif

} // namespace

int main(int argc, char** argv)
{
    g_Self = argv[0];
    if (argc == 3 && std::strcmp(argv[1], "--peak") == 0)
        return Bench::reportFreshLoad([&] { return loadWith(argv[2]); });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_Ratio > 0)
        std::printf("tabula is %.2f times as fast as assimp on this model (medians of alternating loads)\n", g_Ratio);
    return 0;
}
