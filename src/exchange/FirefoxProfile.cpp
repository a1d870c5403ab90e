#include "FirefoxProfile.h"

#include "store/Errors.h"

#include <sqlite3.h>

#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <unordered_map>

namespace lynkora {

namespace fs = std::filesystem;

namespace {

// A private copy of the database (and its log) that goes when the read is done.
class DatabaseCopy {
public:
    explicit DatabaseCopy(const std::string& source) {
        std::random_device random;
        m_dir = fs::temp_directory_path() / ("lynkora-places-" + std::to_string(random()) + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        m_path = (m_dir / "places.sqlite").string();
        fs::copy_file(source, m_path);
        for (const char* side : {"-wal"}) {
            std::error_code ec;
            if (fs::is_regular_file(source + side, ec))
                fs::copy_file(source + side, m_path + side);
        }
    }
    ~DatabaseCopy() {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    DatabaseCopy(const DatabaseCopy&) = delete;
    DatabaseCopy& operator=(const DatabaseCopy&) = delete;
    const std::string& Path() const { return m_path; }

private:
    fs::path m_dir;
    std::string m_path;
};

struct Database {
    sqlite3* db = nullptr;
    ~Database() { sqlite3_close(db); }
};

struct Statement {
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

std::string Text(sqlite3_stmt* s, int column) {
    const unsigned char* t = sqlite3_column_text(s, column);
    return t ? reinterpret_cast<const char*>(t) : std::string();
}

[[noreturn]] void Fail(const std::string& file, const std::string& why) {
    throw ELynkora("Lynkora could not read the Firefox bookmarks in      \n" + file + "\n\n" + why);
}

bool HasColumn(sqlite3* db, const char* table, const char* column) {
    Statement s;
    const std::string sql = std::string("PRAGMA table_info(") + table + ")";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s.stmt, nullptr) != SQLITE_OK)
        return false;
    while (sqlite3_step(s.stmt) == SQLITE_ROW)
        if (Text(s.stmt, 1) == column)
            return true;
    return false;
}

// The roots Firefox creates, by their fixed identities, with the folder each becomes here
// (empty: its entries go to the top).
const std::map<std::string, const char*> kRoots = {{"menu________", ""},
                                                   {"toolbar_____", "Bookmarks Toolbar"},
                                                   {"unfiled_____", "Other Bookmarks"},
                                                   {"mobile______", "Mobile Bookmarks"}};
const char* const kTagsRoot = "tagsfolder_____";

} // namespace

std::string FirefoxPlacesFile(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec) ? (fs::path(path) / "places.sqlite").string() : path;
}

std::vector<ProfileNode> ReadFirefoxBookmarks(const std::string& path) {
    const std::string file = FirefoxPlacesFile(path);
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        Fail(file, "The file does not exist or is no file.");
    std::unique_ptr<DatabaseCopy> copy;
    try {
        copy = std::make_unique<DatabaseCopy>(file);
    } catch (const fs::filesystem_error& e) {
        Fail(file, e.code().message());
    }
    Database db;
    if (sqlite3_open_v2(copy->Path().c_str(), &db.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        Fail(file, db.db ? sqlite3_errmsg(db.db) : "out of memory");
    sqlite3_busy_timeout(db.db, 2000);
    const bool descriptions = HasColumn(db.db, "moz_places", "description");

    struct Item {
        long long id, parent, position;
        int type;
        std::string title, guid, url, description;
        long long added;
        long long place;
    };
    std::vector<Item> items;
    {
        Statement s;
        const std::string sql = std::string("SELECT b.id, b.parent, b.position, b.type, b.title, b.guid, b.dateAdded, "
                                            "b.fk, p.url, ") +
                                (descriptions ? "p.description" : "NULL") +
                                " FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk ORDER BY b.parent, b.position, b.id";
        if (sqlite3_prepare_v2(db.db, sql.c_str(), -1, &s.stmt, nullptr) != SQLITE_OK)
            Fail(file, std::string("This is no bookmarks database of Firefox: ") + sqlite3_errmsg(db.db));
        int rc;
        while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW)
            items.push_back({sqlite3_column_int64(s.stmt, 0), sqlite3_column_int64(s.stmt, 1),
                             sqlite3_column_int64(s.stmt, 2), sqlite3_column_int(s.stmt, 3), Text(s.stmt, 4),
                             Text(s.stmt, 5), Text(s.stmt, 8), Text(s.stmt, 9), sqlite3_column_int64(s.stmt, 6),
                             sqlite3_column_int64(s.stmt, 7)});
        if (rc != SQLITE_DONE)
            Fail(file, sqlite3_errmsg(db.db));
    }
    // Keywords of places, and the tags: bookmarks inside the folders below the tags root.
    std::unordered_map<long long, std::vector<std::string>> tagsOf;
    {
        Statement s;
        if (sqlite3_prepare_v2(db.db, "SELECT place_id, keyword FROM moz_keywords ORDER BY id", -1, &s.stmt, nullptr) ==
            SQLITE_OK)
            while (sqlite3_step(s.stmt) == SQLITE_ROW)
                tagsOf[sqlite3_column_int64(s.stmt, 0)].push_back(Text(s.stmt, 1));
    }
    std::unordered_map<long long, const Item*> byId;
    std::unordered_map<long long, std::vector<const Item*>> children;
    for (const Item& i : items) {
        byId[i.id] = &i;
        children[i.parent].push_back(&i);
    }
    long long tagsRoot = -1;
    for (const Item& i : items)
        if (i.guid == kTagsRoot)
            tagsRoot = i.id;
    for (const Item& i : items) {
        const auto parent = byId.find(i.parent);
        if (i.type == 1 && parent != byId.end() && parent->second->parent == tagsRoot && !parent->second->title.empty())
            tagsOf[i.place].push_back(parent->second->title);
    }

    // Each folder's entries, walked without recursion; a folder met twice is not entered again.
    // The menu's entries stand at the top, the other roots become folders after them.
    std::vector<ProfileNode> menu, rootFolders;
    std::unordered_map<long long, bool> entered;
    struct Pending {
        long long folder;
        std::vector<ProfileNode>* into;
    };
    std::vector<Pending> pending;
    for (const auto& [guid, name] : kRoots)
        for (const Item& i : items)
            if (i.guid == guid && !*name)
                pending.push_back({i.id, &menu});
    for (const char* order : {"toolbar_____", "unfiled_____", "mobile______"})
        for (const Item& i : items)
            if (i.guid == order && !children[i.id].empty()) {
                ProfileNode folder;
                folder.folder = true;
                folder.name = kRoots.at(order);
                folder.added = FromUnixMicroseconds(i.added);
                rootFolders.push_back(std::move(folder));
            }
    {
        std::size_t at = 0;
        for (const char* order : {"toolbar_____", "unfiled_____", "mobile______"})
            for (const Item& i : items)
                if (i.guid == order && !children[i.id].empty())
                    pending.push_back({i.id, &rootFolders[at++].children});
    }
    // A root's entries are filled before walking deeper, so a vector never grows while a
    // pointer into it is pending.
    while (!pending.empty()) {
        const Pending p = pending.back();
        pending.pop_back();
        if (entered[p.folder])
            continue;
        entered[p.folder] = true;
        const auto& list = children[p.folder];
        p.into->reserve(list.size());
        for (const Item* i : list) {
            if (i->type == 1) {
                ProfileNode b;
                b.name = i->title;
                b.url = i->url;
                b.description = i->description;
                b.added = FromUnixMicroseconds(i->added);
                if (const auto t = tagsOf.find(i->place); t != tagsOf.end())
                    b.tags = t->second;
                p.into->push_back(std::move(b));
            } else if (i->type == 2) {
                ProfileNode f;
                f.folder = true;
                f.name = i->title;
                f.added = FromUnixMicroseconds(i->added);
                p.into->push_back(std::move(f));
            }
        }
        std::size_t index = 0;
        for (const Item* i : list) {
            if (i->type == 1 || i->type == 2) {
                if (i->type == 2)
                    pending.push_back({i->id, &(*p.into)[index].children});
                ++index;
            }
        }
    }
    for (ProfileNode& folder : rootFolders)
        menu.push_back(std::move(folder));
    return menu;
}

void ImportFirefoxBookmarks(const std::string& path, ImportTarget& target) {
    ImportProfileTree(ReadFirefoxBookmarks(path), target, "Firefox");
}

std::string FirefoxExportRefusal(const std::string& path) {
    return "Lynkora does not write into a Firefox profile:      \n" + FirefoxPlacesFile(path) +
           "\n\nFirefox keeps its bookmarks in a database that no other program may change. Export "
           "to a \"Netscape 6.x\\Mozilla\" library instead and import that file in Firefox.";
}

} // namespace lynkora
