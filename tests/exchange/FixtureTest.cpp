// Bookmark stores that other programs wrote: every link arrives, decoded, in the category its
// format puts it in.
#include "support/TestPaths.h"

#include "exchange/FavoritesFolder.h"
#include "exchange/ImportTarget.h"
#include "exchange/NetscapeReader.h"
#include "exchange/OperaReader.h"
#include "exchange/ProfileFile.h"
#include "exchange/TextDecoding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

using namespace lynkora;
namespace fs = std::filesystem;

namespace {

fs::path Bookmarks(const char* sub) {
    const fs::path base = test::FixturesDir();
    return base.empty() ? fs::path() : base / "bookmarks" / sub;
}

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Lower(std::string s) {
    for (auto& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string Collapse(const std::string& s) {
    std::string out;
    bool blank = false;
    for (char c : s) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            blank = true;
            continue;
        }
        if (blank && !out.empty())
            out.push_back(' ');
        blank = false;
        out.push_back(c);
    }
    return out;
}

struct Imported {
    CategoryTree tree;
    std::set<std::string> urls; // lower case
    std::vector<std::string> names;
    int next = 1;
    std::unique_ptr<ImportTarget> target;
    Imported() {
        auto root = std::make_unique<TISFolder>();
        root->FolderName = kRootFolderName;
        tree.SetRoot(std::move(root));
        target = std::make_unique<ImportTarget>(tree, [this] { return "FL" + std::to_string(next++); },
                                                [](CategoryNode&) {});
    }
    void Collect() {
        tree.ForEach([&](CategoryNode& n) {
            for (const auto& s : n.Folder().Shortcuts) {
                urls.insert(Lower(s->URL));
                names.push_back(s->Name);
            }
        });
    }
};

} // namespace

TEST(BookmarkFixtures, NetscapeFilesArriveComplete) {
    const fs::path dir = Bookmarks("netscape");
    if (dir.empty() || !fs::exists(dir))
        GTEST_SKIP() << "bookmark fixtures are absent";
    // Independent of the reader: every HREF of an <A> tag, whatever its quoting.
    const std::regex href("<a\\s[^>]*?href\\s*=\\s*(\"([^\"]*)\"|'([^']*)'|([^\\s>]+))",
                          std::regex::icase);
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (name.find(".htm") == std::string::npos)
            continue;
        SCOPED_TRACE(name);
        const std::string bytes = ReadAll(e.path());
        Imported doc;
        ReadNetscapeBookmarks(bytes, *doc.target);
        doc.Collect();
        const std::string text = DecodeHtmlFile(bytes);
        int links = 0;
        for (std::sregex_iterator it(text.begin(), text.end(), href), end; it != end; ++it) {
            const std::string raw = (*it)[2].matched ? (*it)[2].str()
                                    : (*it)[3].matched ? (*it)[3].str() : (*it)[4].str();
            const std::string url = Collapse(DecodeEntities(raw));
            if (url.empty())
                continue;
            ++links;
            EXPECT_TRUE(doc.urls.count(Lower(url))) << url;
        }
        for (const auto& n : doc.names) {
            EXPECT_EQ(n.find("&amp;"), std::string::npos) << n;
            EXPECT_EQ(n.find("&quot;"), std::string::npos) << n;
            EXPECT_TRUE(IsValidUtf8(n)) << n;
        }
        ++files;
        (void)links;
    }
    EXPECT_GT(files, 30);
}

TEST(BookmarkFixtures, OperaHotlistsArriveComplete) {
    const fs::path dir = Bookmarks("opera");
    if (dir.empty() || !fs::exists(dir))
        GTEST_SKIP() << "bookmark fixtures are absent";
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (name.find(".md") != std::string::npos || name[0] == '.')
            continue;
        SCOPED_TRACE(name);
        const std::string bytes = ReadAll(e.path());
        Imported doc;
        ReadOperaHotlist(bytes, *doc.target);
        doc.Collect();
        // Every URL of a #URL block outside trash folders and deleted entries.
        const std::string text = DecodeEightBit(bytes);
        std::istringstream lines(text);
        std::string block;
        std::vector<bool> trashStack;
        for (std::string l; std::getline(lines, l);) {
            if (!l.empty() && l.back() == '\r')
                l.pop_back();
            const std::string t = Collapse(l);
            if (t == "-") {
                if (!trashStack.empty())
                    trashStack.pop_back();
                continue;
            }
            if (!t.empty() && t[0] == '#')
                block = t;
            if (t == "TRASH FOLDER=YES" && !trashStack.empty())
                trashStack.back() = true;
            if (block == "#FOLDER" && t == "#FOLDER")
                trashStack.push_back(!trashStack.empty() && trashStack.back());
            if (block == "#URL" && t.rfind("URL=", 0) == 0 && t.size() > 4) {
                bool trashed = false;
                for (bool b : trashStack)
                    trashed = trashed || b;
                std::string url = l.substr(l.find('=') + 1);
                while (!url.empty() && (url.back() == ' ' || url.back() == '\t'))
                    url.pop_back();
                while (!url.empty() && (url[0] == ' ' || url[0] == '\t'))
                    url.erase(0, 1);
                if (!trashed) {
                    EXPECT_TRUE(doc.urls.count(Lower(url))) << url;
                }
            }
        }
    }
}

TEST(BookmarkFixtures, FavoritesFoldersArriveComplete) {
    const fs::path dir = Bookmarks("url");
    if (dir.empty() || !fs::exists(dir))
        GTEST_SKIP() << "bookmark fixtures are absent";
    Imported doc;
    ImportFavoritesFolder(dir.string(), *doc.tree.RootNode(), *doc.target);
    doc.Collect();
    int files = 0, withUrl = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        if (!e.is_regular_file() || Lower(e.path().filename().string()).find(".url") == std::string::npos)
            continue;
        ++files;
        ProfileFile p(e.path().string());
        std::string url = p.Read("InternetShortcut.W", "URL");
        url = url.empty() ? DecodeEightBit(p.Read("InternetShortcut", "URL")) : DecodeUtf7(url);
        if (url.empty())
            continue;
        ++withUrl;
        EXPECT_TRUE(doc.urls.count(Lower(url))) << e.path();
    }
    EXPECT_GT(files, 20);
    EXPECT_GT(withUrl, 0);
    // The Russian favourite's authoritative address is the UTF-7 one, in Cyrillic.
    bool cyrillic = false;
    for (const auto& u : doc.urls)
        cyrillic = cyrillic || u.find("\xD0\xBC\xD0\xBE\xD1\x82\xD0\xBE\xD1\x80\xD0\xB5\xD0\xB7") != std::string::npos;
    EXPECT_TRUE(cyrillic);
}
