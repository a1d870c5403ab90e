// Firefox and Chromium profiles: bookmarks read from the browsers' own stores, the Chromium file
// written back, and the profiles found in a home folder.
#include "ImportDoc.h"

#include "support/TestFiles.h"
#include "support/TestPaths.h"

#include "exchange/BrowserProfiles.h"
#include "exchange/ChromiumProfile.h"
#include "exchange/FirefoxProfile.h"
#include "exchange/Synchronize.h"
#include "store/Errors.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <csignal>
#include <filesystem>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

using namespace lynkora;
using lynkora::test::Doc;

namespace {

namespace fs = std::filesystem;

void Exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "") << "\n" << sql;
}

// The tables Firefox keeps bookmarks in, with its fixed roots.
const char* const kSchema = R"(
PRAGMA journal_mode=WAL;
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, rev_host LONGVARCHAR,
  visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, typed INTEGER DEFAULT 0 NOT NULL,
  frecency INTEGER DEFAULT -1 NOT NULL, last_visit_date INTEGER, guid TEXT, foreign_count INTEGER DEFAULT 0 NOT NULL,
  url_hash INTEGER DEFAULT 0 NOT NULL, description TEXT, preview_image_url TEXT, origin_id INTEGER);
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL, parent INTEGER,
  position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT, dateAdded INTEGER, lastModified INTEGER,
  guid TEXT, syncStatus INTEGER NOT NULL DEFAULT 0, syncChangeCounter INTEGER NOT NULL DEFAULT 1);
CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY AUTOINCREMENT, keyword TEXT UNIQUE, place_id INTEGER, post_data TEXT);
INSERT INTO moz_bookmarks (id, type, parent, position, title, guid, dateAdded) VALUES
  (1, 2, 0, 0, '', 'root________', 1), (2, 2, 1, 0, 'menu', 'menu________', 1),
  (3, 2, 1, 1, 'toolbar', 'toolbar_____', 1), (4, 2, 1, 2, 'tags', 'tagsfolder_____', 1),
  (5, 2, 1, 3, 'unfiled', 'unfiled_____', 1), (6, 2, 1, 4, 'mobile', 'mobile______', 1);
)";

// 2020-09-13 12:26:40 UTC in Firefox's microseconds.
constexpr long long kAdded = 1600000000000000LL;

std::string MakePlaces(const fs::path& profile) {
    fs::create_directories(profile);
    const std::string path = (profile / "places.sqlite").string();
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    Exec(db, kSchema);
    Exec(db, "INSERT INTO moz_places (id, url, title, description) VALUES "
             "(1, 'http://a.example/', 'A', NULL), (2, 'http://notitle.example/', NULL, NULL),"
             "(3, 'http://deep.example/', 'Deep link', NULL), (4, 'http://top.example/', 'Top', 'About top'),"
             "(5, 'http://bar.example/', 'Bar', NULL), (6, 'http://other.example/', 'Other', NULL);");
    const std::string a = std::to_string(kAdded);
    Exec(db, "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid, dateAdded) VALUES "
             "(10, 2, NULL, 2, 1, 'Reading', 'reading_____', " + a + "),"
             "(11, 1, 1, 10, 0, '\xC3\x84rzte & \xC3\x96kologie \xE2\x80\x94 \xE6\x97\xA5\xE6\x9C\xAC', 'bm1_________', " + a + "),"
             "(12, 3, NULL, 10, 1, NULL, 'sep1________', " + a + "),"
             "(13, 1, 2, 10, 2, NULL, 'bm2_________', " + a + "),"
             "(14, 2, NULL, 10, 3, 'Deep', 'deep________', " + a + "),"
             "(15, 1, 3, 14, 0, 'Deep link', 'bm3_________', " + a + "),"
             "(16, 1, 4, 2, 0, 'Top', 'bm4_________', " + a + "),"
             "(17, 1, 5, 3, 0, 'Bar link', 'bm5_________', " + a + "),"
             "(18, 1, 6, 5, 0, 'Other', 'bm6_________', " + a + "),"
             "(20, 2, NULL, 4, 0, 'news', 'tag1________', " + a + "),"
             "(21, 1, 1, 20, 0, NULL, 'tagged______', " + a + ");");
    Exec(db, "INSERT INTO moz_keywords (keyword, place_id) VALUES ('tp', 4);");
    sqlite3_close(db);
    return path;
}

std::vector<std::string> Keywords(const TIShortcut& s) { return s.Keywords.Items(); }

const char* const kChromium = R"({
   "checksum": "0123456789abcdef0123456789abcdef",
   "roots": {
      "bookmark_bar": { "children": [
         { "date_added": "13245000000000000", "id": "4", "name": "Docs", "type": "url", "url": "https://docs.example/" },
         { "children": [ { "date_added": "13245000000000000", "id": "6", "name": "Inner", "type": "url",
                           "url": "https://inner.example/" } ],
           "date_added": "13245000000000000", "id": "5", "name": "Work", "type": "folder" } ],
         "date_added": "13245000000000000", "id": "1", "name": "Bookmarks bar", "type": "folder" },
      "other": { "children": [
         { "date_added": "13245000000000000", "id": "7", "name": "Caf\u00e9", "type": "url", "url": "https://cafe.example/" } ],
         "date_added": "13245000000000000", "id": "2", "name": "Other bookmarks", "type": "folder" },
      "synced": { "children": [
         { "date_added": "13245000000000000", "id": "8", "name": "Phone", "type": "url", "url": "https://phone.example/" } ],
         "date_added": "13245000000000000", "id": "3", "name": "Mobile bookmarks", "type": "folder" }
   },
   "version": 1
})";

CategoryNode* Child(CategoryNode& parent, const std::string& name) {
    for (const auto& c : parent.Children())
        if (c->Text() == name)
            return c.get();
    return nullptr;
}

} // namespace

TEST(FirefoxProfile, EveryBookmarkOfThePlacesDatabase) {
    const auto profile = test::FreshDir("firefox") / "abcd.default-release";
    MakePlaces(profile);
    Doc doc;
    ImportFirefoxBookmarks(profile.string(), doc.Target());
    CategoryNode& root = *doc.tree.RootNode();
    ASSERT_EQ(root.Folder().Shortcuts.Count(), 1u) << "the menu's own bookmarks at the top";
    const TIShortcut& top = root.Folder().Shortcuts[0];
    EXPECT_EQ(top.Name, "Top");
    EXPECT_EQ(top.URL, "http://top.example/");
    EXPECT_EQ(top.Descr, "About top");
    EXPECT_EQ(Keywords(top), (std::vector<std::string>{"Firefox", "tp"}));
    EXPECT_NEAR(top.Added, 44087.5185, 0.001) << "the date the browser keeps";

    CategoryNode* reading = Child(root, "Reading");
    ASSERT_NE(reading, nullptr);
    EXPECT_EQ(reading->Image(), NodeImage::NewByImport);
    EXPECT_GE(reading->Folder().Keywords.IndexOf("Firefox"), 0);
    ASSERT_EQ(reading->Folder().Shortcuts.Count(), 2u) << "no separator";
    const TIShortcut& a = reading->Folder().Shortcuts[0];
    EXPECT_EQ(a.Name, "\xC3\x84rzte & \xC3\x96kologie \xE2\x80\x94 \xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(Keywords(a), (std::vector<std::string>{"Firefox", "news"})) << "its tag";
    EXPECT_EQ(reading->Folder().Shortcuts[1].Name, "") << "a bookmark without a title";
    EXPECT_EQ(reading->Folder().Shortcuts[1].URL, "http://notitle.example/");
    CategoryNode* deep = Child(*reading, "Deep");
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(deep->Folder().Shortcuts[0].URL, "http://deep.example/");
    CategoryNode* bar = Child(root, "Bookmarks Toolbar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Folder().Shortcuts[0].Name, "Bar link");
    ASSERT_NE(Child(root, "Other Bookmarks"), nullptr);
    EXPECT_EQ(Child(root, "Mobile Bookmarks"), nullptr) << "an empty root is left out";
    EXPECT_EQ(Child(root, "tags"), nullptr);
    EXPECT_EQ(doc.tree.ShortcutCount(), 6u);

    // Read again, nothing comes twice.
    ImportFirefoxBookmarks((profile / "places.sqlite").string(), doc.Target());
    EXPECT_EQ(doc.tree.ShortcutCount(), 6u);
    EXPECT_TRUE(fs::exists(profile / "places.sqlite"));
    EXPECT_FALSE(fs::exists(profile / "places.sqlite-journal")) << "the profile is only read";
}

TEST(FirefoxProfile, ADatabaseThatAnotherProgramIsWritingStillReads) {
    const auto profile = test::FreshDir("firefox-locked") / "locked.default";
    const std::string path = MakePlaces(profile);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A running browser: a bookmark committed into the log only, then a write in progress.
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db, "INSERT INTO moz_places (id, url, title) VALUES (7, 'http://fresh.example/', 'Fresh');"
                         "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid, dateAdded) "
                         "VALUES (30, 1, 7, 2, 1, 'Fresh', 'fresh_______', 1);"
                         "BEGIN EXCLUSIVE; INSERT INTO moz_places (id, url) VALUES (8, 'http://uncommitted/');",
                     nullptr, nullptr, nullptr);
        (void)!::write(ready[1], "x", 1);
        ::sleep(30);
        ::_exit(0);
    }
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ASSERT_TRUE(fs::exists(path + "-wal"));
    Doc doc;
    try {
        ImportFirefoxBookmarks(profile.string(), doc.Target());
    } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const auto& top = doc.tree.RootNode()->Folder().Shortcuts;
    ASSERT_EQ(top.Count(), 2u) << "the committed bookmark in the log is read";
    EXPECT_EQ(top[1].URL, "http://fresh.example/");
}

TEST(FirefoxProfile, DamagedOrForeignFilesSayWhatIsWrong) {
    const auto dir = test::FreshDir("firefox-bad");
    test::WriteFile((dir / "places.sqlite").string(), "this is no database");
    Doc doc;
    try {
        ImportFirefoxBookmarks(dir.string(), doc.Target());
        FAIL();
    } catch (const ELynkora& e) {
        EXPECT_NE(std::string(e.what()).find("could not read the Firefox bookmarks"), std::string::npos) << e.what();
    }
    try {
        ImportFirefoxBookmarks((dir / "none").string(), doc.Target());
        FAIL();
    } catch (const ELynkora& e) {
        EXPECT_NE(std::string(e.what()).find("does not exist"), std::string::npos);
    }
    std::mt19937 random(1);
    try {
        ExportLibrary({"Firefox", dir.string()}, doc.tree, random);
        FAIL();
    } catch (const ELynkora& e) {
        EXPECT_NE(std::string(e.what()).find("Netscape 6.x\\Mozilla"), std::string::npos) << e.what();
    }
}

TEST(ChromiumProfile, TheThreeRootsAndARoundTrip) {
    const auto profile = test::FreshDir("chromium") / "Default";
    fs::create_directories(profile);
    test::WriteFile((profile / "Bookmarks").string(), kChromium);
    Doc doc;
    ImportChromiumBookmarks(profile.string(), doc.Target());
    CategoryNode& root = *doc.tree.RootNode();
    ASSERT_EQ(root.Folder().Shortcuts.Count(), 1u);
    EXPECT_EQ(root.Folder().Shortcuts[0].Name, "Caf\xC3\xA9");
    EXPECT_NEAR(root.Folder().Shortcuts[0].Added, 44093.6111, 0.0001) << "microseconds since 1601";
    CategoryNode* bar = Child(root, kChromiumBarName);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Folder().Shortcuts[0].URL, "https://docs.example/");
    ASSERT_NE(Child(*bar, "Work"), nullptr);
    EXPECT_EQ(Child(*bar, "Work")->Folder().Shortcuts[0].Name, "Inner");
    ASSERT_NE(Child(root, kChromiumMobileName), nullptr);
    EXPECT_EQ(Keywords(root.Folder().Shortcuts[0]), std::vector<std::string>{"Chromium"});

    // Written back: valid JSON with the keys the browser needs and unique identifiers.
    const std::string out = (profile / "Bookmarks").string();
    ExportChromiumBookmarks(doc.tree, profile.string());
    const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(test::ReadFile(out)));
    ASSERT_TRUE(json.isObject());
    EXPECT_EQ(json.object().value("version").toInt(), 1);
    const QJsonObject roots = json.object().value("roots").toObject();
    for (const char* key : {"bookmark_bar", "other", "synced"})
        EXPECT_TRUE(roots.value(key).isObject()) << key;
    std::set<QString> ids;
    std::size_t nodes = 0;
    std::vector<QJsonObject> stack = {roots.value("bookmark_bar").toObject(), roots.value("other").toObject(),
                                      roots.value("synced").toObject()};
    while (!stack.empty()) {
        const QJsonObject o = stack.back();
        stack.pop_back();
        ids.insert(o.value("id").toString());
        ++nodes;
        for (const QJsonValue& c : o.value("children").toArray())
            stack.push_back(c.toObject());
    }
    EXPECT_EQ(ids.size(), nodes) << "identifiers are unique";
    Doc back;
    ImportChromiumBookmarks(out, back.Target());
    EXPECT_EQ(back.tree.ShortcutCount(), doc.tree.ShortcutCount());
    EXPECT_EQ(back.tree.NodeCount(), doc.tree.NodeCount());
    ASSERT_NE(Child(*back.tree.RootNode(), kChromiumBarName), nullptr) << "the bar goes back into its root";
    EXPECT_EQ(roots.value("bookmark_bar").toObject().value("children").toArray().size(), 2);
    EXPECT_EQ(Child(*Child(*back.tree.RootNode(), kChromiumBarName), "Work")->Folder().Shortcuts[0].URL,
              "https://inner.example/");

    // While the browser runs on the profile, nothing is written.
    fs::create_symlink("host-1234", profile / "SingletonLock");
    const std::string before = test::ReadFile(out);
    try {
        ExportChromiumBookmarks(doc.tree, profile.string());
        FAIL();
    } catch (const ELynkora& e) {
        EXPECT_NE(std::string(e.what()).find("The browser is running with this profile"), std::string::npos);
    }
    EXPECT_EQ(test::ReadFile(out), before);

    test::WriteFile(out, "{ not json");
    try {
        ImportChromiumBookmarks(out, back.Target());
        FAIL();
    } catch (const ELynkora& e) {
        EXPECT_NE(std::string(e.what()).find("It is no JSON text"), std::string::npos) << e.what();
    }
}

TEST(BrowserProfiles, FoundInAHomeFolder) {
    const auto home = test::FreshDir("profiles-home");
    const auto firefox = home / ".mozilla" / "firefox";
    MakePlaces(firefox / "x1.default");
    fs::create_directories(firefox / "empty.other");
    test::WriteFile((firefox / "profiles.ini").string(),
                    "[General]\nStartWithLastProfile=1\n\n[Profile0]\nName=default\nIsRelative=1\nPath=x1.default\n\n"
                    "[Profile1]\nName=other\nIsRelative=1\nPath=empty.other\n");
    for (const char* browser : {"chromium/Default", "google-chrome/Profile 1", "BraveSoftware/Brave-Browser/Default"}) {
        fs::create_directories(home / ".config" / browser);
        test::WriteFile((home / ".config" / browser / "Bookmarks").string(), kChromium);
    }
    fs::create_directories(home / ".config" / "vivaldi" / "Default"); // no bookmarks yet
    const auto found = FindBrowserProfiles(home.string());
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0], (TLibrary{"Firefox", (firefox / "x1.default").string()}));
    EXPECT_EQ(found[1], (TLibrary{"Chromium", (home / ".config/chromium/Default").string()}));
    EXPECT_EQ(found[2].Path, (home / ".config/google-chrome/Profile 1").string());
    EXPECT_EQ(ReadFormatOf("firefox"), LibraryFormat::Firefox);
    EXPECT_EQ(ReadFormatOf("Chromium"), LibraryFormat::Chromium);
    EXPECT_EQ(LibraryTypeIndex("CHROMIUM"), 5);
}
