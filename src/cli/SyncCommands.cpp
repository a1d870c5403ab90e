// import and sync: bookmarks of browsers, HTML pages and other data files brought into a data
// file, and synchronisation with browser libraries, on the engines the windows use.
#include "ChangedCollection.h"
#include "CliCommand.h"
#include "FindCategoryPath.h"

#include "exchange/ImportMerge.h"
#include "exchange/PreviewReaders.h"
#include "exchange/Synchronize.h"
#include "store/Errors.h"

#include <chrono>
#include <filesystem>
#include <ostream>
#include <random>

namespace lynkora::cli {

namespace {

// The library types the command line names, and the captions the windows show for them.
std::string LibraryType(const std::string& name) {
    if (name == "favorites")
        return kLibraryTypes[0];
    if (name == "netscape")
        return kLibraryTypes[1];
    if (name == "mozilla")
        return kLibraryTypes[2];
    if (name == "opera")
        return kLibraryTypes[3];
    if (name == "firefox")
        return kLibraryTypes[4];
    if (name == "chromium")
        return kLibraryTypes[5];
    throw UsageError{"unknown library type " + name + " (favorites, netscape, mozilla, opera, firefox, chromium)"};
}

TLibrary ParseLibrary(const std::string& argument) {
    const auto colon = argument.find(':');
    if (colon == std::string::npos || colon + 1 == argument.size())
        throw UsageError{"a library is TYPE:PATH, not " + argument};
    return {LibraryType(argument.substr(0, colon)), FullPath(argument.substr(colon + 1))};
}

void PrintOutcome(std::ostream& out, ImportTarget& target, const ChangedCollection::Counts& counts, std::size_t before) {
    out << "Imported " << (counts.shortcuts >= before ? counts.shortcuts - before : 0) << " shortcuts; "
        << counts.categories << " categories in all\n";
    for (const std::string& note : target.Notes())
        out << note << "\n";
}

// A data file or page given to import: everything in it is taken, as if every box were ticked.
void ImportPreview(ChangedCollection& c, const std::string& kind, const std::string& path, const std::string& into) {
    const std::string name = std::filesystem::path(path).filename().string();
    PreviewEntry preview(PreviewEntry::Kind::File, name);
    if (kind == "html") {
        std::vector<std::string> links;
        ScanHtmlLinks(links, std::filesystem::path(FullPath(path)).parent_path().string() + "/", path);
        if (links.empty())
            throw ELynkora("Lynkora did not find any URL's in the file:      \n\n" + path);
        FillLinkPreview(preview, links);
        CategoryNode* target = into.empty() ? c.Tree().RootNode() : FindCategoryPath(c.Tree(), into);
        if (!target)
            throw ELynkora("There is no category " + into);
        MergeLinks(preview, AllTicked, *target, c.Target(), NowDateTime());
        return;
    }
    if (!into.empty())
        throw UsageError{"--into goes with --html only"};
    if (kind == "ldb") {
        LoadClassicDataFile(path, preview);
        MergeDataFile(preview, DataFileKind::Classic, AllTicked, c.Target());
    } else {
        LoadDataFileTree(path, preview);
        MergeDataFile(preview, DataFileKind::Current, AllTicked, c.Target());
    }
}

} // namespace

int ImportCommand(CommandContext& ctx) {
    std::string file, kind, source, into;
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string& a = ctx.args[i];
        if (a == "--into" && i + 1 < ctx.args.size()) {
            into = ctx.args[++i];
        } else if (a.rfind("--", 0) == 0) {
            static const std::vector<std::string> kinds = {"netscape", "opera", "favorites", "firefox", "chromium",
                                                           "html", "ldb", "lyx"};
            const std::string k = a.substr(2);
            if (std::find(kinds.begin(), kinds.end(), k) == kinds.end())
                throw UsageError{"unknown option " + a};
            if (!kind.empty() || i + 1 >= ctx.args.size())
                throw UsageError{"import takes one source"};
            kind = k;
            source = ctx.args[++i];
        } else if (file.empty()) {
            file = a;
        } else {
            throw UsageError{"unexpected argument " + a};
        }
    }
    if (file.empty() || kind.empty())
        throw UsageError{"import takes a file and one source"};
    if ((kind == "lyx" || kind == "ldb") && std::filesystem::exists(file) &&
        std::filesystem::equivalent(FullPath(file), FullPath(source)))
        throw ELynkora("Lynkora cannot import from the currently opened data file!      ");
    ChangedCollection c(file);
    const std::size_t before = c.Tree().ShortcutCount();
    if (kind == "netscape" || kind == "opera" || kind == "favorites" || kind == "firefox" || kind == "chromium")
        ImportLibrary({LibraryType(kind), source}, c.Target());
    else
        ImportPreview(c, kind, source, into);
    PrintOutcome(ctx.out, c.Target(), c.Commit(), before);
    return 0;
}

int SyncCommand(CommandContext& ctx) {
    std::string file;
    bool direct = false;
    std::vector<TSyncLibrary> imports, exports;
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string& a = ctx.args[i];
        if ((a == "--import" || a == "--export") && i + 1 < ctx.args.size()) {
            TSyncLibrary l{ParseLibrary(ctx.args[++i]), a == "--import", a == "--export"};
            (l.import ? imports : exports).push_back(l);
        } else if (a == "--direct") {
            direct = true;
        } else if (a.rfind("--", 0) == 0) {
            throw UsageError{"unknown option " + a};
        } else if (file.empty()) {
            file = a;
        } else {
            throw UsageError{"unexpected argument " + a};
        }
    }
    if (file.empty() || (imports.empty() && exports.empty()))
        throw UsageError{"sync takes a file and at least one library"};
    std::vector<TSyncLibrary> libraries = imports;
    libraries.insert(libraries.end(), exports.begin(), exports.end());

    ChangedCollection c(file, direct);
    if (!imports.empty())
        c.Empty();
    std::mt19937 random(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    try {
        Synchronize(libraries, c.Target(), c.Tree(), random);
    } catch (const std::exception& e) {
        // Nothing is saved: the working copy goes, or in direct mode the backup holds the old file.
        if (direct && !imports.empty())
            throw ELynkora(std::string(e.what()) + "\n\nThe collection as it was before the synchronisation is kept in " +
                           c.File().BackupName());
        throw;
    }
    PrintOutcome(ctx.out, c.Target(), c.Commit(), 0);
    return 0;
}

} // namespace lynkora::cli
