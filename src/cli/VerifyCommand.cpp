// verify: checks the shortcuts of a data file with the same run engine as the program and
// writes the results into the file as it does (usage write-back after each category).
#include "CliCommand.h"
#include "FindCategoryPath.h"

#include "cfb/StorageError.h"
#include "store/DataFile.h"
#include "store/Errors.h"
#include "store/FileReplace.h"
#include "store/NameCollator.h"
#include "store/Version.h"
#include "verify/CheckPool.h"
#include "verify/Connectivity.h"
#include "verify/VerificationRun.h"
#include "verify/VerifyURL.h"

#include <QCoreApplication>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <iostream>
#include <unistd.h>

namespace lynkora::cli {

namespace {

struct Options {
    std::string file, category, proxy, proxyUser, proxyPassword, caFile;
    bool errorsOnly = false;
    int jobs = 8;
};

Options Parse(const std::vector<std::string>& args) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw UsageError{a + " needs a value"};
            return args[++i];
        };
        if (a == "--category")
            o.category = value();
        else if (a == "--errors-only")
            o.errorsOnly = true;
        else if (a == "--proxy")
            o.proxy = value();
        else if (a == "--proxy-user")
            o.proxyUser = value();
        else if (a == "--proxy-password")
            o.proxyPassword = value();
        else if (a == "--ca-file")
            o.caFile = value();
        else if (a == "--jobs") {
            const std::string& n = value();
            char* end = nullptr;
            const long jobs = std::strtol(n.c_str(), &end, 10);
            if (n.empty() || *end || jobs < 1 || jobs > 32)
                throw UsageError{"--jobs takes a number from 1 to 32"};
            o.jobs = static_cast<int>(jobs);
        }
        else if (a.rfind("--", 0) == 0 || !o.file.empty())
            throw UsageError{"unexpected argument " + a};
        else
            o.file = a;
    }
    if (o.file.empty())
        throw UsageError{"verify takes a file"};
    if (!o.category.empty() && o.errorsOnly)
        throw UsageError{"--category and --errors-only exclude each other"};
    return o;
}


// The line of progress on a terminal: checks ended of those planned, and the last URL begun.
class ProgressLine : public RunObserver {
public:
    ProgressLine(std::ostream& err, bool terminal) : m_err(err), m_terminal(terminal) {}

    void ShortcutChanged(CategoryNode&, const TIShortcut& s) override {
        if (s.VerState == vsVerifying)
            m_url = s.URL.substr(0, 60);
    }
    void Progress(int done, int total, int failed) override {
        if (m_terminal)
            m_err << "\r\033[K[" << done << "/" << total << ", " << failed << " failed] " << m_url << std::flush;
    }
    void Done() {
        if (m_terminal)
            m_err << "\r\033[K" << std::flush;
    }

private:
    std::ostream& m_err;
    bool m_terminal;
    std::string m_url;
};

} // namespace

int VerifyCommand(CommandContext& ctx) {
    const Options o = Parse(ctx.args);
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "lynkora-cli";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QCoreApplication>(argc, argv);
    }

    // Verifying reads a collection; it never makes one where there is none.
    if (!FileExists(o.file))
        throw cfb::StorageError(cfb::STG_E_FILENOTFOUND, o.file + ": " + std::strerror(ENOENT));
    TDataFile file(o.file, false);
    file.CheckVersion(kProgramVersion);
    CategoryTree tree;
    file.LoadTree(tree);

    InterfaceProbe probe;
    TVerifyURL checker;
    checker.Probe = &probe;
    checker.CaFile = o.caFile;
    if (!o.proxy.empty()) {
        const auto colon = o.proxy.rfind(':');
        checker.ProxyServer = o.proxy.substr(0, colon);
        checker.ProxyPort = colon == std::string::npos ? "80" : o.proxy.substr(colon + 1);
        checker.ProxyUser = o.proxyUser;
        checker.ProxyPass = o.proxyPassword;
    }
    TVerifyPool pool;
    pool.Connections = o.jobs;
    pool.Base.caFile = o.caFile;
    pool.Base.proxyServer = checker.ProxyServer;
    pool.Base.proxyPort = checker.ProxyPort;
    pool.Base.proxyUser = checker.ProxyUser;
    pool.Base.proxyPassword = checker.ProxyPass;
    ProgressLine progress(ctx.err, &ctx.err == &std::cerr && ::isatty(2));
    VerificationRun run(tree, checker, probe, [&](CategoryNode& n) { file.WriteBackUsage(n); },
                        &progress);
    run.SetConcurrentChecker(&pool);
    run.Connections = o.jobs;

    const auto start = std::chrono::steady_clock::now();
    if (o.errorsOnly) {
        run.ReverifyErrors();
    } else if (!o.category.empty()) {
        CategoryNode* node = FindCategoryPath(tree, o.category);
        if (!node)
            throw ELynkora("No category \"" + o.category + "\" in " + o.file);
        run.VerifyCategory(node);
    } else {
        run.VerifyEntireFile();
    }
    progress.Done();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    file.Close();
    char time[32];
    std::snprintf(time, sizeof time, "%.1f", seconds);
    ctx.out << "Checked: " << run.ChecksDone() << "\nGood: " << run.ChecksDone() - run.ChecksFailed()
            << "\nFailed: " << run.ChecksFailed() << "\nTime: " << time << " s\n";
    if (run.OfflineStop)
        ctx.out << "Stopped: " << run.LastConnectionError << "\n";
    return 0;
}

} // namespace lynkora::cli
