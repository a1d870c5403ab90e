#include "support/QtTestApp.h"
#include "support/TestPaths.h"

#include "platform/Clipboard.h"
#include "platform/DesktopBrowser.h"
#include "platform/FileInfo.h"
#include "platform/QtDateLocale.h"
#include "store/Errors.h"
#include "store/Version.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace lynkora;
namespace fs = std::filesystem;

TEST(Platform, LocaleDateTexts) {
    const TDateTime feb3 = 36925.0 + (14 * 3600 + 5 * 60 + 9) / 86400.0;
    QtDateLocale french{QLocale(QLocale::French, QLocale::France)};
    EXPECT_EQ(french.LongDateOrder(), 1);
    EXPECT_EQ(ShortDateText(false, feb3, &french), "3 f\xC3\xA9vr., 2001, 14:05:09");
    QtDateLocale us{QLocale(QLocale::English, QLocale::UnitedStates)};
    EXPECT_EQ(us.LongDateOrder(), 0);
    EXPECT_EQ(ShortDateText(false, feb3, &us), "Feb 3, 2001, 14:05:09");
    QtDateLocale japan{QLocale(QLocale::Japanese, QLocale::Japan)};
    EXPECT_EQ(japan.LongDateOrder(), 2);
    EXPECT_NE(LongDateText(false, feb3, &us).find("2001, 14:05:09"), std::string::npos);
}

TEST(Platform, ExecLinesAndDesktopEntries) {
    EXPECT_EQ(ParseExecLine("firefox-esr %u"), (std::vector<std::string>{"firefox-esr"}));
    EXPECT_EQ(ParseExecLine("/usr/bin/chromium --new-window %U --flag=100%%"),
              (std::vector<std::string>{"/usr/bin/chromium", "--new-window", "--flag=100%"}));
    EXPECT_EQ(ParseExecLine("\"/opt/My Browser/run\" -a \"x \\\"y\\\"\" %f"),
              (std::vector<std::string>{"/opt/My Browser/run", "-a", "x \"y\""}));

    const auto dir = test::FreshDir("desktop");
    fs::create_directories(dir / "applications");
    std::ofstream(dir / "applications" / "web.desktop")
        << "[Desktop Entry]\nName=Web\nExec=web-browser --private %u\n[Desktop Action New]\nExec=other\n";
    EXPECT_EQ(FindDesktopExec("web.desktop", {"/nonexistent", dir.string()}),
              "web-browser --private %u");
    EXPECT_EQ(FindDesktopExec("../web.desktop", {dir.string()}), "");
    EXPECT_EQ(FindDesktopExec("none.desktop", {dir.string()}), "");
}

TEST(Platform, DefaultBrowserFromTheDesktop) {
    // Stand-in xdg tools on PATH, and a data folder with the browser's desktop entry.
    const auto dir = test::FreshDir("xdg");
    fs::create_directories(dir / "bin");
    fs::create_directories(dir / "share" / "applications");
    const auto script = dir / "bin" / "xdg-settings";
    std::ofstream(script) << "#!/bin/sh\necho surfer.desktop\n";
    ::chmod(script.c_str(), 0755);
    const auto browser = dir / "bin" / "surfer";
    std::ofstream(browser) << "#!/bin/sh\n";
    ::chmod(browser.c_str(), 0755);
    std::ofstream(dir / "share" / "applications" / "surfer.desktop")
        << "[Desktop Entry]\nExec=surfer --new-tab %U\n";

    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    const std::string oldData = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    setenv("PATH", ((dir / "bin").string() + ":" + oldPath).c_str(), 1);
    setenv("XDG_DATA_HOME", (dir / "share").c_str(), 1);
    const DesktopBrowser found = FindDefaultBrowser();
    EXPECT_EQ(found.path, browser.string());
    EXPECT_EQ(found.command, "--new-tab");

    std::ofstream(script) << "#!/bin/sh\nexit 1\n"; // no default browser at all
    setenv("PATH", ((dir / "bin").string() + ":/nonexistent").c_str(), 1);
    const DesktopBrowser none = FindDefaultBrowser();
    EXPECT_TRUE(none.path.empty());
    setenv("PATH", oldPath.c_str(), 1);
    setenv("XDG_DATA_HOME", oldData.c_str(), 1);
}

TEST(Platform, FileVersionsAndLongPaths) {
    EXPECT_EQ(FileVersion(ProgramPath()), kProgramVersion);
    EXPECT_FALSE(FileDescription(ProgramPath()).empty());
    EXPECT_EQ(FileVersion("/bin/sh"), "0.0.0.0");
    EXPECT_EQ(FileDescription("/bin/sh"), "");
    EXPECT_EQ(FileVersion("/no/such/file"), "0.0.0.0");

    const auto dir = test::FreshDir("longpath");
    fs::create_directories(dir / "Sub");
    std::ofstream(dir / "Sub" / "File.txt") << "x";
    EXPECT_EQ(LongPathForm((dir / "Sub" / ".." / "Sub" / "File.txt").string()),
              fs::canonical(dir / "Sub" / "File.txt").string());
    try {
        LongPathForm((dir / "missing").string());
        FAIL();
    } catch (const ELynkora& e) {
        EXPECT_EQ(std::string(e.what()), "Path " + (dir / "missing").string() + " does not exist!");
    }
}

TEST(Platform, HtmlGoesOnTheClipboardAsHtml) {
    test::EnsureQtApp();
    PutHtmlOnClipboard("<a href=\"a\">b</a>");
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasHtml());
    EXPECT_EQ(data->data("text/html").toStdString(),
              "<html><body>\r\n<!--StartFragment-->\r\n<a href=\"a\">b</a>\r\n<!--EndFragment-->\r\n</body></html>");
    EXPECT_FALSE(data->hasText());
}
