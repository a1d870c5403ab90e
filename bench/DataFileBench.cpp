// The data file with 100,000 shortcuts in 5,000 categories: open and load, save, compaction,
// and the usage write-back of one category.
#include "CollectionGenerator.h"

#include "store/Compaction.h"
#include "store/DataFile.h"
#include "store/FileReplace.h"
#include "store/Version.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <sys/resource.h>

using namespace lynkora;

namespace {

std::string BenchDir() {
    static const std::string dir = [] {
        auto d = std::filesystem::temp_directory_path() / "lynkora-bench";
        std::filesystem::create_directories(d);
        return d.string();
    }();
    return dir;
}

const std::string& BigFile() {
    static const std::string path = [] {
        const std::string p = BenchDir() + "/big.lyx";
        bench::GenerateCollection(p, {});
        return p;
    }();
    return path;
}

std::string FreshCopy(const std::string& name) {
    const std::string p = BenchDir() + "/" + name;
    std::filesystem::copy_file(BigFile(), p, std::filesystem::copy_options::overwrite_existing);
    return p;
}

void MaxRss(benchmark::State& state) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_Generate100k(benchmark::State& state) {
    for (auto _ : state)
        bench::GenerateCollection(BenchDir() + "/generated.lyx", {});
}

void OpenAndLoad(benchmark::State& state, bool direct) {
    const std::string path = FreshCopy(direct ? "open-direct.lyx" : "open-wc.lyx");
    std::size_t shortcuts = 0;
    for (auto _ : state) {
        TDataFile file(path, direct);
        file.CheckVersion(kProgramVersion);
        CategoryTree tree;
        file.LoadTree(tree);
        shortcuts = tree.ShortcutCount();
        state.PauseTiming();
        file.Close();
        state.ResumeTiming();
    }
    state.counters["shortcuts"] = static_cast<double>(shortcuts);
    MaxRss(state);
}

void BM_OpenAndLoadWorkingCopy(benchmark::State& state) { OpenAndLoad(state, false); }
void BM_OpenAndLoadDirect(benchmark::State& state) { OpenAndLoad(state, true); }

void BM_Save(benchmark::State& state) {
    const std::string path = FreshCopy("save.lyx");
    TDataFile file(path, false);
    CategoryTree tree;
    file.LoadTree(tree);
    for (auto _ : state) {
        tree.RootNode()->Folder().Descr = "saved";
        file.WriteCategory(*tree.RootNode());
        file.Save();
    }
    file.Close();
}

void BM_Compaction(benchmark::State& state) {
    const std::string path = FreshCopy("compact.lyx");
    for (auto _ : state)
        CompactDataFile(path);
}

void BM_WriteBackUsageOneCategory(benchmark::State& state) {
    const std::string path = FreshCopy("usage.lyx");
    TDataFile file(path, false);
    CategoryTree tree;
    file.LoadTree(tree);
    // A category deep in the tree with a typical number of shortcuts.
    CategoryNode* target = nullptr;
    for (CategoryNode* n : tree.PreOrder())
        if (n->Depth() >= 4 && n->Folder().Shortcuts.Count() >= 15)
            target = n;
    if (!target) {
        state.SkipWithError("no deep category");
        return;
    }
    for (auto _ : state) {
        TIShortcut& s = target->Folder().Shortcuts[0];
        ++s.Count;
        target->Folder().CountAccess();
        file.WriteBackUsage(*target);
    }
    state.counters["depth"] = target->Depth();
    file.Close();
}

} // namespace

BENCHMARK(BM_Generate100k)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_OpenAndLoadWorkingCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndLoadDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compaction)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteBackUsageOneCategory)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
