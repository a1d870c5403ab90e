// The duplicate scan and Find next over a collection held in memory.
#include "ReferenceDuplicateScan.h"
#include "store/CategoryTree.h"
#include "tools/DuplicateScan.h"
#include "tools/Find.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

using namespace lynkora;

// `shortcuts` spread over `categories` nested up to six levels; one in ten takes the URL of an
// earlier shortcut, half of those with the letters' case or a trailing "/" changed.
void Fill(CategoryTree& tree, int shortcuts, int categories) {
    std::mt19937 rng(7);
    auto folder = [](std::string name) {
        auto f = std::make_unique<TISFolder>();
        f->FolderName = std::move(name);
        return f;
    };
    std::vector<CategoryNode*> nodes{&tree.SetRoot(folder("My Internet Shortcuts"))};
    std::vector<int> depth{0};
    for (int c = 1; c < categories; ++c) {
        std::size_t parent = rng() % nodes.size();
        if (depth[parent] >= 6)
            parent = 0;
        nodes.push_back(&tree.AddChild(*nodes[parent], folder("Category " + std::to_string(c))));
        depth.push_back(depth[parent] + 1);
    }
    std::vector<std::string> urls;
    urls.reserve(static_cast<std::size_t>(shortcuts));
    for (int i = 0; i < shortcuts; ++i) {
        std::string url;
        if (!urls.empty() && rng() % 10 == 0) {
            url = urls[rng() % urls.size()];
            if (rng() % 4 == 0)
                url[8] = static_cast<char>(std::toupper(static_cast<unsigned char>(url[8])));
            else if (rng() % 4 == 0 && url.back() != '/')
                url += '/';
        } else {
            url = "https://www.example" + std::to_string(rng() % 5000) + ".com/page/" + std::to_string(i) + ".html";
        }
        TIShortcut& s = nodes[rng() % nodes.size()]->Folder().Shortcuts.Add();
        s.Name = "shortcut number " + std::to_string(i);
        s.URL = url;
        s.Descr = "a description of everyday length for shortcut " + std::to_string(i);
        s.Keywords.Add("news");
        s.Keywords.Add("linux");
        urls.push_back(std::move(url));
    }
}

// Before anything is measured: the one-pass scan gives the reference's groups on a sample.
bool SameAsReference() {
    CategoryTree fast, slow;
    Fill(fast, 5000, 300);
    Fill(slow, 5000, 300);
    const bool same = test::Describe(ScanDuplicates(fast)) == test::Describe(test::ReferenceScan(slow));
    std::fprintf(stderr, "duplicate scan of 5,000 shortcuts %s the reference\n", same ? "matches" : "DIFFERS FROM");
    return same;
}

void BM_DuplicateScan(benchmark::State& state) {
    CategoryTree tree;
    Fill(tree, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::size_t groups = 0;
    for (auto _ : state) {
        groups = ScanDuplicates(tree).size();
        state.PauseTiming();
        ClearIgnoreDup(tree);
        state.ResumeTiming();
    }
    state.counters["groups"] = static_cast<double>(groups);
}
BENCHMARK(BM_DuplicateScan)->Args({100000, 1750})->Args({100000, 5000})->Unit(benchmark::kMillisecond);

void BM_FindNextNoMatch(benchmark::State& state) {
    CategoryTree tree;
    Fill(tree, static_cast<int>(state.range(0)), 1750);
    const int searchIn = static_cast<int>(state.range(1));
    for (auto _ : state) {
        TSearchOptions o;
        o.FindText = "Nowhere To Be Found";
        o.SearchIn = searchIn;
        SearchMatch m;
        benchmark::DoNotOptimize(SearchFrom(o, tree, m));
    }
}
BENCHMARK(BM_FindNextNoMatch)->Args({100000, sfNames})->Args({100000, sfAll})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!SameAsReference())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
