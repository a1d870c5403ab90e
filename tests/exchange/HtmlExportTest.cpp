// The exported page, line for line on a small tree written by hand, and what a hostile
// collection cannot put into it.
#include "support/TestPaths.h"

#include "exchange/HtmlExport.h"
#include "store/DateText.h"
#include "store/Errors.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

using namespace lynkora;
namespace fs = std::filesystem;

namespace {

std::string Crlf(const std::string& lf) {
    std::string out;
    for (char c : lf) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

// What a Python script prints about a page.
bool RunPython(const fs::path& script, const std::string& page, std::string& out) {
    const std::string command = "python3 " + script.string() + " " + page;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return false;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        out.append(buffer, n);
    return ::pclose(pipe) == 0;
}

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// root {b, A(new, "first")} / Cat1 ("about"; y(new), x "ex") / Sub {s}; Excl (excluded) / ExclSub;
// Zed (empty).
struct Sample {
    CategoryTree tree;
    CategoryNode* cat1;
    CategoryNode* excluded;
    Sample() {
        auto top = std::make_unique<TISFolder>();
        top->FolderName = "My Internet Shortcuts";
        tree.SetRoot(std::move(top));
        auto add = [&](CategoryNode& parent, const char* name, const char* descr = "") -> CategoryNode& {
            auto f = std::make_unique<TISFolder>();
            f->FolderName = name;
            f->Descr = descr;
            return tree.AddChild(parent, std::move(f));
        };
        auto link = [](CategoryNode& n, const char* name, const char* url, const char* descr, bool isNew) {
            TIShortcut& s = n.Folder().Shortcuts.Add();
            s.Name = name;
            s.URL = url;
            s.Descr = descr;
            s.Added = isNew ? 200 : 50;
        };
        CategoryNode& root = *tree.RootNode();
        link(root, "b", "http://b/", "", false);
        link(root, "A", "http://a/", "first", true);
        cat1 = &add(root, "Cat1", "about");
        link(*cat1, "y", "http://y/", "", true);
        link(*cat1, "x", "http://x/", "ex", false);
        link(add(*cat1, "Sub"), "s", "http://s/", "", false);
        excluded = &add(root, "Excl");
        excluded->SetImage(NodeImage::Excluded);
        link(add(*excluded, "ExclSub"), "hidden", "http://hidden/", "", false);
        add(root, "Zed");
    }
};

HtmlExportOptions Options(bool contents) {
    HtmlExportOptions o;
    o.contents = contents;
    o.title = "T";
    o.generator = "Gen";
    o.contentsHeading = "Contents";
    o.backToTop = "Top";
    o.styleSheetText = {"/* S */", "body {}"};
    o.programVersion = "4.0.2.312";
    o.now = 46000.5;
    o.lastDate = 100;
    return o;
}

const char* kTable = "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"90%\"";

std::string Head(const std::string& date) {
    return std::string("<html>\n<head>\n<meta charset=\"utf-8\">\n<title>T</title>\n"
                       "<meta name=\"generator\" content=\"Lynkora 4.0\">\n<base target=\"_blank\">\n"
                       "<style type=\"text/css\"><!--\n/* S */\nbody {}\n}-->\n</style>\n</head>\n") +
           kTable + ">\n<tr>\n<td width=\"100%\"><h1><strong>T</strong></h1></td>\n</tr>\n<tr>\n"
                    "<td width=\"100%\">\nGen " + date + "</td>\n</tr></table><br><br>\n";
}

const std::string kFooter =
    "<br>\n<hr noshade size=\"1\" color=\"#000000\">\n"
    "<table border=\"0\" width=\"100%\" cellpadding=\"0\" cellspacing=\"0\">\n<tr>\n"
    "<td width=\"100%\">Created with <strong>Lynkora 4.0</strong> - version 4.0.2.312</td>\n</tr>\n<tr>\n"
    "<td width=\"100%\">Lynkora is free software by the Lynkora developers.<br><br>\n"
    "<a href=\"https://www.lynkora.net/\">https://www.lynkora.net/</a></td>\n</tr>\n</table>\n<br><br>\n"
    "</BODY>\n</HTML>\n";

std::string Indented(int margin) {
    return std::string(kTable) + " style=\"margin-left: " + std::to_string(margin) + "\"><p>\n";
}

} // namespace

TEST(HtmlExport, TheWholeFileWithItsTableOfContents) {
    Sample doc;
    const std::string date = LongDateText(true, 46000.5, nullptr);
    const std::string top = "<tr><td width=\"100%\"><a href=\"#top\" target=\"_self\">[ Top ]</a><br><br></td>\n</tr></table>\n";
    const std::string expected =
        Head(date) + "<a name=\"top\"></a>\n" + kTable +
        ">\n<tr>\n<td width=\"100%\"><h3><strong>Contents</strong></h3>\n</td></tr>\n<tr><td width=\"100%\">\n"
        "<!-- Table of contents -->\n<menu>\n"
        "<ul><li>\n<a href=\"#0.1.1\" target=\"_self\">Cat1</a></ul>\n<menu>\n"
        "<ul><li>\n<a href=\"#1.2.2\" target=\"_self\">Sub</a></ul>\n</menu>\n"
        "<ul><li>\n<a href=\"#0.1.5\" target=\"_self\">Zed</a></ul>\n"
        "</menu></td></tr></table><br>\n<hr noshade size=\"1\" color=\"#000000\">\n"
        // the root's shortcuts, by name
        "<br>\n<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"100%\"><p>\n"
        "<tr><td width=\"100%\">\n<span class=newitem><a href=\"http://a/\" >A</a> - first</span>\n"
        "<tr><td width=\"100%\">\n<a href=\"http://b/\" >b</a>\n</p></table>\n"
        // Cat1 at 30, with its description
        "<a name=\"0.1.1\"></a>\n<br>\n" + Indented(30) +
        "<tr>\n<td width=\"50%\"><h3><strong>Cat1</strong></h3>\n</td></tr>\n"
        "<tr><td width=\"100%\">about<br><br>\n</td></tr>\n" + top + Indented(30) +
        "<tr><td width=\"100%\">\n<a href=\"http://x/\" >x</a> - ex\n</td></tr>\n"
        "<tr><td width=\"100%\">\n<span class=newitem><a href=\"http://y/\" >y</a></span>\n</td></tr>\n"
        "</p></table>\n<br>\n"
        // Sub at 60
        "<a name=\"1.2.2\"></a>\n<br>\n" + Indented(60) +
        "<tr>\n<td width=\"50%\"><h3><strong>Sub</strong></h3>\n</td></tr>\n" + top + Indented(60) +
        "<tr><td width=\"100%\">\n<a href=\"http://s/\" >s</a>\n</td></tr>\n</p></table>\n<br>\n<br>\n<br>\n"
        // Excl and its sub-tree are left out; Zed is empty
        "<a name=\"0.1.5\"></a>\n<br>\n" + Indented(30) +
        "<tr>\n<td width=\"50%\"><h3><strong>Zed</strong></h3>\n</td></tr>\n" + top + Indented(30) +
        "</p></table>\n<br>\n<br>\n" + kFooter;
    EXPECT_EQ(HtmlPageText(doc.tree, Options(true)), Crlf(expected));
}

TEST(HtmlExport, WithoutContentsAndForOneCategory) {
    Sample doc;
    HtmlExportOptions o = Options(false);
    o.generator.clear();
    const std::string page = HtmlPageText(doc.tree, o);
    EXPECT_EQ(page.find("<a name="), std::string::npos) << "no anchors";
    EXPECT_EQ(page.find("#top"), std::string::npos);
    EXPECT_EQ(page.find("<menu>"), std::string::npos);
    EXPECT_NE(page.find("<td width=\"50%\"><h3><strong>Sub</strong></h3>\r\n</td></tr></p></table>\r\n"), std::string::npos);
    EXPECT_NE(page.find("<td width=\"100%\">\r\n" + LongDateText(true, 46000.5, nullptr) + "</td>"), std::string::npos)
        << "the date alone without strGen";
    EXPECT_EQ(page.find("hidden"), std::string::npos);

    // The category page: C's shortcuts in collection order, its children from margin 30.
    const std::string category = HtmlCategoryText(*doc.cat1, Options(true));
    const std::string expectedStart =
        Head(LongDateText(true, 46000.5, nullptr)) + kTable +
        ">\n<tr>\n<td width=\"100%\"><h3><strong>Contents</strong></h3>\n</td></tr>\n<tr><td width=\"100%\">\n"
        "<menu>\n<ul><li>\n<a href=\"#1.2.2\" target=\"_self\">Sub</a></ul>\n</menu></td></tr></table><br>\n"
        "<hr noshade size=\"1\" color=\"#000000\">\n<br>\n" + kTable + "><p>\n"
        "<tr><td width=\"100%\">\n<span class=newitem><a href=\"http://y/\" >y</a></span>\n</td></tr>\n"
        "<tr><td width=\"100%\">\n<a href=\"http://x/\" >x</a> - ex\n</td></tr>\n</p></table>\n"
        "<a name=\"1.2.2\"></a>\n<br>\n" + Indented(30);
    EXPECT_EQ(category.substr(0, Crlf(expectedStart).size()), Crlf(expectedStart));
    EXPECT_EQ(category.find("Cat1"), std::string::npos) << "its own name is no heading";
    EXPECT_TRUE(category.size() > kFooter.size() && category.substr(category.size() - Crlf(kFooter).size()) == Crlf(kFooter));
}

TEST(HtmlExport, TheLinkedStyleSheetAndTheFile) {
    Sample doc;
    const fs::path dir = test::FreshDir("htmlexport");
    fs::create_directories(dir / "styles");
    std::ofstream(dir / "styles" / "mine.css") << "body { color: red }";
    HtmlExportOptions o = Options(true);
    o.linkStyleSheet = true;
    o.styleSheetPath = (dir / "styles" / "mine.css").string();
    o.exportFolder = (dir / "out").string();
    fs::create_directories(dir / "out");
    o.output = (dir / "out" / "page.html").string();
    EXPECT_TRUE(ExportHtmlPage(doc.tree, o).warnings.empty());
    EXPECT_NE(ReadAll(o.output).find("<link rel=\"stylesheet\" type=\"text/css\" href=\"mine.css\">\r\n"), std::string::npos);
    EXPECT_EQ(ReadAll(dir / "out" / "mine.css"), "body { color: red }");

    // Already in the export folder: not copied over itself.
    o.styleSheetPath = (dir / "out" / "mine.css").string();
    EXPECT_TRUE(ExportHtmlPage(doc.tree, o).warnings.empty());
    EXPECT_EQ(ReadAll(dir / "out" / "mine.css"), "body { color: red }");

    // A sheet that is not there: the page is written all the same, with the warning.
    o.styleSheetPath = (dir / "styles" / "gone.css").string();
    const HtmlExportReport report = ExportHtmlPage(doc.tree, o);
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_EQ(report.warnings[0].rfind("CopyFile failed: ", 0), 0u);
    EXPECT_NE(ReadAll(o.output).find("href=\"gone.css\""), std::string::npos);

    // A page that cannot be written is an error with the reason, and the old page stays.
    const std::string before = ReadAll(o.output);
    o.output = (dir / "no such folder" / "page.html").string();
    try {
        ExportHtmlPage(doc.tree, o);
        ADD_FAILURE() << "no error";
    } catch (const ELynkora& e) {
        EXPECT_NE(std::string(e.what()).find("No such file or directory"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadAll(dir / "out" / "page.html"), before);
    CategoryTree empty;
    EXPECT_THROW(HtmlPageText(empty, o), ELynkora);
}

TEST(HtmlExport, TextsOfTheCollectionAddNoMarkup) {
    CategoryTree tree;
    auto root = std::make_unique<TISFolder>();
    root->FolderName = "<b>root</b>";
    tree.SetRoot(std::move(root));
    auto f = std::make_unique<TISFolder>();
    f->FolderName = "<script>alert(1)</script>";
    f->Descr = "\"><img src=x onerror=alert(2)>";
    CategoryNode& cat = tree.AddChild(*tree.RootNode(), std::move(f));
    auto add = [&](const char* name, const char* url, const char* descr) {
        TIShortcut& s = cat.Folder().Shortcuts.Add();
        s.Name = name;
        s.URL = url;
        s.Descr = descr;
    };
    add("<script>alert(3)</script>", "http://x/\" onmouseover=\"alert(4)", "</td><iframe src=y>");
    add("run", "javascript:alert(5)", "");
    add("  data", " DATA:text/html,<script>alert(6)</script>", "");
    add("vb", "vbscript:msgbox(7)", "caf\xE9"); // Windows-1252 bytes come out as UTF-8
    HtmlExportOptions o = Options(true);
    o.title = "<svg onload=alert(8)>";
    o.generator = "<i>";
    o.contentsHeading = "</h3><h1>";
    o.backToTop = "\"><b>";
    const fs::path dir = test::FreshDir("hostile");
    o.output = (dir / "page.html").string();
    o.exportFolder = dir.string();
    ExportHtmlPage(tree, o);
    const std::string page = ReadAll(o.output);
    EXPECT_NE(page.find("caf\xC3\xA9"), std::string::npos);

    // Python's parser lists every element and attribute of the page: none may come from the
    // collection's texts.
    const fs::path script = dir / "tags.py";
    std::ofstream(script) << "import sys\nfrom html.parser import HTMLParser\n"
                             "class P(HTMLParser):\n"
                             "    def handle_starttag(self, tag, attrs):\n"
                             "        print(tag, repr(attrs))\n"
                             "P().feed(open(sys.argv[1], encoding='utf-8').read())\n";
    std::string tags;
    ASSERT_TRUE(RunPython(script, o.output, tags));
    std::istringstream lines(tags);
    const std::set<std::string> allowed = {"html", "head", "meta", "title", "base", "style", "table", "tr", "td",
                                           "h1", "h3", "strong", "a", "menu", "ul", "li", "hr", "br", "p", "span"};
    for (std::string line; std::getline(lines, line);) {
        const std::string tag = line.substr(0, line.find(' '));
        EXPECT_TRUE(allowed.count(tag)) << line;
        for (const char* attribute : {"('onerror'", "('onmouseover'", "('onload'", "('src'"})
            EXPECT_EQ(line.find(attribute), std::string::npos) << line;
        for (const char* link : {"('href', 'javascript", "('href', 'vbscript", "('href', ' DATA"})
            EXPECT_EQ(line.find(link), std::string::npos) << line;
    }
    EXPECT_NE(tags.find("a [('href', 'http://x/\" onmouseover=\"alert(4)')]"), std::string::npos)
        << "the URL stays one attribute\n" << tags;
}

// Links are read back as a browser reads them (Python's URL splitting drops C0 controls and
// blanks at the ends and tabs and line breaks anywhere, as the URL standard does): no script,
// data or unknown scheme survives as a link; ordinary ones stay links.
TEST(HtmlExport, OnlyKnownSchemesBecomeLinks) {
    CategoryTree tree;
    auto root = std::make_unique<TISFolder>();
    root->FolderName = "root";
    tree.SetRoot(std::move(root));
    const std::vector<std::string> hostile = {
        "java\tscript:alert(1)", "java\nscript:alert(2)", "\x01javascript:alert(3)", " \x1F JavaScript:alert(4)",
        "jav\rascript:alert(5)", "JAVASCRIPT:alert(6)", "data:text/html,x", "vbscript:x", "java\x01script:alert(7)",
        "javascript&#58;alert(8)", "&#106;avascript:alert(9)", "view-source:http://x/", "x-app:open", "javascript:\t"};
    const std::vector<std::string> fine = {"http://a.example/", "HTTPS://b.example/", "  ftp://c.example/",
                                           "mailto:d@example.org", "file:///home/u/e.html", "relative/f.html"};
    int n = 0;
    for (const auto* list : {&hostile, &fine})
        for (const std::string& url : *list) {
            TIShortcut& s = tree.RootNode()->Folder().Shortcuts.Add();
            s.Name = "s" + std::to_string(n++);
            s.URL = url;
        }
    HtmlExportOptions o = Options(false);
    const fs::path dir = test::FreshDir("schemes");
    o.output = (dir / "page.html").string();
    o.exportFolder = dir.string();
    ExportHtmlPage(tree, o);

    const fs::path script = dir / "links.py";
    std::ofstream(script) << "import sys, urllib.parse\nfrom html.parser import HTMLParser\n"
                             "class P(HTMLParser):\n"
                             "    href = None\n"
                             "    def handle_starttag(self, tag, attrs):\n"
                             "        self.href = dict(attrs).get('href') if tag == 'a' else None\n"
                             "    def handle_data(self, data):\n"
                             "        if self.href is not None and data.startswith('s') and data[1:].isdigit():\n"
                             "            print(data, urllib.parse.urlsplit(self.href).scheme or '-')\n"
                             "        self.href = None\n"
                             "P().feed(open(sys.argv[1], encoding='utf-8').read())\n";
    std::string schemes;
    ASSERT_TRUE(RunPython(script, o.output, schemes));
    // Entities in the stored text are written escaped: "&#106;avascript:" stays a relative
    // reference, which is harmless.
    std::istringstream lines(schemes);
    for (std::string line; std::getline(lines, line);) {
        const std::string scheme = line.substr(line.find(' ') + 1);
        EXPECT_TRUE(scheme == "-" || scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "mailto" ||
                    scheme == "file")
            << line;
    }
    for (const char* link : {"s14 http\n", "s15 https\n", "s16 ftp\n", "s17 mailto\n", "s18 file\n", "s19 -\n"})
        EXPECT_NE(schemes.find(link), std::string::npos) << link << " stays a link";
    const std::string page = ReadAll(o.output);
    EXPECT_NE(page.find("s0 (java"), std::string::npos) << "a refused link is shown as text";
}
