#include "support/TestPaths.h"

#include "settings/BrowserDetection.h"
#include "settings/BrowserLaunch.h"
#include "store/Errors.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

using namespace lynkora;
namespace fs = std::filesystem;

TEST(BrowserParameters, PrefixAndTemplates) {
    const std::string url = "https://example.org/a b";
    EXPECT_EQ(BrowserParameters("", url), " " + url) << "the blank stays with an empty command";
    EXPECT_EQ(BrowserParameters("-nohome", url), "-nohome " + url);
    EXPECT_EQ(BrowserParameters("--new-window \"%s\"", url), "--new-window \"" + url + "\"");
    EXPECT_EQ(BrowserParameters("%0:s|%0:s", "u"), "u|u");
    EXPECT_EQ(BrowserParameters("100%% %s", "u"), "100% u");
    EXPECT_EQ(BrowserParameters("[%4s][%0:-4s][%0:.1s]", "ab"), "[  ab][ab  ][a]");
    for (const char* bad : {"%d", "%s %s", "%1:s", "trailing %", "%x"})
        EXPECT_THROW(BrowserParameters(bad, url), ELynkora) << bad;
}

TEST(BrowserParameters, ShellPlaceholderBecomesTemplate) {
    EXPECT_EQ(NormalizeBrowserCommand("-url %1"), "-url %s");
    EXPECT_EQ(NormalizeBrowserCommand("%1 %1"), "%s %1") << "only the first 1";
    EXPECT_EQ(NormalizeBrowserCommand("-profile 1 %1"), "-profile 1 %1") << "the first 1 has no %";
    EXPECT_EQ(NormalizeBrowserCommand("1"), "1");
    EXPECT_EQ(BrowserParameters(NormalizeBrowserCommand("-url %1"), "u"), "-url u");
}

namespace {

fs::path Executable(const fs::path& path, const std::string& body = "#!/bin/sh\nexit 0\n") {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << body;
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

} // namespace

TEST(DetectBrowsers, AddsInstalledOnceAndKeepsWhatIsThere) {
    const fs::path dir = test::FreshDir("detect");
    const fs::path firefox = Executable(dir / "lib/firefox-esr/firefox-esr");
    fs::create_directories(dir / "bin");
    fs::create_symlink(firefox, dir / "bin/firefox-esr");
    const fs::path opera = Executable(dir / "bin/opera");
    const fs::path falkon = Executable(dir / "bin/falkon");
    std::map<std::string, std::string> installed = {
        {"firefox-esr", (dir / "bin/firefox-esr").string()}, // found under its second name
        {"opera", (dir / "bin/../bin/opera").string()},
        {"falkon", falkon.string()},
    };
    auto lookup = [&](const std::string& name) {
        auto it = installed.find(name);
        return it == installed.end() ? std::string() : it->second;
    };

    TBrowserList list;
    TBrowser& own = list.Browsers.Add();
    own.Name = "My Opera";
    own.Path = opera.string();
    own.Command = "-newpage";
    EXPECT_EQ(DetectBrowsers(list, lookup), 2u) << "Opera is listed under another spelling";
    ASSERT_EQ(list.Browsers.Count(), 3u);
    EXPECT_EQ(list.Browsers.Items(0).Name, "My Opera");
    EXPECT_EQ(list.Browsers.Items(0).Command, "-newpage");
    EXPECT_EQ(list.Browsers.Items(1).Name, "Firefox");
    EXPECT_EQ(list.Browsers.Items(1).Path, fs::canonical(firefox).string()) << "the long form";
    EXPECT_EQ(list.Browsers.Items(1).Command, "");
    EXPECT_EQ(list.Browsers.Items(1).Version, "0.0.0.0");
    EXPECT_FALSE(list.Browsers.Items(1).IsDefault);
    EXPECT_EQ(list.Browsers.Items(2).Name, "Falkon");
    EXPECT_EQ(DetectBrowsers(list, lookup), 0u) << "a second run adds nothing";

    // A listed browser whose file has gone does not stop detection of the others.
    fs::remove(falkon);
    installed["konqueror"] = Executable(dir / "bin/konqueror").string();
    EXPECT_EQ(DetectBrowsers(list, lookup), 1u);
    EXPECT_EQ(list.Browsers.Items(3).Name, "Konqueror");
}

TEST(LaunchBrowser, StartsWithTheParametersAsArguments) {
    const fs::path dir = test::FreshDir("launch");
    const fs::path out = dir / "args.txt";
    const fs::path browser = Executable(
        dir / "browser", "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done > \"" + out.string() + ".part\"\nmv \"" +
                             out.string() + ".part\" \"" + out.string() + "\"\n");
    LaunchBrowser(browser.string(), BrowserParameters("--new-tab \"%s\"", "https://example.org/a b?q=1&r=$HOME"));
    for (int i = 0; i < 500 && !fs::exists(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(out);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "[--new-tab]\n[https://example.org/a b?q=1&r=$HOME]\n") << "no shell in between";
}

TEST(LaunchBrowser, FailuresCarryTheSystemErrorNumberAndText) {
    const fs::path dir = test::FreshDir("launch-fail");
    const fs::path plain = dir / "not-a-program";
    std::ofstream(plain) << "text";
    fs::permissions(plain, fs::perms::owner_read | fs::perms::owner_write);
    auto message = [](const std::string& program) {
        try {
            LaunchBrowser(program, " https://example.org/");
        } catch (const ELynkora& e) {
            return std::string(e.what());
        }
        return std::string("started");
    };
    EXPECT_EQ(message((dir / "missing").string()),
              "Lynkora encountered an error while attempting      \nto open the selected Internet Shortcut:\n\n"
              "Error 2: No such file or directory");
    // Even root cannot execute a file without any execute bit.
    const std::string denied = message(plain.string());
    EXPECT_EQ(denied.substr(denied.rfind('\n') + 1), "Error 13: Permission denied");
}
