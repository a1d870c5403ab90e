// 2,000 checks, one after another, against a local server that answers after 20 ms: 80% 200,
// 10% 404, 5% 301 to a 200, 5% HEAD 405 then GET 200. The floor is 2,100 HEAD and 300 GET
// requests at 20 ms each: about 48 s.
#include "TestServers.h"

#include "store/CategoryTree.h"
#include "verify/Connectivity.h"
#include "verify/VerificationRun.h"
#include "verify/VerifyURL.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

using namespace lynkora;

namespace {

class Online : public ConnectivityProbe {
public:
    bool IsOffline(std::string&) const override { return false; }
};

void BM_Verify2000(benchmark::State& state) {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    test::TestServers servers;
    if (!servers.ok()) {
        state.SkipWithError("the test server did not start");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        CategoryTree tree;
        tree.SetRoot(std::make_unique<TISFolder>());
        for (int c = 0; c < 100; ++c) {
            auto f = std::make_unique<TISFolder>();
            f->FolderName = "c" + std::to_string(c);
            for (int s = 0; s < 20; ++s)
                f->Shortcuts.Add().URL = servers.Http("/bench/" + std::to_string(c * 20 + s));
            tree.AddChild(*tree.RootNode(), std::move(f));
        }
        Online online;
        TVerifyURL checker;
        checker.Probe = &online;
        VerificationRun run(tree, checker, online, [](CategoryNode&) {});
        state.ResumeTiming();
        run.VerifyEntireFile();
        state.PauseTiming();
        int good = 0;
        tree.ForEach([&](CategoryNode& n) {
            for (const auto& s : n.Folder().Shortcuts)
                good += s->VerState == vsGood;
        });
        state.counters["good"] = good;
        state.ResumeTiming();
    }
    state.counters["checks_per_s"] =
        benchmark::Counter(2000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_Verify2000)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK_MAIN();
