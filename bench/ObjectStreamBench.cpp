// Writes and reads one category of 10,000 shortcuts through the object stream.
#include "store/Folder.h"
#include "store/ObjectStream.h"

#include <benchmark/benchmark.h>

#include <random>

using namespace lynkora;

namespace {

void Fill(TISFolder& folder, int count) {
    std::mt19937 rng(1);
    folder.FolderID = "FL00000001";
    folder.FolderName = "Benchmark category";
    folder.Descr = "Ten thousand shortcuts of realistic size";
    for (int i = 0; i < count; ++i) {
        TIShortcut& s = folder.Shortcuts.Add();
        s.Added = 40000.0 + (rng() % 5000) + (rng() % 86400) / 86400.0;
        if (i % 3 == 0)
            s.Access = s.Added + 3.25;
        if (i % 4 == 0)
            s.Verified = s.Added + 10.5;
        s.Count = static_cast<std::int32_t>(rng() % 300);
        s.Name = "Shortcut number " + std::to_string(i) + " about something";
        s.URL = "https://www.example" + std::to_string(rng() % 1000) + ".com/path/to/page-" +
                std::to_string(i) + ".html?ref=bookmarks";
        if (i % 2 == 0)
            s.Descr = "A description of the page that the user typed in, of moderate length.";
        if (i % 5 == 0) {
            s.Keywords.Add("news");
            s.Keywords.Add("tech");
        }
        if (i % 4 == 0)
            s.verResponse = "Verfication successful.";
    }
}

void BM_WriteCategory(benchmark::State& state) {
    TISFolder folder;
    Fill(folder, static_cast<int>(state.range(0)));
    std::string out;
    for (auto _ : state) {
        out.clear();
        ObjectStream::WriteObject(out, folder);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
    state.counters["stream_bytes"] = static_cast<double>(out.size());
}

void BM_ReadCategory(benchmark::State& state) {
    TISFolder folder;
    Fill(folder, static_cast<int>(state.range(0)));
    const std::string bytes = ObjectStream::WriteObject(folder);
    for (auto _ : state) {
        TISFolder back;
        ObjectStream::ReadObject(bytes, back);
        benchmark::DoNotOptimize(back.Shortcuts.Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

} // namespace

BENCHMARK(BM_WriteCategory)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCategory)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
