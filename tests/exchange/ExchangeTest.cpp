#include "ImportDoc.h"
#include "support/TestPaths.h"

#include "exchange/BookmarkWriters.h"
#include "exchange/FavoritesFolder.h"
#include "exchange/ImportTarget.h"
#include "exchange/NetscapeReader.h"
#include "exchange/OperaReader.h"
#include "exchange/PreviewReaders.h"
#include "exchange/ProfileFile.h"
#include "exchange/TextDecoding.h"
#include "store/Errors.h"
#include "store/ObjectStream.h"

#include "cfb/Storage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

using namespace lynkora;
namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

// A document with nested categories and awkward names.
void Fill(CategoryTree& tree) {
    CategoryNode& root = *tree.RootNode();
    auto add = [&](CategoryNode& parent, const std::string& name) -> CategoryNode& {
        auto f = std::make_unique<TISFolder>();
        f->FolderName = name;
        f->Descr = "About " + name;
        return tree.AddChild(parent, std::move(f));
    };
    auto link = [](CategoryNode& node, const std::string& name, const std::string& url) {
        TIShortcut& s = node.Folder().Shortcuts.Add();
        s.Name = name;
        s.URL = url;
        s.Descr = "d " + name;
    };
    link(root, "home page", "http://example.org/");
    CategoryNode& news = add(root, "news");
    link(news, "tom & jerry <b> \"quoted\"", "http://example.org/?a=1&b=2");
    CategoryNode& deep = add(news, "deep");
    link(deep, "caf\xC3\xA9", "http://example.org/caf%C3%A9");
    CategoryNode& tech = add(root, "tech");
    link(tech, "one", "https://one.example/");
    link(tech, "two", "https://two.example/");
}

std::multiset<std::string> Contents(const CategoryTree& tree, bool withDescr = false) {
    std::multiset<std::string> out;
    tree.ForEach([&](CategoryNode& n) {
        const std::string path = n.Parent() ? CategoryTree::CategoryPath(n).substr(
                                                  CategoryTree::CategoryPath(*tree.RootNode()).size())
                                            : "";
        out.insert("C" + path);
        for (const auto& s : n.Folder().Shortcuts)
            out.insert("S" + path + "|" + s->Name + "|" + s->URL + (withDescr ? "|" + s->Descr : ""));
    });
    return out;
}

} // namespace

using lynkora::test::Doc;

TEST(Exchange, RoundTripsThroughEveryFormat) {
    CategoryTree source;
    Doc::WithRoot(source);
    Fill(source);
    const auto dir = test::FreshDir("roundtrip");

    ASSERT_TRUE(ExportNetscapeBookmarks(source, (dir / "plain.html").string()));
    std::mt19937 random(1);
    ASSERT_TRUE(ExportMozillaBookmarks(source, (dir / "later.html").string(), random));
    ASSERT_TRUE(ExportOperaHotlist(source, (dir / "hotlist.adr").string()));
    ExportFavoritesFolder(source, (dir / "Favorites").string());

    for (const char* file : {"plain.html", "later.html"}) {
        Doc doc;
        ImportNetscapeBookmarks((dir / file).string(), doc.Target());
        EXPECT_EQ(Contents(doc.tree), Contents(source)) << file;
    }
    {
        Doc doc;
        ImportOperaHotlist((dir / "hotlist.adr").string(), doc.Target());
        EXPECT_EQ(Contents(doc.tree, true), Contents(source, true));
        CategoryNode* news = doc.Target().FindCategoryByName("news", 1);
        ASSERT_NE(news, nullptr);
        EXPECT_EQ(news->Folder().Descr, "About news");
        EXPECT_TRUE(news->Folder().Keywords.IndexOf("Opera") >= 0);
    }
    {
        Doc doc;
        ImportFavoritesFolder((dir / "Favorites").string(), *doc.tree.RootNode(), doc.Target());
        // File names lose what file systems refuse, and come back in lower case.
        const auto got = Contents(doc.tree);
        EXPECT_EQ(got.count("S\\news|tom & jerry _b_ _quoted_|http://example.org/?a=1&b=2"), 1u);
        EXPECT_EQ(got.count("S\\news\\deep|caf\xC3\xA9|http://example.org/caf%C3%A9"), 1u);
        EXPECT_EQ(got.count("S|home page|http://example.org/"), 1u);
        EXPECT_EQ(got.size(), Contents(source).size());
    }
}

TEST(Exchange, EmptyDocumentOutputs) {
    CategoryTree tree;
    Doc::WithRoot(tree);
    EXPECT_EQ(NetscapeBookmarksText(tree),
              "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<!-- This is an automatically generated file.\r\n"
              "It will be read and overwritten.\r\nDo Not Edit! -->\r\n"
              "<TITLE>Lynkora Internet Shortcuts</TITLE>\r\n<H1>Lynkora 4.0 Internet Shortcuts</H1>\r\n"
              "\r\n<DL><P>\r\n</DL><P>\r\n");
    std::mt19937 random(1);
    EXPECT_EQ(MozillaBookmarksText(tree, random),
              "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<!-- This is an automatically generated file.\n"
              "It will be read and overwritten.\nDo Not Edit! -->\n"
              "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
              "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n\n<DL><P>\n</DL><P>\n");
    EXPECT_EQ(OperaHotlistText(tree), "Opera Hotlist version 2.0\r\n\r\n-\r\n\r\n-\r\n");
}

TEST(Exchange, ExcludedCategoriesPerFormat) {
    CategoryTree tree;
    Doc::WithRoot(tree);
    Fill(tree);
    CategoryNode& news = *tree.RootNode()->Children()[0];
    news.SetImage(NodeImage::Excluded);
    news.Child(0).SetImage(NodeImage::Excluded);
    const std::string plain = NetscapeBookmarksText(tree);
    EXPECT_EQ(plain.find("news"), std::string::npos);
    EXPECT_EQ(plain.find("deep"), std::string::npos);
    std::mt19937 random(1);
    const std::string later = MozillaBookmarksText(tree, random);
    EXPECT_EQ(later.find(">news<"), std::string::npos);
    EXPECT_NE(later.find("ID=\"NC:BookmarksRoot#$"), std::string::npos);
    EXPECT_NE(OperaHotlistText(tree).find("NAME=news"), std::string::npos) << "Opera keeps them";

    const auto dir = test::FreshDir("favexcl");
    news.Child(0).SetImage(NodeImage::Normal); // an included child of an excluded category
    ExportFavoritesFolder(tree, dir.string());
    EXPECT_FALSE(fs::exists(dir / "news" / "tom & jerry _b_ _quoted_.url"));
    EXPECT_TRUE(fs::exists(dir / "news" / "deep" / "caf\xC3\xA9.url"));
}

TEST(Exchange, FavoritesFolderRules) {
    const auto dir = test::FreshDir("favrules");
    WriteAll(dir / "keep.txt", "mine");
    WriteAll(dir / "Old" / "old.url", "[InternetShortcut]\r\nURL=http://old/\r\n");
    WriteAll(dir / "Other" / "photo.jpg", "jpg");
    WriteAll(dir / "Other" / "x.url", "[InternetShortcut]\r\nURL=http://x/\r\n");
    CategoryTree tree;
    Doc::WithRoot(tree);
    auto f = std::make_unique<TISFolder>();
    f->FolderName = "a/b:c";
    CategoryNode& cat = tree.AddChild(*tree.RootNode(), std::move(f));
    for (const char* url : {"http://first/", "http://second/"}) {
        TIShortcut& s = cat.Folder().Shortcuts.Add();
        s.Name = "Same";
        s.URL = url;
    }
    auto dots = std::make_unique<TISFolder>();
    dots->FolderName = "..";
    tree.AddChild(*tree.RootNode(), std::move(dots)).Folder().Shortcuts.Add().URL = "http://dots/";
    ExportFavoritesFolder(tree, dir.string());
    EXPECT_EQ(ReadAll(dir / "keep.txt"), "mine");
    EXPECT_FALSE(fs::exists(dir / "Old")) << "emptied folders go";
    EXPECT_TRUE(fs::exists(dir / "Other" / "photo.jpg")) << "other files stay, with their folder";
    EXPECT_FALSE(fs::exists(dir / "Other" / "x.url"));
    EXPECT_EQ(ReadAll(dir / "a_b_c" / "Same.url"), "[InternetShortcut]\r\nURL=http://second/\r\n");
    EXPECT_TRUE(fs::exists(dir / "__" / "_.url")) << "never outside the folder";
    EXPECT_FALSE(fs::exists(dir.parent_path() / "_.url"));
    EXPECT_EQ(FavoritesFileName(std::string(300, 'x') + "yz", 255).size(), 255u);
    EXPECT_EQ(FavoritesFileName(std::string(300, 'x') + "yz", 255).substr(253), "yz");
}

TEST(Exchange, FavoritesReaderRules) {
    const auto dir = test::FreshDir("favread");
    WriteAll(dir / "Site One.URL", "[internetshortcut]\r\nurl = http://one/ \r\n");
    WriteAll(dir / "Empty.url", "[InternetShortcut]\r\nIconFile=x\r\n");
    WriteAll(dir / "notes.txt", "URL=http://not/\r\n");
    WriteAll(dir / "news" / "a.url", "[InternetShortcut]\nURL=http://a/\n");
    WriteAll(dir / "Wide.url",
             "[InternetShortcut]\r\nURL=http://?.?/\r\n[InternetShortcut.W]\r\nURL=http://+BDwEPgRCBD4-.+BEAERA-/\r\n");
    Doc doc;
    auto existing = std::make_unique<TISFolder>();
    existing->FolderName = "NEWS";
    CategoryNode& news = doc.tree.AddChild(*doc.tree.RootNode(), std::move(existing));
    ImportFavoritesFolder(dir.string(), *doc.tree.RootNode(), doc.Target());
    const TShortcuts& root = doc.tree.RootNode()->Folder().Shortcuts;
    ASSERT_EQ(root.Count(), 2u);
    EXPECT_EQ(root[0].Name, "site one");
    EXPECT_EQ(root[0].URL, "http://one/");
    EXPECT_TRUE(root[0].Keywords.IndexOf("Internet Explorer") >= 0);
    EXPECT_EQ(root[1].URL, "http://\xD0\xBC\xD0\xBE\xD1\x82\xD0\xBE.\xD1\x80\xD1\x84/")
        << "the UTF-7 value is preferred";
    EXPECT_EQ(doc.tree.RootNode()->ChildCount(), 1u) << "NEWS takes the news folder";
    EXPECT_EQ(news.Folder().Shortcuts.Count(), 1u);
    EXPECT_TRUE(news.Folder().New);
    EXPECT_EQ(news.Image(), NodeImage::NewByImport);
}

TEST(Exchange, NetscapeReaderRules) {
    Doc doc;
    // Folders found again by name at their depth under another parent; empty heading; a whole
    // file on one line with lower-case tags, attributes in any order and quotes of both kinds.
    auto other = std::make_unique<TISFolder>();
    other->FolderName = "Elsewhere";
    CategoryNode& elsewhere = doc.tree.AddChild(*doc.tree.RootNode(), std::move(other));
    ReadNetscapeBookmarks(
        "<dl><p><dt><h3 ADD_DATE='1'>Elsewhere</h3><dl><dt><a add_date=1 HREF='http://x/?a=1&amp;b=2'>"
        "Tom &amp; Jerry &#39;s &lt;b&gt; &#x41;&#66; R&D</a></dl><dt><H3></H3><DL><DT><A HREF=\"http://"
        "y/\"\n>Y</A></DL><DT><A HREF=http://z/>z</a></dl>",
        doc.Target());
    ASSERT_EQ(elsewhere.Folder().Shortcuts.Count(), 1u);
    EXPECT_EQ(elsewhere.Folder().Shortcuts[0].URL, "http://x/?a=1&b=2");
    EXPECT_EQ(elsewhere.Folder().Shortcuts[0].Name, "Tom & Jerry 's <b> AB R&D");
    CategoryNode* unnamed = doc.Target().FindCategoryByName(kRootFolderName, 1);
    ASSERT_NE(unnamed, nullptr);
    EXPECT_EQ(unnamed->Folder().Shortcuts[0].URL, "http://y/");
    EXPECT_EQ(doc.tree.RootNode()->Folder().Shortcuts[0].URL, "http://z/");
    EXPECT_EQ(unnamed->Folder().Keywords.Items(), std::vector<std::string>{"Netscape"});

    // The same file again adds nothing and marks nothing new.
    doc.tree.ForEach([](CategoryNode& n) {
        n.Folder().New = false;
        n.SetImage(NodeImage::Normal);
    });
    const std::size_t before = doc.tree.ShortcutCount();
    ReadNetscapeBookmarks("<DL><DT><H3>elsewhere</H3><DL><DT><A HREF=\"HTTP://X/?a=1&b=2\">x</A></DL></DL>",
                          doc.Target());
    EXPECT_EQ(doc.tree.ShortcutCount(), before);
    doc.tree.ForEach([](CategoryNode& n) { EXPECT_FALSE(n.Folder().New) << n.Text(); });

    EXPECT_THROW(ImportNetscapeBookmarks("/no/such/Bookmarks.HTML", doc.Target()), ELynkora);
    try {
        ImportNetscapeBookmarks(test::FreshDir("nsdir").string(), doc.Target());
    } catch (const ELynkora& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Lynkora could not find a Netscape bookmarks file      \nin the folder specified.\n\n", 0), 0u);
    }
}

// Blanks in names and addresses: runs of spaces, tabs and line ends become one space, none at
// either end, wherever they fall in the eight-byte steps of the scan; other control characters
// and letters beyond ASCII are kept as they are.
TEST(Exchange, NetscapeTextsCollapseTheirBlanks) {
    Doc doc;
    ReadNetscapeBookmarks(
        "<DL><DT><A HREF=\"  http://example.org/a-long-path/with\tno-end  \">\r\n  Tom\t\t&amp;\n"
        "Jerry   </A><DT><A HREF=\"http://example.org/abcdefgh\x01ijklmnop/\">"
        "abcdefghijklmno p\xc3\xa9 \n\n qrstuvwxyzabcdefgh\x7f \t</A><DT><A HREF=\"http://e/\">"
        " \t\r\n </A></DL>",
        doc.Target());
    const TShortcuts& links = doc.tree.RootNode()->Folder().Shortcuts;
    ASSERT_EQ(links.Count(), 3u);
    EXPECT_EQ(links[0].URL, "http://example.org/a-long-path/with no-end");
    EXPECT_EQ(links[0].Name, "Tom & Jerry");
    EXPECT_EQ(links[1].URL, "http://example.org/abcdefgh\x01ijklmnop/");
    EXPECT_EQ(links[1].Name, "abcdefghijklmno p\xc3\xa9 qrstuvwxyzabcdefgh\x7f");
    EXPECT_EQ(links[2].URL, "http://e/");
    EXPECT_TRUE(links[2].Name.empty());
}

// Thousands of links into one category: URLs met again in another case are skipped however
// large the category's index has grown, and the keyword every link shares stays its own.
TEST(Exchange, LargeImportsSkipRepeatedUrlsAndShareTheirKeyword) {
    Doc doc;
    TIShortcut& before = doc.tree.RootNode()->Folder().Shortcuts.Add();
    before.URL = "http://host/page-7";
    std::string page = "<dl>";
    for (int i = 0; i < 5000; ++i) {
        page += "<dt><a href='http://host/page-" + std::to_string(i) + "'>" + std::to_string(i) + "</a>";
        if (i % 10 == 0)
            page += "<dt><a href='HTTP://HOST/Page-" + std::to_string(i / 2) + "'>again</a>";
    }
    page += "</dl>";
    ReadNetscapeBookmarks(page, doc.Target());
    const TShortcuts& shortcuts = doc.tree.RootNode()->Folder().Shortcuts;
    ASSERT_EQ(shortcuts.Count(), 5000u);
    EXPECT_EQ(shortcuts[0].URL, "http://host/page-7");
    EXPECT_TRUE(shortcuts[0].Keywords.Empty());
    for (std::size_t i = 1; i < shortcuts.Count(); ++i)
        ASSERT_NE(shortcuts[i].Name, "again") << i;

    TIShortcut& edited = doc.tree.RootNode()->Folder().Shortcuts[1];
    edited.Keywords.Add("mine");
    EXPECT_EQ(edited.Keywords.Items(), (std::vector<std::string>{"mine", "Netscape"}));
    EXPECT_EQ(shortcuts[2].Keywords.Items(), std::vector<std::string>{"Netscape"});
}

TEST(Exchange, EncodingsOfBookmarkFiles) {
    EXPECT_EQ(DecodeHtmlFile("\xEF\xBB\xBFx\xC3\xA9"), "x\xC3\xA9");
    EXPECT_EQ(DecodeHtmlFile(std::string("\xFF\xFEx\x00\xE9\x00", 6)), "x\xC3\xA9");
    EXPECT_EQ(DecodeHtmlFile("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=KOI8-R\">\xC1"),
              "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=KOI8-R\">\xD0\xB0");
    EXPECT_EQ(DecodeHtmlFile("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(DecodeEntities("a &amp b &#0; &unknown; &#x1F600;"), "a &amp b &#0; &unknown; \xF0\x9F\x98\x80");
    EXPECT_EQ(DecodeUtf7("a+-b+AOk-c"), "a+b\xC3\xA9" "c");
}

TEST(Exchange, OperaReaderRules) {
    Doc doc;
    ReadOperaHotlist(
        "Opera Hotlist version 2.0\nOptions: encoding = utf8, version=3\n\n"
        "#FOLDER\n\tID=1\n\tNAME=Tech - News\n\tCREATED=1\n\tDESCRIPTION=about\n\n"
        "#URL\n\tID=2\n\tNAME=Site - one\n\tURL=http://a-b/\n\tDESCRIPTION=d\n\n"
        "#URL\n\tNAME=empty\n\tURL=\n\n"
        "#SEPERATOR\n\tID=9\n\n"
        "-\n\n"
        "#FOLDER\n\tNAME=Trash\n\tTRASH FOLDER=YES\n\n#URL\n\tNAME=gone\n\tURL=http://gone/\n\n-\n\n"
        "#DELETED\n\tNAME=x\n\tURL=http://deleted/\n\n"
        "#URL\n\tNAME=top\n\tURL=http://top/\n\n",
        doc.Target());
    CategoryNode* tech = doc.Target().FindCategoryByName("Tech - News", 1);
    ASSERT_NE(tech, nullptr);
    EXPECT_EQ(tech->Folder().Descr, "about");
    ASSERT_EQ(tech->Folder().Shortcuts.Count(), 1u);
    EXPECT_EQ(tech->Folder().Shortcuts[0].Name, "Site - one");
    EXPECT_EQ(tech->Folder().Shortcuts[0].Descr, "d");
    const TShortcuts& root = doc.tree.RootNode()->Folder().Shortcuts;
    ASSERT_EQ(root.Count(), 1u);
    EXPECT_EQ(root[0].URL, "http://top/");
    EXPECT_EQ(doc.tree.NodeCount(), 2u);
}

TEST(Exchange, HtmlLinkScanAndClassicFiles) {
    const auto dir = test::FreshDir("scan");
    WriteAll(dir / "page.html",
             "<a href=\"mailto:x@y\">m</a><A HREF=\"#top\">t</A>\n"
             "<A HREF=\"sub/../docs/./page.html#frag\">r</A> <a href='single.html'>s</a>\n"
             "<A HREF=\"http://Example.org/X\">x</A><A HREF=\"file:///home/u/f.html\">f</A>\n");
    std::vector<std::string> links;
    ScanHtmlLinks(links, "/base/", (dir / "page.html").string());
    // "file:///" goes first, so what is left counts as relative.
    EXPECT_EQ(links, (std::vector<std::string>{"/base/docs/page.html", "http://Example.org/X",
                                               "/base/home/u/f.html"}));
    ScanHtmlLinks(links, "/base/", (dir / "missing.html").string());
    EXPECT_EQ(links.size(), 3u);

    WriteAll(dir / "old.ldb",
             "header\n<table>\n<h3 class=x><strong>Top</strong></h3>\n"
             "<a href=\"http://a/\" DATE_ADD=\"36892.5\" DATE_VI=\"x\" CNT=\"7\">Link A</a>\n"
             "<table style=\"margin-left: 20\">\n<h3><strong>Inner</strong></h3>\n"
             "<a href=\"http://b/\">B</a>\n");
    PreviewEntry file(PreviewEntry::Kind::File, "old.ldb");
    LoadClassicDataFile((dir / "old.ldb").string(), file);
    ASSERT_EQ(file.Children().size(), 1u);
    const PreviewEntry& top = *file.Children()[0];
    EXPECT_EQ(top.Text(), "Top");
    ASSERT_EQ(top.Folder()->Shortcuts.Count(), 1u);
    EXPECT_EQ(top.Folder()->Shortcuts[0].Added, 36892.5);
    EXPECT_EQ(top.Folder()->Shortcuts[0].Access, 0.0);
    EXPECT_EQ(top.Folder()->Shortcuts[0].Count, 7);
    EXPECT_EQ(top.Folder()->Shortcuts[0].Name, "Link A");
    ASSERT_EQ(top.Children().size(), 1u);
    EXPECT_EQ(top.Children()[0]->Text(), "Inner");
}

TEST(Exchange, ProfileFilesBehaveLikeTheSystemsOnes) {
    const auto dir = test::FreshDir("profile");
    const std::string path = (dir / "x.url").string();
    WriteAll(path, "[DEFAULT]\nBASEURL=http://base/\n[InternetShortcut]\nurl=http://old/\nIconIndex=0\n");
    ProfileFile p(path);
    EXPECT_EQ(p.Read("internetshortcut", "URL"), "http://old/");
    EXPECT_EQ(p.Read("Missing", "URL"), "");
    p.Write("InternetShortcut", "URL", "http://new/");
    p.Write("InternetShortcut", "Added", "1");
    p.Write("Other", "K", "v");
    ASSERT_TRUE(p.Save());
    EXPECT_EQ(ReadAll(path), "[DEFAULT]\r\nBASEURL=http://base/\r\n[InternetShortcut]\r\nurl=http://new/\r\n"
                             "IconIndex=0\r\nAdded=1\r\n[Other]\r\nK=v\r\n");
}

TEST(Exchange, DataFilePreview) {
    const auto dir = test::FreshDir("preview");
    const std::string path = (dir / "other.lyx").string();
    {
        cfb::Storage root = cfb::CreateCompoundFile(path);
        root.CreateStorage("ROOTFOLDER");
        cfb::Storage folders = root.OpenStorage("ROOTFOLDER");
        TISFolder top;
        top.FolderName = "Top";
        top.Shortcuts.Add().URL = "http://root-link/";
        folders.CreateStream("DATA").Write(ObjectStream::WriteObject(top));
        TISFolder child;
        child.FolderName = "Child";
        child.Exclude = true;
        child.Shortcuts.Add().URL = "http://child-link/";
        cfb::Storage own = folders.CreateStorage("FL00000001");
        own.CreateStream("DATA").Write(ObjectStream::WriteObject(child));
        own.CreateStorage("FL00000002"); // no DATA: skipped
        root.Close();
    }
    PreviewEntry file(PreviewEntry::Kind::File, "other.lyx");
    LoadDataFileTree(path, file);
    ASSERT_NE(file.Folder(), nullptr);
    EXPECT_EQ(file.Folder()->FolderName, "Top");
    ASSERT_EQ(file.Children().size(), 2u);
    EXPECT_EQ(file.Children()[0]->EntryKind(), PreviewEntry::Kind::Shortcut);
    EXPECT_EQ(file.Children()[0]->Text(), "http://root-link/");
    const PreviewEntry& child = *file.Children()[1];
    EXPECT_EQ(child.Text(), "Child");
    EXPECT_EQ(child.Folder()->FolderID, "FL00000001");
    EXPECT_FALSE(child.Folder()->Exclude);
    ASSERT_EQ(child.Children().size(), 1u);
    EXPECT_EQ(child.Children()[0]->ShortcutID(), 0u);

    std::ofstream(dir / "text.lyx") << "not a data file";
    PreviewEntry bad(PreviewEntry::Kind::File, "text.lyx");
    EXPECT_THROW(LoadDataFileTree((dir / "text.lyx").string(), bad), ELynkora);
}

namespace {

// Folders of one name under different parents, a deep chain, shortcuts in the root.
void FillSameNames(CategoryTree& tree) {
    auto add = [&](CategoryNode& parent, const std::string& name) -> CategoryNode& {
        auto f = std::make_unique<TISFolder>();
        f->FolderName = name;
        return tree.AddChild(parent, std::move(f));
    };
    auto link = [](CategoryNode& node, const std::string& name) {
        TIShortcut& s = node.Folder().Shortcuts.Add();
        s.Name = name;
        s.URL = "http://example.org/" + name;
    };
    CategoryNode& root = *tree.RootNode();
    link(root, "top1");
    link(root, "top2");
    CategoryNode& ax = add(add(root, "a"), "x");
    link(ax, "ax1");
    CategoryNode& bx = add(add(root, "b"), "x");
    link(bx, "bx1");
    link(add(bx, "x"), "bxx1"); // and once more one level down
    CategoryNode* deep = &root;
    for (int i = 0; i < 12; ++i)
        deep = &add(*deep, "level" + std::to_string(i));
    link(*deep, "bottom");
}

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(Exchange, SameNamedFoldersUnderOtherParentsStayApartInEveryFormat) {
    CategoryTree source;
    Doc::WithRoot(source);
    FillSameNames(source);
    const auto dir = test::FreshDir("samenames");
    ASSERT_TRUE(ExportNetscapeBookmarks(source, (dir / "plain.html").string()));
    std::mt19937 random(1);
    ASSERT_TRUE(ExportMozillaBookmarks(source, (dir / "later.html").string(), random));
    ASSERT_TRUE(ExportOperaHotlist(source, (dir / "hotlist.adr").string()));
    ExportFavoritesFolder(source, (dir / "Favorites").string());

    // The plain style is balanced now: one root list, closed once.
    const std::string plain = ReadAll(dir / "plain.html");
    EXPECT_EQ(Count(plain, "<DL><P>"), Count(plain, "</DL><P>"));
    EXPECT_EQ(plain.substr(plain.size() - 20), "</DL><P>\r\n</DL><P>\r\n");

    auto importInto = [&](Doc& doc, const std::string& format) {
        if (format == "opera")
            ImportOperaHotlist((dir / "hotlist.adr").string(), doc.Target());
        else if (format == "favorites")
            ImportFavoritesFolder((dir / "Favorites").string(), *doc.tree.RootNode(), doc.Target());
        else
            ImportNetscapeBookmarks((dir / format).string(), doc.Target());
    };
    for (const std::string format : {"plain.html", "later.html", "opera", "favorites"}) {
        Doc doc;
        importInto(doc, format);
        EXPECT_EQ(Contents(doc.tree), Contents(source)) << format;
        // A second import of the same file finds every folder where it is and adds nothing.
        const int writes = doc.writes;
        const std::size_t nodes = doc.tree.NodeCount();
        for (CategoryNode* n : doc.tree.PreOrder()) {
            n->SetImage(NodeImage::Normal);
            n->Folder().New = false;
        }
        importInto(doc, format);
        EXPECT_EQ(doc.tree.NodeCount(), nodes) << format;
        EXPECT_EQ(doc.writes, writes) << format;
        EXPECT_EQ(Contents(doc.tree), Contents(source)) << format;
        for (CategoryNode* n : doc.tree.PreOrder())
            EXPECT_EQ(n->Image(), NodeImage::Normal) << format << " " << n->Text();
    }
}

TEST(Exchange, ThePlainStyleOfEarlierVersionsReadsTheSame) {
    // Written before the root list was balanced: the root's list closed after its own links.
    const std::string old =
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<TITLE>Lynkora Internet Shortcuts</TITLE>\r\n"
        "<H1>Lynkora 4.0 Internet Shortcuts</H1>\r\n\r\n<DL><P>\r\n"
        "<DT><A HREF=\"http://example.org/top1\">top1</A>\r\n</DL><P>\r\n"
        "<DT><H3>a</H3>\r\n<DL><P>\r\n<DT><H3>x</H3>\r\n<DL><P>\r\n"
        "<DT><A HREF=\"http://example.org/ax1\">ax1</A>\r\n</DL><P>\r\n</DL><P>\r\n"
        "<DT><H3>b</H3>\r\n<DL><P>\r\n<DT><A HREF=\"http://example.org/b1\">b1</A>\r\n</DL><P>\r\n"
        "</DL><P>\r\n";
    const auto dir = test::FreshDir("oldplain");
    WriteAll(dir / "old.html", old);
    Doc doc;
    ImportNetscapeBookmarks((dir / "old.html").string(), doc.Target());
    EXPECT_EQ(Contents(doc.tree), (std::multiset<std::string>{"C", "S|top1|http://example.org/top1", "C\\a",
                                                              "C\\a\\x", "S\\a\\x|ax1|http://example.org/ax1",
                                                              "C\\b", "S\\b|b1|http://example.org/b1"}));
}

TEST(Exchange, TheFavoritesFolderIsNeverLeftThroughALink) {
    const auto dir = test::FreshDir("favlinks");
    const fs::path favorites = dir / "Favorites", elsewhere = dir / "elsewhere";
    fs::create_directories(favorites / "old");
    fs::create_directories(elsewhere);
    WriteAll(favorites / "notes.url.txt", "mine");
    WriteAll(favorites / "old" / "gone.url", "[InternetShortcut]\r\nURL=http://old/\r\n");
    WriteAll(elsewhere / "precious.url", "[InternetShortcut]\r\nURL=http://precious/\r\n");
    fs::create_symlink(elsewhere / "precious.url", favorites / "link.url");
    fs::create_symlink(elsewhere, favorites / "linked");

    CategoryTree source;
    Doc::WithRoot(source);
    Fill(source);
    ExportFavoritesFolder(source, favorites.string());
    EXPECT_EQ(ReadAll(favorites / "notes.url.txt"), "mine") << "not a shortcut file";
    EXPECT_FALSE(fs::exists(favorites / "old")) << "our old shortcuts and their emptied folder go";
    EXPECT_TRUE(fs::is_symlink(favorites / "link.url")) << "a link is not removed";
    EXPECT_TRUE(fs::exists(elsewhere / "precious.url"));
    EXPECT_TRUE(fs::is_symlink(favorites / "linked"));

    // A category whose folder would be a link to elsewhere: refused, nothing written there.
    auto cat = std::make_unique<TISFolder>();
    cat->FolderName = "linked";
    CategoryNode& linked = source.AddChild(*source.RootNode(), std::move(cat));
    linked.Folder().Shortcuts.Add().Name = "intruder";
    EXPECT_THROW(ExportFavoritesFolder(source, favorites.string()), ELynkora);
    EXPECT_FALSE(fs::exists(elsewhere / "intruder.url"));
    EXPECT_EQ(std::distance(fs::directory_iterator(elsewhere), fs::directory_iterator()), 1);

    // Reading does not follow links either: a loop adds no nested copies.
    fs::create_symlink(".", favorites / "loop");
    Doc doc;
    ImportFavoritesFolder(favorites.string(), *doc.tree.RootNode(), doc.Target());
    EXPECT_EQ(doc.Target().FindChild(*doc.tree.RootNode(), "loop"), nullptr);
    EXPECT_EQ(doc.Target().FindChild(*doc.tree.RootNode(), "linked"), nullptr);
    EXPECT_EQ(Contents(doc.tree).count("S|link|http://precious/"), 0u);
}
