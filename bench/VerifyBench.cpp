// 2,000 checks, one after another, against a local server that answers after 20 ms: 80% 200,
// 10% 404, 5% 301 to a 200, 5% HEAD 405 then GET 200. The floor is 2,100 HEAD and 300 GET
// requests at 20 ms each: about 48 s.
#include "TestServers.h"

#include "store/CategoryTree.h"
#include "verify/Connectivity.h"
#include "verify/VerificationRun.h"
#include "verify/CheckPool.h"
#include "verify/VerifyURL.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <functional>
#include <sys/resource.h>

using namespace lynkora;

namespace {

class Online : public ConnectivityProbe {
public:
    bool IsOffline(std::string&) const override { return false; }
};

// 2,000 shortcuts in 100 categories of 20; the URL of shortcut n from the function.
void Build(CategoryTree& tree, const std::function<std::string(int)>& url) {
    tree.SetRoot(std::make_unique<TISFolder>());
    for (int c = 0; c < 100; ++c) {
        auto f = std::make_unique<TISFolder>();
        f->FolderName = "c" + std::to_string(c);
        for (int s = 0; s < 20; ++s)
            f->Shortcuts.Add().URL = url(c * 20 + s);
        tree.AddChild(*tree.RootNode(), std::move(f));
    }
}

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
        Build(tree, [&](int n) { return servers.Http("/bench/" + std::to_string(n)); });
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

// 2,000 checks with range(0) connections over range(1) hosts (the URLs go round the hosts).
void BM_VerifyParallel(benchmark::State& state) {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    static test::ServerProcess server(std::string(LYNKORA_SOURCE_DIR) + "/bench/loopback_hosts_server.py", {"64"});
    const int port = server.Info().value("port").toInt();
    if (port == 0) {
        state.SkipWithError("the loopback server did not start");
        return;
    }
    const int connections = static_cast<int>(state.range(0));
    const int hosts = static_cast<int>(state.range(1));
    int good = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CategoryTree tree;
        Build(tree, [&](int n) {
            return "http://127.0.0." + std::to_string(1 + n % hosts) + ":" + std::to_string(port) + "/bench/" +
                   std::to_string(n);
        });
        Online online;
        TVerifyURL serial;
        serial.Probe = &online;
        TVerifyPool pool;
        pool.Connections = connections;
        VerificationRun run(tree, serial, online, [](CategoryNode&) {});
        run.SetConcurrentChecker(&pool);
        run.Connections = connections;
        state.ResumeTiming();
        run.VerifyEntireFile();
        state.PauseTiming();
        good = 0;
        tree.ForEach([&](CategoryNode& n) {
            for (const auto& s : n.Folder().Shortcuts)
                good += s->VerState == vsGood;
        });
        state.ResumeTiming();
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["good"] = good;
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    state.counters["checks_per_s"] =
        benchmark::Counter(2000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_VerifyParallel)
    ->ArgNames({"connections", "hosts"})
    ->Args({1, 64})
    ->Args({8, 64})
    ->Args({16, 64})
    ->Args({32, 64})
    ->Args({32, 1})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(BM_Verify2000)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK_MAIN();
