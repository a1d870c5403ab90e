// Many checks at once: the per-host and overall limits, the same results as one by one, and
// Abort all, Skip and going offline in the middle of a parallel run.
#include "TestServers.h"

#include "support/QtTestApp.h"

#include "verify/CheckPool.h"
#include "verify/MultiCheck.h"
#include "verify/StatusText.h"
#include "verify/VerificationRun.h"
#include "verify/VerifyURL.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>

using namespace lynkora;

namespace {

class Online : public ConnectivityProbe {
public:
    mutable int calls = 0;
    int offlineFrom = -1; // the call from which the network is gone
    bool IsOffline(std::string& text) const override {
        const bool off = offlineFrom >= 0 && calls++ >= offlineFrom;
        if (off)
            text = "The network is down";
        return off;
    }
};

class ParallelChecks : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        test::EnsureQtApp();
        servers = new test::TestServers;
    }
    static void TearDownTestSuite() {
        delete servers;
        servers = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(servers->ok()); }

    // Three categories under the root, each with the given paths.
    static void Build(CategoryTree& tree, const std::vector<std::string>& paths, int perCategory) {
        tree.SetRoot(std::make_unique<TISFolder>());
        for (int c = 0; c < 3; ++c) {
            auto f = std::make_unique<TISFolder>();
            f->FolderName = "c" + std::to_string(c);
            for (int s = 0; s < perCategory; ++s)
                f->Shortcuts.Add().URL = servers->Http(paths[(c * perCategory + s) % paths.size()]);
            CategoryNode& node = tree.AddChild(*tree.RootNode(), std::move(f));
            if (c == 2)
                tree.AddChild(node, std::make_unique<TISFolder>())
                    .Folder()
                    .Shortcuts.Add()
                    .URL = servers->Http("/ok");
        }
    }
    static std::map<std::string, std::pair<int, std::string>> Results(CategoryTree& tree) {
        std::map<std::string, std::pair<int, std::string>> r;
        int n = 0;
        tree.ForEach([&](CategoryNode& node) {
            for (const auto& s : node.Folder().Shortcuts)
                r[node.Text() + "#" + std::to_string(n++) + s->URL] = {s->VerState, s->verResponse};
        });
        return r;
    }

    static test::TestServers* servers;
};

test::TestServers* ParallelChecks::servers = nullptr;

} // namespace

TEST_F(ParallelChecks, NoMoreThanTwoPerHostAndTheOverallLimit) {
    std::mutex mutex;
    std::condition_variable cv;
    std::map<std::uint64_t, std::string> hostOf;
    std::map<std::string, int> now, most;
    int inFlight = 0, mostInFlight = 0, finished = 0;
    MultiCheck::Events events;
    events.started = [&](std::uint64_t t) {
        std::lock_guard lock(mutex);
        const int h = ++now[hostOf[t]];
        most[hostOf[t]] = std::max(most[hostOf[t]], h);
        mostInFlight = std::max(mostInFlight, ++inFlight);
    };
    events.finished = [&](std::uint64_t t, const HttpCheckResult& r) {
        std::lock_guard lock(mutex);
        --now[hostOf[t]];
        --inFlight;
        EXPECT_EQ(r.statusCode, 200);
        ++finished;
        cv.notify_all();
    };
    HttpCheckRequest base;
    {
        MultiCheck checks(3, 2, base, events);
        const std::string port = std::to_string(servers->http);
        for (int i = 0; i < 24; ++i) {
            const std::string host = i % 2 ? "127.0.0.1" : "localhost";
            {
                std::lock_guard lock(mutex);
                hostOf[static_cast<std::uint64_t>(i)] = host;
            }
            checks.Submit(static_cast<std::uint64_t>(i), "http://" + host + ":" + port + "/slow?ms=40");
        }
        std::unique_lock lock(mutex);
        ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(30), [&] { return finished == 24; }));
    }
    EXPECT_LE(most["127.0.0.1"], 2);
    EXPECT_LE(most["localhost"], 2);
    EXPECT_LE(mostInFlight, 3);
    EXPECT_GE(mostInFlight, 2);
    EXPECT_EQ(MultiCheck::HostOf("http://WWW.Example.org:81/a"), "www.example.org");
}

TEST_F(ParallelChecks, TheSameResultsWithOneOrSixteenConnections) {
    const std::vector<std::string> paths = {"/ok", "/notfound", "/head405", "/redirect?to=/ok", "/teapot",
                                            "/loop", "/slow?ms=20", "/query?a=1&b=2"};
    std::map<std::string, std::pair<int, std::string>> first;
    for (int connections : {1, 16}) {
        CategoryTree tree;
        Build(tree, paths, 12);
        Online online;
        TVerifyURL serial;
        serial.Probe = &online;
        TVerifyPool pool;
        pool.Connections = connections;
        std::vector<std::string> written;
        VerificationRun run(tree, serial, online, [&](CategoryNode& n) { written.push_back(n.Text()); });
        run.SetConcurrentChecker(&pool);
        run.Connections = connections;
        run.VerifyEntireFile();
        const auto results = Results(tree);
        ASSERT_EQ(results.size(), 37u);
        if (connections == 1)
            first = results;
        else
            EXPECT_EQ(results, first);
        EXPECT_EQ(written.size(), 5u) << "every category written back once";
        EXPECT_EQ(run.ChecksDone(), 37);
        tree.ForEach([](CategoryNode& n) { EXPECT_EQ(n.Image(), NodeImage::Normal); });
    }
    int failed = 0;
    for (const auto& [k, r] : first)
        failed += r.first == vsFailed;
    EXPECT_EQ(failed, 5 + 4 + 4) << "notfound, teapot and loop";
}

TEST_F(ParallelChecks, AbortAllStartsNothingNewAndSkipAbandonsWhatRuns) {
    CategoryTree tree;
    Build(tree, {"/slow?ms=100"}, 10);
    Online online;
    TVerifyURL serial;
    TVerifyPool pool;
    pool.Connections = 4;
    VerificationRun run(tree, serial, online, [](CategoryNode&) {});
    run.SetConcurrentChecker(&pool);
    run.Connections = 4;
    class AbortAtThird : public RunObserver {
    public:
        VerificationRun* run = nullptr;
        void Progress(int done, int, int) override {
            if (done == 3)
                run->AbortAllChecks();
        }
    } observer;
    observer.run = &run;
    VerificationRun watched(tree, serial, online, [](CategoryNode&) {}, &observer);
    watched.SetConcurrentChecker(&pool);
    watched.Connections = 4;
    observer.run = &watched;
    watched.VerifyEntireFile();
    int good = 0, aborted = 0, untouched = 0;
    tree.ForEach([&](CategoryNode& n) {
        for (const auto& s : n.Folder().Shortcuts) {
            good += s->VerState == vsGood && s->Verified != 0;
            aborted += s->verResponse == kRunAbortedText;
            untouched += s->VerState == vsGood && s->Verified == 0;
        }
    });
    // The three ended and those in flight when Abort came are recorded; c0's queued ones are
    // marked; the categories not reached go back to good, unchecked.
    EXPECT_GE(good, 3);
    EXPECT_LE(good, 3 + 4);
    EXPECT_EQ(good + aborted, 10);
    EXPECT_EQ(untouched, 21);
    EXPECT_FALSE(watched.Running());

    // Skip abandons every check in flight; the run goes on with the rest.
    CategoryTree second;
    Build(second, {"/ok"}, 3);
    second.RootNode()->Child(0).Folder().Shortcuts[0].URL = "http://127.0.0.1:" + std::to_string(servers->silent) + "/";
    VerificationRun skipping(second, serial, online, [](CategoryNode&) {});
    skipping.SetConcurrentChecker(&pool);
    skipping.Connections = 4;
    QTimer::singleShot(300, [&] { skipping.Skip(); });
    skipping.VerifyEntireFile();
    EXPECT_EQ(second.RootNode()->Child(0).Folder().Shortcuts[0].verResponse, kAbandonedText);
    EXPECT_EQ(second.RootNode()->Child(2).Folder().Shortcuts[2].VerState, vsGood);
}

TEST_F(ParallelChecks, GoingOfflineStopsTheRunWithTheConnectionText) {
    CategoryTree tree;
    Build(tree, {"/slow?ms=50"}, 6);
    Online probe;
    probe.offlineFrom = 3;
    TVerifyURL serial;
    TVerifyPool pool;
    pool.Connections = 2;
    VerificationRun run(tree, serial, probe, [](CategoryNode&) {});
    run.SetConcurrentChecker(&pool);
    run.Connections = 2;
    run.VerifyEntireFile();
    EXPECT_TRUE(run.OfflineStop);
    EXPECT_EQ(run.LastConnectionError, "The network is down");
    const TISFolder& c0 = tree.RootNode()->Child(0).Folder();
    int offline = 0;
    for (const auto& s : c0.Shortcuts)
        offline += s->verResponse == "The network is down";
    EXPECT_GE(offline, 3) << "the category at hand carries the text";
    for (const auto& s : tree.RootNode()->Child(2).Folder().Shortcuts)
        EXPECT_EQ(s->Verified, 0.0) << "not reached";
}
