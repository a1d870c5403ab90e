// A category of 20,000 shortcuts in the list: filling it (with the sort that follows) and
// sorting it by name and by URL, in a details view on the offscreen platform.
#include "mainwindow/ShortcutListModel.h"

#include "OffscreenApp.h"

#include <QApplication>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

using namespace lynkora;

namespace {

QApplication& App() { return bench::OffscreenApp(); }

TISFolder& Category() {
    static TISFolder* folder = [] {
        auto* f = new TISFolder;
        std::mt19937 rng(5);
        const char* words[] = {"news", "linux", "garden", "Recipe", "travel", "music", "Review", "docs"};
        for (int i = 0; i < 20000; ++i) {
            TIShortcut& s = f->Shortcuts.Add();
            s.Name = std::string(words[rng() % 8]) + " " + words[rng() % 8] + " " + std::to_string(rng() % 100000);
            s.URL = "https://www.example" + std::to_string(rng() % 1000) + ".com/" + words[rng() % 8] + "/" + std::to_string(i);
            s.Count = static_cast<std::int32_t>(rng() % 500);
            s.Added = 45000 + rng() % 1000;
        }
        return f;
    }();
    return *folder;
}

void BM_FillList20000(benchmark::State& state) {
    App();
    ShortcutListModel model;
    QTreeView view;
    view.setModel(&model);
    view.resize(800, 600);
    view.show();
    for (auto _ : state) {
        model.FillList(&Category());
        QApplication::processEvents();
    }
}

void BM_SortList20000(benchmark::State& state) {
    App();
    ShortcutListModel model;
    QTreeView view;
    view.setModel(&model);
    view.resize(800, 600);
    view.show();
    model.FillList(&Category());
    const int order = static_cast<int>(state.range(0));
    for (auto _ : state) {
        model.SortList(order);
        QApplication::processEvents();
        state.PauseTiming();
        model.SortList(order + 1); // back to another order, outside the timing
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_FillList20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortList20000)->Arg(200)->Arg(202)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
