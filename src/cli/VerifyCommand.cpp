// verify: checks the shortcuts of a data file with the same run engine as the program and
// writes the results into the file as it does (usage write-back after each category).
#include "CliCommand.h"

#include "store/DataFile.h"
#include "store/Errors.h"
#include "store/NameCollator.h"
#include "store/Version.h"
#include "verify/Connectivity.h"
#include "verify/VerificationRun.h"
#include "verify/VerifyURL.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <memory>
#include <iostream>
#include <unistd.h>

namespace lynkora::cli {

namespace {

struct Options {
    std::string file, category, proxy, proxyUser, proxyPassword, caFile;
    bool errorsOnly = false;
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

// A category by its path: names separated by "/" or "\", from the root's children (the root's
// own name may lead).
CategoryNode* FindPath(CategoryTree& tree, const std::string& path) {
    CategoryNode* node = tree.RootNode();
    std::vector<std::string> parts;
    std::string part;
    for (char c : path + "/") {
        if (c == '/' || c == '\\') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    std::size_t i = 0;
    if (!parts.empty() && CompareAsciiNoCase(parts[0], node->Text()) == 0 &&
        CategoryTree::FindChildCategory(*node, parts[0]))
        i = 1;
    for (; node && i < parts.size(); ++i) {
        CategoryNode* child = nullptr;
        if (CategoryTree::FindChildCategory(*node, parts[i], &child))
            return nullptr;
        node = child;
    }
    return node;
}

class Progress : public RunObserver {
public:
    Progress(std::ostream& err, bool terminal) : m_err(err), m_terminal(terminal) {}
    int checked = 0, good = 0, failed = 0;

    void ShortcutChanged(CategoryNode&, const TIShortcut& s) override {
        if (s.VerState == vsVerifying) {
            ++checked;
            m_current = s.ID();
            m_inCheck = true;
            if (m_terminal)
                m_err << "\r\033[K[" << checked << "] " << s.URL.substr(0, 70) << std::flush;
            return;
        }
        if (m_inCheck && s.ID() == m_current && (s.VerState == vsGood || s.VerState == vsFailed)) {
            m_inCheck = false;
            (s.VerState == vsGood ? good : failed)++;
        }
    }
    void Done() {
        if (m_terminal)
            m_err << "\r\033[K" << std::flush;
    }

private:
    std::ostream& m_err;
    bool m_terminal;
    std::uint32_t m_current = 0;
    bool m_inCheck = false;
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
    Progress progress(ctx.err, &ctx.err == &std::cerr && ::isatty(2));
    VerificationRun run(tree, checker, probe, [&](CategoryNode& n) { file.WriteBackUsage(n); },
                        &progress);

    const auto start = std::chrono::steady_clock::now();
    if (o.errorsOnly) {
        run.ReverifyErrors();
    } else if (!o.category.empty()) {
        CategoryNode* node = FindPath(tree, o.category);
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
    ctx.out << "Checked: " << progress.checked << "\nGood: " << progress.good
            << "\nFailed: " << progress.failed << "\nTime: " << time << " s\n";
    if (run.OfflineStop)
        ctx.out << "Stopped: " << run.LastConnectionError << "\n";
    return 0;
}

} // namespace lynkora::cli
