// A generated Netscape bookmark file of 100,000 bookmarks in 1,000 folders: importing it, and
// exporting the result in each format.
#include "exchange/BookmarkWriters.h"
#include "exchange/FavoritesFolder.h"
#include "exchange/ImportTarget.h"
#include "exchange/NetscapeReader.h"
#include "store/DataFile.h"
#include "store/DataFileStorage.h"

#include "exchange/HtmlExport.h"

#include <benchmark/benchmark.h>

#include <filesystem>

#include <filesystem>
#include <random>

using namespace lynkora;

namespace {

const std::string& BookmarkFile() {
    static const std::string bytes = [] {
        std::mt19937 rng(3);
        std::string out = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" "
                          "CONTENT=\"text/html; charset=UTF-8\">\n<TITLE>Bookmarks</TITLE>\n"
                          "<H1>Bookmarks</H1>\n<DL><p>\n";
        int link = 0;
        for (int f = 0; f < 1000; ++f) {
            const bool nested = f % 4 != 0;
            out += "    <DT><H3 ADD_DATE=\"1600000000\" LAST_MODIFIED=\"1600000000\">Folder " +
                   std::to_string(f) + " &amp; more</H3>\n    <DL><p>\n";
            if (nested)
                out += "        <DT><H3>Inner " + std::to_string(f) + "</H3>\n        <DL><p>\n";
            for (int i = 0; i < 100; ++i, ++link)
                out += "        <DT><A HREF=\"https://www.example" + std::to_string(rng() % 500) +
                       ".com/path/page-" + std::to_string(link) + ".html?q=1&amp;r=2\" ADD_DATE=\"" +
                       std::to_string(1600000000 + link) + "\" ICON=\"data:image/png;base64,iVBORw0KGgo=\">"
                       "Page number " + std::to_string(link) + " about things</A>\n";
            if (nested)
                out += "        </DL><p>\n";
            out += "    </DL><p>\n";
        }
        out += "</DL><p>\n";
        return out;
    }();
    return bytes;
}

std::string Dir() {
    const auto d = std::filesystem::temp_directory_path() / "lynkora-bench-exchange";
    std::filesystem::create_directories(d);
    return d.string();
}

struct Imported {
    CategoryTree tree;
    int next = 0;
    ImportTarget target;
    Imported()
        : target(Init(tree), [this] { return "FL" + std::to_string(next++); }, [](CategoryNode&) {}) {}
    static CategoryTree& Init(CategoryTree& t) {
        t.SetRoot(std::make_unique<TISFolder>());
        return t;
    }
};

void BM_ImportNetscape100k(benchmark::State& state) {
    const std::string& bytes = BookmarkFile();
    std::size_t shortcuts = 0;
    for (auto _ : state) {
        Imported doc;
        ReadNetscapeBookmarks(bytes, doc.target);
        shortcuts = doc.tree.ShortcutCount();
    }
    state.counters["shortcuts"] = static_cast<double>(shortcuts);
    state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
}

// As the command line does it: into a data file, then the final pass and a save.
void BM_ImportNetscape100kIntoDataFile(benchmark::State& state) {
    const std::string path = Dir() + "/import.lyx";
    for (auto _ : state) {
        std::filesystem::remove(path);
        TDataFile file(path, false);
        CategoryTree tree;
        file.LoadTree(tree);
        FolderIdNumbers ids = CollectFolderIds(file.WorkStorage());
        ImportTarget target(tree, [&] { return ids.Next(); }, [&](CategoryNode& n) { file.WriteCategory(n); });
        ReadNetscapeBookmarks(BookmarkFile(), target);
        tree.SortTree(tsoNameAscending);
        tree.ForEach([&](CategoryNode& n) { file.WriteCategory(n); });
        file.Save();
        file.Close();
    }
}

Imported& Loaded() {
    static Imported* doc = [] {
        auto* d = new Imported;
        ReadNetscapeBookmarks(BookmarkFile(), d->target);
        return d;
    }();
    return *doc;
}

void BM_ExportNetscape(benchmark::State& state) {
    for (auto _ : state)
        ExportNetscapeBookmarks(Loaded().tree, Dir() + "/plain.html");
}

void BM_ExportMozilla(benchmark::State& state) {
    std::mt19937 random(1);
    for (auto _ : state)
        ExportMozillaBookmarks(Loaded().tree, Dir() + "/later.html", random);
}

void BM_ExportOpera(benchmark::State& state) {
    for (auto _ : state)
        ExportOperaHotlist(Loaded().tree, Dir() + "/hotlist.adr");
}

// The whole collection as one styled page with its table of contents.
void BM_ExportHtmlPage(benchmark::State& state) {
    HtmlExportOptions o;
    o.output = Dir() + "/page.html";
    o.title = "My Internet Shortcuts";
    o.styleSheetText = {"/* Plain */", "body { font-family: sans-serif; }"};
    o.now = NowDateTime();
    for (auto _ : state)
        ExportHtmlPage(Loaded().tree, o);
    state.counters["page_MB"] = static_cast<double>(std::filesystem::file_size(o.output)) / 1e6;
}

// Replacing a folder that holds the previous export (100,000 files deleted, then written).
void BM_ExportFavorites(benchmark::State& state) {
    for (auto _ : state)
        ExportFavoritesFolder(Loaded().tree, Dir() + "/Favorites");
}

// Into an empty folder.
void BM_ExportFavoritesFresh(benchmark::State& state) {
    const std::string dir = Dir() + "/FreshFavorites";
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(dir);
        state.ResumeTiming();
        ExportFavoritesFolder(Loaded().tree, dir);
    }
}

} // namespace

BENCHMARK(BM_ImportNetscape100k)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportNetscape100kIntoDataFile)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ExportNetscape)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ExportMozilla)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ExportHtmlPage)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ExportOpera)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ExportFavorites)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ExportFavoritesFresh)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_MAIN();
