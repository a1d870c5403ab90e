// import and export: the browser bookmark readers and writers on a data file.
#include "CliCommand.h"
#include "ReadOnlyCollection.h"

#include "exchange/BookmarkWriters.h"
#include "exchange/FavoritesFolder.h"
#include "exchange/ImportTarget.h"
#include "exchange/NetscapeReader.h"
#include "exchange/OperaReader.h"
#include "store/DataFile.h"
#include "store/DataFileStorage.h"
#include "store/Errors.h"
#include "store/FileReplace.h"
#include "store/Version.h"

#include <chrono>
#include <ostream>
#include <algorithm>
#include <random>

namespace lynkora::cli {

namespace {

struct Target {
    std::string file, format, path;
};

Target Parse(const std::vector<std::string>& args, const std::vector<std::string>& formats,
             const char* command) {
    Target t;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) == 0) {
            const std::string format = a.substr(2);
            if (std::find(formats.begin(), formats.end(), format) == formats.end())
                throw UsageError{"unknown option " + a};
            if (!t.format.empty() || i + 1 >= args.size())
                throw UsageError{std::string(command) + " takes one source or target"};
            t.format = format;
            t.path = args[++i];
        } else if (t.file.empty()) {
            t.file = a;
        } else {
            throw UsageError{"unexpected argument " + a};
        }
    }
    if (t.file.empty() || t.format.empty())
        throw UsageError{std::string(command) + " takes a file and one source or target"};
    return t;
}

} // namespace

int ImportCommand(CommandContext& ctx) {
    const Target t = Parse(ctx.args, {"netscape", "opera", "favorites"}, "import");
    const bool existed = FileExists(t.file);
    TDataFile file(t.file, false);
    // A failed import leaves the data file as it was; one made for it goes again.
    struct Discard {
        TDataFile& file;
        const std::string& path;
        bool existed;
        bool done = false;
        ~Discard() {
            if (done)
                return;
            try {
                file.Close();
            } catch (...) {
            }
            if (!existed)
                DeleteFileIfExists(path);
        }
    } discard{file, t.file, existed};
    file.CheckVersion(kProgramVersion);
    CategoryTree tree;
    file.LoadTree(tree);
    FolderIdNumbers ids = CollectFolderIds(file.WorkStorage());
    ImportTarget target(tree, [&] { return ids.Next(); },
                        [&](CategoryNode& node) { file.WriteCategory(node); });
    const std::size_t before = tree.ShortcutCount();
    if (t.format == "netscape")
        ImportNetscapeBookmarks(t.path, target);
    else if (t.format == "opera")
        ImportOperaHotlist(t.path, target);
    else
        ImportFavoritesFolder(t.path, *tree.RootNode(), target);
    // The final pass of a browser import: sort, write every category, save.
    tree.SortTree(tsoNameAscending);
    tree.ForEach([&](CategoryNode& node) { file.WriteCategory(node); });
    file.Save();
    file.Close();
    discard.done = true;
    ctx.out << "Imported " << (tree.ShortcutCount() - before) << " shortcuts; " << tree.NodeCount()
            << " categories in all\n";
    for (const std::string& note : target.Notes())
        ctx.out << note << "\n";
    return 0;
}

int ExportCommand(CommandContext& ctx) {
    if (std::find(ctx.args.begin(), ctx.args.end(), "--html") != ctx.args.end())
        return HtmlExportCommand(ctx);
    const Target t = Parse(ctx.args, {"netscape", "mozilla", "opera", "favorites"}, "export");
    ReadOnlyCollection c;
    LoadReadOnly(t.file, c);
    bool written = true;
    std::string why;
    std::string target = t.path;
    if (t.format == "netscape") {
        target = NetscapeTarget(t.path);
        written = ExportNetscapeBookmarks(c.tree, t.path, &why);
    } else if (t.format == "mozilla") {
        std::mt19937 random(static_cast<unsigned>(
            std::chrono::steady_clock::now().time_since_epoch().count()));
        target = NetscapeTarget(t.path);
        written = ExportMozillaBookmarks(c.tree, t.path, random, &why);
    } else if (t.format == "opera") {
        written = ExportOperaHotlist(c.tree, t.path, &why);
    } else {
        ExportFavoritesFolder(c.tree, t.path);
    }
    if (!written)
        throw ELynkora("Could not write " + target + ": " + why);
    return 0;
}

} // namespace lynkora::cli
