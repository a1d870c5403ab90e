// Bookmark files made to hurt: every reader is linear in its input, nesting beyond what the tree
// holds is flattened (with a note), unreadable files are errors, and odd but honest files read.
#include "ImportDoc.h"
#include "support/TestPaths.h"

#include "exchange/FavoritesFolder.h"
#include "exchange/NetscapeReader.h"
#include "exchange/OperaReader.h"
#include "exchange/PreviewReaders.h"
#include "exchange/TextDecoding.h"
#include "store/Errors.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace lynkora;
using lynkora::test::Doc;
namespace fs = std::filesystem;

namespace {

int MaxDepth(const CategoryTree& tree) {
    int deepest = 0;
    tree.ForEach([&](CategoryNode& n) { deepest = std::max(deepest, n.Depth()); });
    return deepest;
}

void ExpectFlattened(Doc& doc, std::size_t links) {
    EXPECT_EQ(MaxDepth(doc.tree), ImportTarget::kMaxDepth);
    EXPECT_EQ(doc.tree.NodeCount(), static_cast<std::size_t>(ImportTarget::kMaxDepth) + 1);
    EXPECT_EQ(doc.tree.ShortcutCount(), links) << "no bookmark is lost";
    ASSERT_EQ(doc.Target().Notes().size(), 1u);
    EXPECT_NE(doc.Target().Notes()[0].find("deeper than 256 levels"), std::string::npos);
}

// Removes a folder tree through handles, as no path reaches its bottom.
void RemoveDeep(int parent, const std::string& name) {
    const int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (fd < 0)
        return;
    DIR* dir = ::fdopendir(::dup(fd));
    std::vector<std::pair<std::string, bool>> entries;
    while (const dirent* e = ::readdir(dir))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
            entries.emplace_back(e->d_name, e->d_type == DT_DIR);
    ::closedir(dir);
    for (const auto& [entry, isDir] : entries) {
        if (isDir)
            RemoveDeep(fd, entry);
        else
            ::unlinkat(fd, entry.c_str(), 0);
    }
    ::close(fd);
    ::unlinkat(parent, name.c_str(), AT_REMOVEDIR);
}

} // namespace

TEST(HostileInput, DeepNestingIsFlattenedAndLinear) {
    constexpr int kLevels = 100000;
    std::string netscape = "<DL><p>\n";
    std::string opera = "Opera Hotlist version 2.0\n\n";
    for (int i = 0; i < kLevels; ++i) {
        netscape += "<DT><H3>f" + std::to_string(i) + "</H3>\n<DL><p>\n<DT><A HREF=\"http://x/" + std::to_string(i) + "\">l</A>\n";
        opera += "#FOLDER\n\tNAME=f" + std::to_string(i) + "\n\n#URL\n\tNAME=l\n\tURL=http://x/" + std::to_string(i) + "\n\n";
    }
    for (int i = 0; i < kLevels; ++i) {
        netscape += "</DL><p>\n";
        opera += "-\n";
    }
    // After the deep branch, the next folder is a child of the root again.
    netscape += "<DT><H3>after</H3>\n<DL><p><DT><A HREF=\"http://after/\">a</A></DL>\n</DL>\n";
    opera += "#FOLDER\n\tNAME=after\n\n#URL\n\tURL=http://after/\n\n-\n";
    for (const bool isOpera : {false, true}) {
        Doc doc;
        if (isOpera)
            ReadOperaHotlist(opera, doc.Target());
        else
            ReadNetscapeBookmarks(netscape, doc.Target());
        EXPECT_EQ(doc.tree.ShortcutCount(), static_cast<std::size_t>(kLevels) + 1) << isOpera;
        CategoryNode* after = doc.Target().FindChild(*doc.tree.RootNode(), "after");
        ASSERT_NE(after, nullptr) << isOpera;
        EXPECT_EQ(after->Folder().Shortcuts.Count(), 1u);
        EXPECT_EQ(MaxDepth(doc.tree), ImportTarget::kMaxDepth);
    }
}

TEST(HostileInput, TenMillionAmpersandsAndTheWholeEntityTable) {
    Doc doc;
    ReadNetscapeBookmarks("<DL><DT><A HREF=\"http://x/\">" + std::string(10'000'000, '&') + "</A></DL>", doc.Target());
    ASSERT_EQ(doc.tree.RootNode()->Folder().Shortcuts.Count(), 1u);
    EXPECT_EQ(doc.tree.RootNode()->Folder().Shortcuts[0].Name.size(), 10'000'000u);

    EXPECT_EQ(DecodeEntities("a &ndash; b"), "a \xE2\x80\x93 b");
    EXPECT_EQ(DecodeEntities("caf&eacute;&nbsp;&amp;&lt;"), "caf\xC3\xA9\xC2\xA0&<");
    EXPECT_EQ(DecodeEntities("&CounterClockwiseContourIntegral;"), "\xE2\x88\xB3");
    EXPECT_EQ(DecodeEntities("&NotEqualTilde;"), "\xE2\x89\x82\xCC\xB8"); // two code points
    EXPECT_EQ(DecodeEntities("&nosuch; &amp &#x41;&#66;"), "&nosuch; &amp AB");
    EXPECT_EQ(DecodeEntities("?a=1&copy=2"), "?a=1&copy=2") << "without its \";\" it is no reference";
}

TEST(HostileInput, HotlistsInUtf16AndWithCarriageReturnsRead) {
    const std::string text = "Opera Hotlist version 2.0\r\r#FOLDER\r\tNAME=Caf\xC3\xA9\r\r#URL\r\tNAME=one\r\tURL=http://one/\r\r-\r";
    Doc cr;
    ReadOperaHotlist(text, cr.Target());
    CategoryNode* folder = cr.Target().FindChild(*cr.tree.RootNode(), "Caf\xC3\xA9");
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->Folder().Shortcuts.Count(), 1u);

    // UTF-16 with its byte order mark, both byte orders.
    for (const bool little : {true, false}) {
        std::string wide = little ? "\xFF\xFE" : "\xFE\xFF";
        const std::u16string units = u"Opera Hotlist version 2.0\r\n\r\n#URL\r\n\tNAME=\u00e9t\u00e9\r\n\tURL=http://wide/\r\n\r\n";
        for (char16_t u : units) {
            const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
            wide += little ? std::string{lo, hi} : std::string{hi, lo};
        }
        Doc doc;
        ReadOperaHotlist(wide, doc.Target());
        ASSERT_EQ(doc.tree.RootNode()->Folder().Shortcuts.Count(), 1u) << little;
        EXPECT_EQ(doc.tree.RootNode()->Folder().Shortcuts[0].Name, "\xC3\xA9t\xC3\xA9");
        EXPECT_EQ(doc.tree.RootNode()->Folder().Shortcuts[0].URL, "http://wide/");
    }
}

TEST(HostileInput, UnreadableFilesAreErrors) {
    const fs::path dir = test::FreshDir("unreadable");
    const fs::path netscape = dir / "bookmarks.html", opera = dir / "hot.adr";
    std::ofstream(netscape) << "<DL><DT><A HREF=\"http://x/\">x</A></DL>";
    std::ofstream(opera) << "Opera Hotlist version 2.0\n\n#URL\n\tURL=http://x/\n";
    ::chmod(netscape.c_str(), 0);
    ::chmod(opera.c_str(), 0);
    const bool root = ::geteuid() == 0; // root reads anything; the folder case still stands
    Doc doc;
    if (!root) {
        EXPECT_THROW(ImportNetscapeBookmarks(netscape.string(), doc.Target()), ELynkora);
        EXPECT_THROW(ImportOperaHotlist(opera.string(), doc.Target()), ELynkora);
    }
    // A folder given where a file is expected, and a FIFO, are refused at once.
    const fs::path folder = dir / "folder.html";
    fs::create_directories(folder);
    try {
        ImportNetscapeBookmarks(folder.string(), doc.Target());
        ADD_FAILURE() << "a folder read as a bookmark file";
    } catch (const ELynkora& e) {
        EXPECT_NE(std::string(e.what()).find("not a regular file"), std::string::npos) << e.what();
    }
    const fs::path fifo = dir / "pipe.adr";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(ImportOperaHotlist(fifo.string(), doc.Target()), ELynkora);
    EXPECT_EQ(doc.tree.ShortcutCount(), 0u);
    // A favourites folder that is not there is an error too, not an empty import.
    EXPECT_THROW(ImportFavoritesFolder((dir / "none").string(), *doc.tree.RootNode(), doc.Target()), ELynkora);
}

TEST(HostileInput, AFavoritesFolderThreeThousandDeepLosesNothing) {
    const fs::path top = test::FreshDir("deepfavorites") / "Favorites";
    fs::create_directories(top);
    // Built with handles, as no path to the bottom fits the system's limit.
    int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    constexpr int kLevels = 3000;
    for (int i = 0; i < kLevels; ++i) {
        const std::string name = "level-" + std::to_string(i);
        ASSERT_EQ(::mkdirat(fd, name.c_str(), 0700), 0);
        const int file = ::openat(fd, "s.url", O_WRONLY | O_CREAT, 0600);
        const std::string text = "[InternetShortcut]\r\nURL=http://x/" + std::to_string(i) + "\r\n";
        ASSERT_EQ(::write(file, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        ::close(file);
        const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    ::close(fd);
    Doc doc;
    ImportFavoritesFolder(top.string(), *doc.tree.RootNode(), doc.Target());
    ExpectFlattened(doc, kLevels);
    RemoveDeep(AT_FDCWD, top.string());
    EXPECT_FALSE(fs::exists(top));
}

// A shortcut file of a gigabyte (sparse: it takes no disk) is read no further than a shortcut
// file can reach; its shortcut comes in, and the import's memory stays small.
TEST(HostileInput, AHugeShortcutFileIsReadOnlyAsFarAsAShortcutGoes) {
    const fs::path top = test::FreshDir("hugefavorites") / "Favorites";
    fs::create_directories(top);
    const fs::path big = top / "Big.url";
    std::ofstream(big) << "[InternetShortcut]\r\nURL=http://big.example/\r\n";
    fs::resize_file(big, std::uintmax_t(1) << 30);
    struct rusage before {};
    ::getrusage(RUSAGE_SELF, &before);
    Doc doc;
    ImportFavoritesFolder(top.string(), *doc.tree.RootNode(), doc.Target());
    struct rusage after {};
    ::getrusage(RUSAGE_SELF, &after);
    ASSERT_EQ(doc.tree.RootNode()->Folder().Shortcuts.Count(), 1u);
    EXPECT_EQ(doc.tree.RootNode()->Folder().Shortcuts[0].URL, "http://big.example/");
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 100 * 1024) << "kilobytes more at the peak";
}

// Pages and old data files to import are regular files that exist: a missing one is said so,
// a FIFO or a device is refused rather than waited on or read for ever; a page whose links all
// stand on one line is read in one pass.
TEST(HostileInput, ImportedPagesAndOldDataFiles) {
    const fs::path dir = test::FreshDir("pages");
    const std::string fifo = (dir / "links.html").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::vector<std::string> links;
    PreviewEntry entry(PreviewEntry::Kind::File, "old.ldb");
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        EXPECT_THROW(ScanHtmlLinks(links, dir.string() + "/", path), ELynkora) << path;
        EXPECT_THROW(LoadClassicDataFile(path, entry), ELynkora) << path;
    }
    EXPECT_THROW(LoadClassicDataFile((dir / "none.ldb").string(), entry), ELynkora) << "said, not an empty import";
    const std::string page = (dir / "one-line.html").string();
    {
        std::ofstream out(page);
        for (int i = 0; i < 100000; ++i)
            out << "<a href=\"http://x.example/" << i << "\">" << i << "</a> ";
    }
    ScanHtmlLinks(links, dir.string() + "/", page);
    ASSERT_EQ(links.size(), 100000u);
    EXPECT_EQ(links.back(), "http://x.example/99999");
}
