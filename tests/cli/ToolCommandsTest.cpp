#include "support/TestPaths.h"

#include "../cli/CliRunner.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using lynkora::test::Cli;

namespace {

// Root "Links" [a, b] > News [c, d] > World [e]; Misc [f]. Tree order Links, News, World, Misc.
std::string Collection() {
    const std::string path = (lynkora::test::FreshDir("cli-tools") / "t.lyx").string();
    const auto r = Cli({"import-json", path}, R"({"Root": {"FolderName": "Links",
        "Shortcuts": [{"Name": "Alpha", "URL": "http://same.example/"}, {"Name": "Beta", "URL": "http://b.example/"}],
        "Categories": [
          {"FolderName": "News", "Shortcuts": [{"Name": "Gamma news", "URL": "http://SAME.example"},
                                              {"Name": "Delta", "URL": "http://b.example/", "Descr": "NEWS desk"}],
           "Categories": [{"FolderName": "World", "Shortcuts": [{"Name": "Eps\u00e9 \"q\"", "URL": "http://same.example/"}]}]},
          {"FolderName": "Misc", "Shortcuts": [{"Name": "Zeta", "URL": "http://z.example/news", "Keywords": ["Newsy"]}]}]}})");
    EXPECT_EQ(r.code, 0) << r.err;
    return path;
}

TEST(CliTools, FindPrintsMatchesInFindNextOrder) {
    const std::string file = Collection();
    EXPECT_EQ(Cli({"find", file, "NEWS"}).out, "Links\\News\tGamma news\thttp://SAME.example\n");
    EXPECT_EQ(Cli({"find", file, "news", "--in", "all"}).out,
              "Links\\News\tGamma news\thttp://SAME.example\n"
              "Links\\News\tDelta\thttp://b.example/\n"
              "Links\\Misc\tZeta\thttp://z.example/news\n");
    EXPECT_EQ(Cli({"find", file, "NEWS", "--in", "descriptions", "--case"}).out, "Links\\News\tDelta\thttp://b.example/\n");
    EXPECT_EQ(Cli({"find", file, "newsy", "--in", "keywords"}).out, "Links\\Misc\tZeta\thttp://z.example/news\n");
    // From World: the categories before it in tree order are not searched, Misc after it is.
    EXPECT_EQ(Cli({"find", file, "example", "--in", "urls", "--from", "News/World"}).out,
              "Links\\News\\World\tEps\u00e9 \"q\"\thttp://same.example/\n"
              "Links\\Misc\tZeta\thttp://z.example/news\n");
    EXPECT_EQ(Cli({"find", file, "nothing"}).out, "");
    EXPECT_EQ(Cli({"find", file, "x", "--in", "titles"}).code, 2);
    EXPECT_EQ(Cli({"find", file, ""}).code, 2);
    const auto missing = Cli({"find", file, "x", "--from", "Nowhere"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("No category \"Nowhere\""), std::string::npos);
}

TEST(CliTools, DuplicatesAsTextAndJson) {
    const std::string file = Collection();
    const auto text = Cli({"duplicates", file});
    ASSERT_EQ(text.code, 0) << text.err;
    EXPECT_EQ(text.out, "http://b.example/\n"
                        "  Beta (Category: Links)\n"
                        "  Delta (Category: Links\\News)\n"
                        "http://same.example/\n"
                        "  Alpha (Category: Links)\n"
                        "  Gamma news (Category: Links\\News)\n"
                        "  Eps\u00e9 \"q\" (Category: Links\\News\\World)\n");
    const auto json = Cli({"duplicates", file, "--json"});
    ASSERT_EQ(json.code, 0);
    QJsonParseError error;
    const QJsonArray groups = QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << json.out;
    ASSERT_EQ(groups.size(), 2);
    const QJsonObject same = groups[1].toObject();
    EXPECT_EQ(same["URL"].toString(), "http://same.example/");
    const QJsonArray entries = same["Entries"].toArray();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].toObject()["ShortID"].toInt(), 0);
    EXPECT_EQ(entries[2].toObject()["Name"].toString(), QString::fromUtf8("Eps\u00e9 \"q\""));
    EXPECT_EQ(entries[2].toObject()["Category"].toString(), "Links\\News\\World");
    EXPECT_EQ(Cli({"duplicates", file, "--xml"}).code, 2);
}

} // namespace

// Names that hold terminal escape sequences, tabs or line breaks are printed with those
// characters escaped: they can neither drive the terminal nor break the columns.
TEST(CliTools, ControlCharactersArePrintedEscaped) {
    const std::string path = (lynkora::test::FreshDir("cli-controls") / "c.lyx").string();
    ASSERT_EQ(Cli({"import-json", path}, R"({"Root": {"FolderName": "Links",
        "Shortcuts": [{"Name": "evil\u001b]0;owned\u0007 name", "URL": "http://x.example/"},
                      {"Name": "tab\there\nline \u009b2J", "URL": "http://x.example/"}]}})").code, 0);
    EXPECT_EQ(Cli({"find", path, "e"}).out, "Links\tevil\\x1b]0;owned\\x07 name\thttp://x.example/\n"
                                             "Links\ttab\\x09here\\x0aline \\x9b2J\thttp://x.example/\n");
    const std::string dups = Cli({"duplicates", path}).out;
    EXPECT_EQ(dups.find('\x1b'), std::string::npos) << dups;
    EXPECT_NE(dups.find("evil\\x1b]0;owned\\x07 name"), std::string::npos) << dups;
}
