// Opening a collection of 100,000 shortcuts in 5,000 categories, and one of a million in 50,000,
// in the main window (offscreen): the data file, the tree and the list of the root category.
#include "CollectionGenerator.h"
#include "OffscreenApp.h"

#include "companions/CompanionLibrary.h"
#include "mainwindow/MainWindow.h"
#include "settings/SystemEnvironment.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

using namespace lynkora;

namespace {

void BM_OpenInMainWindow(benchmark::State& state) {
    setenv("LYNKORA_NO_DIALOGS", "1", 1);
    bench::OffscreenApp();
    CompanionLibrary::SetDirectory(LYNKORA_BIN_DIR);
    const auto dir = std::filesystem::temp_directory_path() / "lynkora-bench-window";
    std::filesystem::create_directories(dir);
    bench::CollectionShape shape;
    shape.shortcuts = static_cast<int>(state.range(0));
    shape.categories = static_cast<int>(state.range(1));
    const std::string file = (dir / ("big" + std::to_string(shape.shortcuts) + ".lyx")).string();
    if (!std::filesystem::exists(file))
        bench::GenerateCollection(file, shape);
    Registry registry((dir / "Lynkora4.conf").string());
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

} // namespace

BENCHMARK(BM_OpenInMainWindow)->Args({100000, 5000})->Args({1000000, 50000})->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
