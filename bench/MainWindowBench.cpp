// Opening a collection of 100,000 shortcuts in 5,000 categories, and one of a million in 50,000,
// in the main window (offscreen): the data file, the tree and the list of the root category.
// Then a category of 100,000 shortcuts in the window: choosing it in the tree (the details view
// filled and painted), and Select all on it with what the window does on a new selection.
#include "CollectionGenerator.h"
#include "OffscreenApp.h"

#include "companions/CompanionLibrary.h"
#include "mainwindow/MainWindow.h"
#include "settings/SystemEnvironment.h"

#include <QApplication>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

using namespace lynkora;

namespace {

std::filesystem::path Dir() {
    setenv("LYNKORA_NO_DIALOGS", "1", 1);
    bench::OffscreenApp();
    CompanionLibrary::SetDirectory(LYNKORA_BIN_DIR);
    const auto dir = std::filesystem::temp_directory_path() / "lynkora-bench-window";
    std::filesystem::create_directories(dir);
    return dir;
}

std::string Collection(const bench::CollectionShape& shape) {
    const std::string file = (Dir() / ("big" + std::to_string(shape.shortcuts) + "-" +
                                       std::to_string(shape.categories) + ".lyx")).string();
    if (!std::filesystem::exists(file))
        bench::GenerateCollection(file, shape);
    return file;
}

void BM_OpenInMainWindow(benchmark::State& state) {
    bench::CollectionShape shape;
    shape.shortcuts = static_cast<int>(state.range(0));
    shape.categories = static_cast<int>(state.range(1));
    const std::string file = Collection(shape);
    Registry registry((Dir() / "Lynkora4.conf").string());
    SystemEnvironment environment;
    TfrmMainLynkora window(registry, environment);
    window.InitializeMainWindow("");
    window.show();
    for (auto _ : state) {
        window.OpenDocument(file);
        QApplication::processEvents();
        state.PauseTiming();
        window.CloseDocument();
        state.ResumeTiming();
    }
    state.counters["categories"] = static_cast<double>(shape.categories + 1);
}

// Two categories of about 100,000 shortcuts each: the root and its one child.
struct BigCategory {
    BigCategory() : registry((Dir() / "Lynkora4.conf").string()), window(registry, environment) {
        bench::CollectionShape shape;
        shape.shortcuts = 200000;
        shape.categories = 1;
        window.InitializeMainWindow("");
        window.show();
        window.OpenDocument(Collection(shape));
        QApplication::processEvents();
        list = window.findChild<QTreeView*>("ListView1");
    }
    CategoryNode& Child() { return window.Tree().RootNode()->Child(0); }

    Registry registry;
    SystemEnvironment environment;
    TfrmMainLynkora window;
    QTreeView* list = nullptr;
};

void BM_ChooseBigCategory(benchmark::State& state) {
    BigCategory big;
    CategoryNode* nodes[] = {&big.Child(), big.window.Tree().RootNode()};
    int turn = 0;
    for (auto _ : state) {
        big.window.SelectNode(nodes[turn++ % 2]);
        QApplication::processEvents();
    }
    state.counters["shortcuts"] = static_cast<double>(big.Child().Folder().Shortcuts.Count());
}

void BM_SelectAllInBigCategory(benchmark::State& state) {
    BigCategory big;
    big.window.SelectNode(&big.Child());
    QApplication::processEvents();
    for (auto _ : state) {
        big.window.Action("acSelectAll")->trigger();
        QApplication::processEvents();
        state.PauseTiming();
        big.list->clearSelection();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_ChooseBigCategory)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_SelectAllInBigCategory)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenInMainWindow)->Args({100000, 5000})->Args({1000000, 50000})->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
