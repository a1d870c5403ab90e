// A category of 20,000 and one of 100,000 shortcuts in the list: filling it (with the sort that
// follows), sorting it by name and by URL, selecting all of it and scrolling through it a page
// at a time, in a details view set up as the window's, on the offscreen platform.
#include "mainwindow/ShortcutListModel.h"

#include "OffscreenApp.h"

#include <QApplication>
#include <QScrollBar>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <random>

using namespace lynkora;

namespace {

QApplication& App() { return bench::OffscreenApp(); }

TISFolder& Category(int size) {
    static std::map<int, std::unique_ptr<TISFolder>> made;
    std::unique_ptr<TISFolder>& folder = made[size];
    if (!folder) {
        folder = std::make_unique<TISFolder>();
        TISFolder* f = folder.get();
        std::mt19937 rng(5);
        const char* words[] = {"news", "linux", "garden", "Recipe", "travel", "music", "Review", "docs"};
        for (int i = 0; i < size; ++i) {
            TIShortcut& s = f->Shortcuts.Add();
            s.Name = std::string(words[rng() % 8]) + " " + words[rng() % 8] + " " + std::to_string(rng() % 100000);
            s.URL = "https://www.example" + std::to_string(rng() % 1000) + ".com/" + words[rng() % 8] + "/" + std::to_string(i);
            s.Count = static_cast<std::int32_t>(rng() % 500);
            s.Added = 45000 + rng() % 1000;
        }
    }
    return *folder;
}

// The details view as the window sets it up, filled with the category when a size is given.
struct DetailsView {
    explicit DetailsView(int size = 0) {
        view.setModel(&model);
        view.setRootIsDecorated(false);
        view.setUniformRowHeights(true);
        view.setSelectionMode(QAbstractItemView::ExtendedSelection);
        view.resize(800, 600);
        view.show();
        if (size > 0) {
            model.FillList(&Category(size));
            QApplication::processEvents();
        }
    }
    QApplication& app = App(); // before the widgets
    ShortcutListModel model;
    QTreeView view;
};

void BM_FillList(benchmark::State& state) {
    DetailsView details;
    for (auto _ : state) {
        details.model.FillList(&Category(static_cast<int>(state.range(0))));
        QApplication::processEvents();
    }
}

void BM_SortList(benchmark::State& state) {
    DetailsView details(static_cast<int>(state.range(0)));
    const int order = static_cast<int>(state.range(1));
    for (auto _ : state) {
        details.model.SortList(order);
        QApplication::processEvents();
        state.PauseTiming();
        details.model.SortList(order + 1); // back to another order, outside the timing
        state.ResumeTiming();
    }
}

// Ctrl+A on the whole category, painted.
void BM_SelectAll(benchmark::State& state) {
    DetailsView details(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        details.view.selectAll();
        details.view.viewport()->repaint();
        state.PauseTiming();
        details.view.clearSelection();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

// One page further down, painted: the time of a step of the scroll bar, anywhere in the list.
void BM_ScrollPage(benchmark::State& state) {
    DetailsView details(static_cast<int>(state.range(0)));
    QScrollBar* bar = details.view.verticalScrollBar();
    for (auto _ : state) {
        const int next = bar->value() + bar->pageStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        details.view.viewport()->repaint();
    }
}

} // namespace

BENCHMARK(BM_FillList)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortList)->ArgsProduct({{20000, 100000}, {200, 202}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectAll)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollPage)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
