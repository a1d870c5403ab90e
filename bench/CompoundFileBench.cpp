// A file of 5,000 storages each holding a 2 KB stream: creating it, then opening it,
// enumerating every storage and reading every stream - by the engine and, in the same run,
// by olefile on the same file.
#include "cfb/Storage.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

using namespace lynkora::cfb;

namespace {

const std::string& BenchFile() {
    static const std::string path =
        (std::filesystem::temp_directory_path() / "lynkora-bench-5000.cfb").string();
    return path;
}

void Build(const std::string& path) {
    auto root = CreateCompoundFile(path);
    auto folder = root.CreateStorage("ROOTFOLDER");
    const std::string data(2048, 'd');
    for (int i = 0; i < 5000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "FL%08X", i);
        folder.CreateStorage(name).CreateStream("DATA").Write(data);
    }
    root.Close();
}

void BM_Create5000Storages(benchmark::State& state) {
    for (auto _ : state)
        Build(BenchFile());
}

void BM_OpenEnumerateRead(benchmark::State& state) {
    Build(BenchFile());
    std::size_t total = 0;
    for (auto _ : state) {
        total = 0;
        auto root = OpenCompoundFile(BenchFile(), false);
        auto folder = root.OpenStorage("ROOTFOLDER");
        for (const auto& e : folder.Elements())
            total += folder.OpenStorage(e.name).OpenStream("DATA").ReadAll().size();
        root.Close();
    }
    state.counters["bytes_read"] = static_cast<double>(total);
}

void BM_OlefileOpenEnumerateRead(benchmark::State& state) {
    Build(BenchFile());
    const std::string script = std::string(LYNKORA_SOURCE_DIR) + "/bench/olefile_read_all.py";
    for (auto _ : state) {
        FILE* p = ::popen(("/usr/bin/python3 '" + script + "' '" + BenchFile() + "'").c_str(), "r");
        double seconds = 0;
        unsigned long total = 0;
        if (!p || std::fscanf(p, "%lf %lu", &seconds, &total) != 2) {
            if (p)
                ::pclose(p);
            state.SkipWithError("olefile is not available");
            return;
        }
        ::pclose(p);
        state.SetIterationTime(seconds);
        state.counters["bytes_read"] = static_cast<double>(total);
    }
}

} // namespace

BENCHMARK(BM_Create5000Storages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenEnumerateRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OlefileOpenEnumerateRead)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
