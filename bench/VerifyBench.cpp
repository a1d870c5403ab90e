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

#include <QJsonDocument>
#include <QJsonObject>

#include <benchmark/benchmark.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

// The asyncio server on 127.0.0.1 ... 127.0.0.64, for the life of the object.
class LoopbackHosts {
public:
    LoopbackHosts() {
        const std::string script = std::string(LYNKORA_SOURCE_DIR) + "/bench/loopback_hosts_server.py";
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            ::close(in[1]);
            ::close(out[0]);
            ::execl("/usr/bin/python3", "python3", script.c_str(), "64", nullptr);
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        m_stdin = in[1];
        std::string line;
        char c;
        while (::read(out[0], &c, 1) == 1 && c != '\n')
            line.push_back(c);
        ::close(out[0]);
        port = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object().value("port").toInt();
    }
    ~LoopbackHosts() {
        if (m_stdin >= 0)
            ::close(m_stdin);
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    int port = 0;

private:
    pid_t m_pid = -1;
    int m_stdin = -1;
};

// 2,000 checks with range(0) connections over range(1) hosts (the URLs go round the hosts).
void BM_VerifyParallel(benchmark::State& state) {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    static LoopbackHosts server;
    if (server.port == 0) {
        state.SkipWithError("the loopback server did not start");
        return;
    }
    const int connections = static_cast<int>(state.range(0));
    const int hosts = static_cast<int>(state.range(1));
    int good = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CategoryTree tree;
        tree.SetRoot(std::make_unique<TISFolder>());
        for (int c = 0; c < 100; ++c) {
            auto f = std::make_unique<TISFolder>();
            f->FolderName = "c" + std::to_string(c);
            for (int s = 0; s < 20; ++s) {
                const int n = c * 20 + s;
                f->Shortcuts.Add().URL = "http://127.0.0." + std::to_string(1 + n % hosts) + ":" +
                                         std::to_string(server.port) + "/bench/" + std::to_string(n);
            }
            tree.AddChild(*tree.RootNode(), std::move(f));
        }
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
