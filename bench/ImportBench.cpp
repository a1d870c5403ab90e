// The import confirmation and merge at scale: a preview of 100,000 links filled and shown on the
// offscreen platform, and a 100,000-shortcut data file merged into a 100,000-shortcut document.
#include "CollectionGenerator.h"

#include "exchange/ImportMerge.h"
#include "exchange/ImportTarget.h"
#include "exchange/PreviewReaders.h"
#include "exchange/ui/ConfirmDialog.h"
#include "store/DataFile.h"
#include "store/DataFileStorage.h"

#include "OffscreenApp.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

using namespace lynkora;

namespace {

QApplication& App() { return bench::OffscreenApp(); }

const std::filesystem::path& Dir() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / "lynkora-bench-import";
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

// The document and the file merged into it: 100,000 shortcuts in 1,750 categories each, drawn
// with other seeds, so some categories meet by name and depth and most shortcuts are new.
const std::string& Collection(unsigned seed) {
    static std::string paths[3];
    std::string& path = paths[seed];
    if (path.empty()) {
        path = (Dir() / ("collection-" + std::to_string(seed) + ".lyx")).string();
        bench::GenerateCollection(path, {100000, 1750, 6, seed});
    }
    return path;
}

void BM_ConfirmTree100000Links(benchmark::State& state) {
    App();
    PreviewEntry page(PreviewEntry::Kind::File, "links.html");
    std::vector<std::string> links;
    for (int i = 0; i < 100000; ++i)
        links.push_back("https://www.example" + std::to_string(i % 997) + ".com/page/" + std::to_string(i));
    FillLinkPreview(page, links);
    for (auto _ : state) {
        TfrmConfirm dialog(nullptr, {});
        dialog.show();
        dialog.Fill(page);
        QApplication::processEvents();
        benchmark::DoNotOptimize(dialog.ConfirmTree);
    }
}
BENCHMARK(BM_ConfirmTree100000Links)->Unit(benchmark::kMillisecond);

void BM_PreviewOf100000Shortcuts(benchmark::State& state) {
    const std::string& other = Collection(2);
    for (auto _ : state) {
        PreviewEntry preview(PreviewEntry::Kind::File, "other.lyx");
        LoadDataFileTree(other, preview);
        benchmark::DoNotOptimize(preview.Children().size());
    }
}
BENCHMARK(BM_PreviewOf100000Shortcuts)->Unit(benchmark::kMillisecond);

void BM_Merge100000Into100000(benchmark::State& state) {
    const std::string& base = Collection(1);
    PreviewEntry preview(PreviewEntry::Kind::File, "other.lyx");
    LoadDataFileTree(Collection(2), preview);
    const std::string doc = (Dir() / "document.lyx").string();
    std::size_t merged = 0, created = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::copy_file(base, doc, std::filesystem::copy_options::overwrite_existing);
        auto file = std::make_unique<TDataFile>(doc, false);
        CategoryTree tree;
        file->LoadTree(tree);
        state.ResumeTiming();
        FolderIdNumbers ids = CollectFolderIds(file->WorkStorage());
        ImportTarget target(tree, [&] { return ids.Next(); }, [&](CategoryNode& n) { file->WriteCategory(n); });
        const MergeCount count = MergeDataFile(preview, DataFileKind::Current, AllTicked, target);
        merged = count.shortcuts;
        created = count.newCategories;
        state.PauseTiming();
        file.reset();
        state.ResumeTiming();
    }
    state.counters["shortcuts"] = static_cast<double>(merged);
    state.counters["new categories"] = static_cast<double>(created);
}
BENCHMARK(BM_Merge100000Into100000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
