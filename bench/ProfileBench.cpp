// Browser profiles at scale: a Firefox places database of 100,000 bookmarks in 1,000 folders,
// imported into an empty document.
#include "exchange/FirefoxProfile.h"
#include "exchange/ImportTarget.h"
#include "store/CategoryTree.h"

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <string>

using namespace lynkora;

namespace {

const std::string& Places() {
    static const std::string path = [] {
        const auto dir = std::filesystem::temp_directory_path() / "lynkora-bench-firefox";
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        const std::string p = (dir / "places.sqlite").string();
        sqlite3* db = nullptr;
        sqlite3_open(p.c_str(), &db);
        sqlite3_exec(db,
                     "PRAGMA journal_mode=WAL;"
                     "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, description TEXT);"
                     "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER, parent INTEGER,"
                     " position INTEGER, title LONGVARCHAR, dateAdded INTEGER, guid TEXT);"
                     "CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY, keyword TEXT, place_id INTEGER);"
                     "INSERT INTO moz_bookmarks VALUES (1,2,NULL,0,0,'',1,'root________'),(2,2,NULL,1,0,'menu',1,'menu________'),"
                     "(3,2,NULL,1,1,'toolbar',1,'toolbar_____'),(4,2,NULL,1,2,'tags',1,'tagsfolder_____');"
                     "BEGIN;",
                     nullptr, nullptr, nullptr);
        sqlite3_stmt* place = nullptr;
        sqlite3_stmt* mark = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO moz_places VALUES (?, ?, ?, NULL)", -1, &place, nullptr);
        sqlite3_prepare_v2(db, "INSERT INTO moz_bookmarks VALUES (?, ?, ?, ?, ?, ?, 1600000000000000, ?)", -1, &mark, nullptr);
        long long id = 10;
        for (int f = 0; f < 1000; ++f) {
            const long long folder = id++;
            const std::string name = "Folder " + std::to_string(f);
            sqlite3_bind_int64(mark, 1, folder);
            sqlite3_bind_int(mark, 2, 2);
            sqlite3_bind_null(mark, 3);
            sqlite3_bind_int64(mark, 4, f % 10 == 0 ? 2 : folder - 101); // nested ten deep
            sqlite3_bind_int(mark, 5, f);
            sqlite3_bind_text(mark, 6, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(mark, 7, ("f" + std::to_string(f)).c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(mark);
            sqlite3_reset(mark);
            for (int b = 0; b < 100; ++b) {
                const long long pid = id++;
                const std::string url = "https://www.example" + std::to_string(f) + ".com/page/" + std::to_string(b);
                const std::string title = "Page " + std::to_string(b) + " of folder " + std::to_string(f);
                sqlite3_bind_int64(place, 1, pid);
                sqlite3_bind_text(place, 2, url.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(place, 3, title.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_step(place);
                sqlite3_reset(place);
                sqlite3_bind_int64(mark, 1, pid);
                sqlite3_bind_int(mark, 2, 1);
                sqlite3_bind_int64(mark, 3, pid);
                sqlite3_bind_int64(mark, 4, folder);
                sqlite3_bind_int(mark, 5, b);
                sqlite3_bind_text(mark, 6, title.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(mark, 7, ("b" + std::to_string(pid)).c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_step(mark);
                sqlite3_reset(mark);
            }
        }
        sqlite3_finalize(place);
        sqlite3_finalize(mark);
        sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return p;
    }();
    return path;
}

void BM_FirefoxImport100000(benchmark::State& state) {
    const std::string& places = Places();
    std::size_t shortcuts = 0;
    for (auto _ : state) {
        CategoryTree tree;
        auto root = std::make_unique<TISFolder>();
        root->FolderName = kRootFolderName;
        tree.SetRoot(std::move(root));
        int next = 1;
        ImportTarget target(tree, [&] {
            char id[16];
            std::snprintf(id, sizeof id, "FL%08X", next++);
            return std::string(id);
        }, nullptr);
        ImportFirefoxBookmarks(places, target);
        shortcuts = tree.ShortcutCount();
    }
    state.counters["shortcuts"] = static_cast<double>(shortcuts);
}
BENCHMARK(BM_FirefoxImport100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
