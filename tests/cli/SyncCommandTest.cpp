// lynkora-cli sync and import: runs that save only when every library was read and written.
#include "support/TestFiles.h"
#include "support/TestPaths.h"

#include "../cli/CliRunner.h"
#include "store/DataFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace lynkora;
using lynkora::test::Cli;

namespace {

using test::ReadFile;
using test::WriteFile;

std::string SampleJson() { return ReadFile(std::string(LYNKORA_SOURCE_DIR) + "/samples/sample.json"); }

// A data file holding the sample collection.
std::string SampleFile(const std::filesystem::path& dir, const std::string& name = "doc.lyx") {
    const std::string path = (dir / name).string();
    EXPECT_EQ(Cli({"import-json", path}, SampleJson()).code, 0);
    return path;
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// A Netscape file of many links, so a run takes long enough to be killed in the middle.
std::string BigBookmarks(const std::filesystem::path& dir, int links) {
    std::string text = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
    for (int f = 0; f < links / 100; ++f) {
        text += "<DT><H3>Folder " + std::to_string(f) + "</H3>\n<DL><p>\n";
        for (int i = 0; i < 100; ++i)
            text += "<DT><A HREF=\"http://host" + std::to_string(f) + ".example/" + std::to_string(i) + "\">Link " +
                    std::to_string(i) + "</A>\n";
        text += "</DL><p>\n";
    }
    text += "</DL><p>\n";
    const std::string path = (dir / "big.html").string();
    WriteFile(path, text);
    return path;
}

} // namespace

TEST(SyncCommand, ANetscapeLibrarySyncedTwiceChangesNothing) {
    const auto fixtures = test::FixturesDir();
    if (fixtures.empty())
        GTEST_SKIP() << "../shared/fixtures is not there";
    const auto dir = test::FreshDir("sync-fixture");
    for (const char* name : {"netscape4-cout-gtkbookmark__bookmark.htm", "firefox-tests__bookmarks.preplaces.html"}) {
        const std::string library = (dir / name).string();
        std::filesystem::copy_file(fixtures / "bookmarks" / "netscape" / name, library);
        const std::string doc = SampleFile(dir, std::string(name) + ".lyx");
        const std::string source = std::string("netscape:") + library;
        const auto first = Cli({"sync", doc, "--import", source, "--export", source});
        ASSERT_EQ(first.code, 0) << first.err;
        const std::string json1 = Cli({"export-json", doc}).out;
        const std::string file1 = ReadFile(library);
        EXPECT_EQ(json1.find("\"Wikipedia\""), std::string::npos) << "the document was rebuilt from the library";
        EXPECT_GT(Count(json1, "\"URL\""), 5u);
        const auto second = Cli({"sync", doc, "--import", source, "--export", source});
        ASSERT_EQ(second.code, 0) << second.err;
        EXPECT_EQ(first.out, second.out);
        // Dates of the run itself aside, the second run gives the same collection and file.
        const std::regex stamp("\"(Added|Access|Verified|LastDate)\": [0-9.e+]+");
        EXPECT_TRUE(std::regex_replace(Cli({"export-json", doc}).out, stamp, "") == std::regex_replace(json1, stamp, ""))
            << name << ": the collection changed";
        const std::regex dates("(ADD_DATE|LAST_VISIT|LAST_MODIFIED)=\"[0-9]*\"");
        EXPECT_TRUE(std::regex_replace(ReadFile(library), dates, "") == std::regex_replace(file1, dates, ""))
            << name << ": the bookmark file changed";
    }
}

TEST(SyncCommand, AFailedRunLeavesTheDataFileAsItWas) {
    const auto dir = test::FreshDir("sync-fail");
    const std::string doc = SampleFile(dir);
    const std::string good = (dir / "good.adr").string();
    WriteFile(good, "Opera Hotlist version 2.0\n\n#URL\n\tNAME=Three\n\tURL=http://three/\n");
    const std::string before = ReadFile(doc);
    const std::string written = (dir / "out.html").string();
    const auto r = Cli({"sync", doc, "--import", "opera:" + good, "--import", "netscape:" + (dir / "none.html").string(),
                        "--export", "netscape:" + written});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("The specified file could not be found!"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(doc), before) << "byte for byte";
    EXPECT_FALSE(std::filesystem::exists(written));

    // Export marks only: the document is read, never changed.
    const auto exported = Cli({"sync", doc, "--export", "opera:" + (dir / "copy.adr").string()});
    ASSERT_EQ(exported.code, 0) << exported.err;
    EXPECT_EQ(Count(ReadFile((dir / "copy.adr").string()), "#URL"), 37u);
    EXPECT_NE(Cli({"info", doc}).out.find("Shortcuts: 37"), std::string::npos);

    // Direct mode changes the file as it goes; the run says where the old collection is.
    const auto direct = Cli({"sync", doc, "--direct", "--import", "opera:" + good, "--import",
                             "netscape:" + (dir / "none.html").string()});
    EXPECT_EQ(direct.code, 1);
    const std::string backup = (dir / "doc.ly_").string();
    EXPECT_NE(direct.err.find("kept in " + backup), std::string::npos) << direct.err;
    EXPECT_NE(Cli({"info", backup}).out.find("Shortcuts: 37"), std::string::npos);

    EXPECT_EQ(Cli({"sync", doc}).code, 2);
    EXPECT_EQ(Cli({"sync", doc, "--import", "gopher:/x"}).code, 2);
}

TEST(SyncCommand, AKilledRunLeavesTheOldCollection) {
    const auto dir = test::FreshDir("sync-kill");
    const std::string big = BigBookmarks(dir, 60000);
    for (const bool direct : {false, true}) {
        const std::string doc = SampleFile(dir, direct ? "direct.lyx" : "copy.lyx");
        const std::string before = ReadFile(doc);
        const std::string backup = (dir / "direct.ly_").string();
        int inTheMiddle = 0;
        for (int round = 0; round < 4; ++round) {
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                std::vector<std::string> args = {"sync", doc, "--import", "netscape:" + big};
                if (direct)
                    args.push_back("--direct");
                Cli(args);
                ::_exit(0);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20 + 60 * round));
            ::kill(child, SIGKILL);
            int status = 0;
            ::waitpid(child, &status, 0);
            // A run that got to its end saved the new collection whole; any other leaves the old.
            const std::string info = Cli({"info", doc}).out;
            const bool complete = info.find("Shortcuts: 60000") != std::string::npos;
            if (!direct) {
                const bool old = ReadFile(doc) == before;
                EXPECT_TRUE(old || complete) << "round " << round << ": " << info;
                inTheMiddle += old && WIFSIGNALED(status);
            } else {
                // The file itself, or its backup when the run had begun to empty it.
                const bool intact = info.find("Shortcuts: 37") != std::string::npos;
                const bool backedUp = Cli({"info", backup}).out.find("Shortcuts: 37") != std::string::npos;
                EXPECT_TRUE(intact || backedUp || complete) << "round " << round;
                inTheMiddle += !complete && WIFSIGNALED(status);
            }
            WriteFile(doc, before); // the next round starts from the old collection again
        }
        EXPECT_GT(inTheMiddle, 0) << "no kill landed in the middle of a run";
    }
}

TEST(ImportCommand, PagesAndDataFilesOfBothGenerations) {
    const auto dir = test::FreshDir("import-files");
    const std::string doc = SampleFile(dir);
    const std::filesystem::path pages = dir / "site.htm.d";
    std::filesystem::create_directories(pages);
    const std::string page = (pages / "links.html").string();
    WriteFile(page, "<html><a href=\"http://a.example/\">A</a> <A HREF=\"sub/b.html\">B</A> <a href=\"mailto:x@y\">m</a>\n");
    const auto html = Cli({"import", doc, "--html", page, "--into", "News"});
    ASSERT_EQ(html.code, 0) << html.err;
    EXPECT_NE(html.out.find("Imported 2 shortcuts"), std::string::npos) << html.out;
    const std::string json = Cli({"export-json", doc}).out;
    EXPECT_NE(json.find(pages.string() + "/sub/b.html"), std::string::npos) << "relative links behind the page's folder";
    const std::string mails = (dir / "mail.html").string();
    WriteFile(mails, "<a href=\"mailto:x@y\">m</a><a href=\"#top\">t</a>");
    const auto none = Cli({"import", doc, "--html", mails});
    EXPECT_EQ(none.code, 1);
    EXPECT_NE(none.err.find("Lynkora did not find any URL's in the file:"), std::string::npos);

    // Another data file: merged by name and depth, each merged category with the keyword.
    const std::string other = SampleFile(dir, "other.lyx");
    const auto merged = Cli({"import", doc, "--lyx", other});
    ASSERT_EQ(merged.code, 0) << merged.err;
    EXPECT_NE(merged.out.find("Imported 0 shortcuts"), std::string::npos) << "every name is there already";
    EXPECT_NE(Cli({"export-json", doc}).out.find("\"Lynkora 4\""), std::string::npos);
    const auto self = Cli({"import", doc, "--lyx", doc});
    EXPECT_NE(self.err.find("Lynkora cannot import from the currently opened data file!"), std::string::npos);
    const auto foreign = Cli({"import", doc, "--lyx", page});
    EXPECT_NE(foreign.err.find("Error: not a valid Lynkora file!"), std::string::npos);

    // A data file another program holds open: the storage error, nothing merged.
    const std::string before = ReadFile(doc);
    {
        TDataFile held(other, true);
        const auto r = Cli({"import", doc, "--lyx", other});
        EXPECT_EQ(r.code, 1);
        EXPECT_FALSE(r.err.empty());
        EXPECT_EQ(ReadFile(doc), before);
    }
}

TEST(SyncCommand, BrowserProfilesAsLibraries) {
    const auto dir = test::FreshDir("sync-profiles");
    const auto profile = dir / "chromium" / "Default";
    std::filesystem::create_directories(profile);
    WriteFile((profile / "Bookmarks").string(),
              R"({"roots": {"bookmark_bar": {"children": [{"id": "4", "name": "Docs", "type": "url",)"
              R"( "url": "https://docs.example/"}], "id": "1", "name": "Bookmarks bar", "type": "folder"},)"
              R"( "other": {"children": [], "id": "2", "type": "folder"}, "synced": {"children": [], "id": "3",)"
              R"( "type": "folder"}}, "version": 1})");
    const std::string doc = SampleFile(dir);
    const auto in = Cli({"import", doc, "--chromium", profile.string()});
    ASSERT_EQ(in.code, 0) << in.err;
    EXPECT_NE(in.out.find("Imported 1 shortcuts"), std::string::npos) << in.out;
    // Written back with the whole collection; Firefox is never written.
    const auto out = Cli({"sync", doc, "--export", "chromium:" + profile.string()});
    ASSERT_EQ(out.code, 0) << out.err;
    EXPECT_NE(ReadFile((profile / "Bookmarks").string()).find("https://www.debian.org/"), std::string::npos);
    const std::string before = ReadFile(doc);
    const auto firefox = Cli({"sync", doc, "--export", "firefox:" + (dir / "ff").string()});
    EXPECT_EQ(firefox.code, 1);
    EXPECT_NE(firefox.err.find("Lynkora does not write into a Firefox profile"), std::string::npos) << firefox.err;
    EXPECT_EQ(ReadFile(doc), before);
}
