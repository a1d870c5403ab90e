#include "Synchronize.h"

#include "BookmarkWriters.h"
#include "ChromiumProfile.h"
#include "FirefoxProfile.h"
#include "FavoritesFolder.h"
#include "ImportTarget.h"
#include "NetscapeReader.h"
#include "OperaReader.h"

#include "store/Errors.h"

#include <algorithm>

namespace lynkora {

void ImportLibrary(const TLibrary& library, ImportTarget& target) {
    switch (ReadFormatOf(library.Type)) {
    case LibraryFormat::Favorites:
        ImportFavoritesFolder(library.Path, target.Root(), target);
        return;
    case LibraryFormat::Netscape:
    case LibraryFormat::Mozilla:
        ImportNetscapeBookmarks(library.Path, target);
        return;
    case LibraryFormat::Opera:
        ImportOperaHotlist(library.Path, target);
        return;
    case LibraryFormat::Firefox:
        ImportFirefoxBookmarks(library.Path, target);
        return;
    case LibraryFormat::Chromium:
        ImportChromiumBookmarks(library.Path, target);
        return;
    }
}

void ExportLibrary(const TLibrary& library, const CategoryTree& tree, std::mt19937& random) {
    std::string why;
    std::string written = library.Path;
    bool ok = true;
    switch (WriteFormatOf(library.Type)) {
    case LibraryFormat::Favorites:
        ExportFavoritesFolder(tree, library.Path); // says itself what went wrong
        return;
    case LibraryFormat::Netscape:
        written = NetscapeTarget(library.Path);
        ok = ExportNetscapeBookmarks(tree, library.Path, &why);
        break;
    case LibraryFormat::Mozilla:
        written = NetscapeTarget(library.Path);
        ok = ExportMozillaBookmarks(tree, library.Path, random, &why);
        break;
    case LibraryFormat::Opera:
        ok = ExportOperaHotlist(tree, library.Path, &why);
        break;
    case LibraryFormat::Firefox:
        throw ELynkora(FirefoxExportRefusal(library.Path));
    case LibraryFormat::Chromium:
        ExportChromiumBookmarks(tree, library.Path); // says itself what went wrong
        return;
    }
    if (!ok)
        throw ELynkora("Could not write " + written + ": " + why);
}

bool AnyImport(const std::vector<TSyncLibrary>& libraries) {
    return std::any_of(libraries.begin(), libraries.end(), [](const TSyncLibrary& l) { return l.import; });
}

bool AnyExport(const std::vector<TSyncLibrary>& libraries) {
    return std::any_of(libraries.begin(), libraries.end(), [](const TSyncLibrary& l) { return l.exportTo; });
}

void Synchronize(const std::vector<TSyncLibrary>& libraries, ImportTarget& target, const CategoryTree& tree,
                 std::mt19937& random) {
    for (const TSyncLibrary& l : libraries)
        if (l.import)
            ImportLibrary(l.library, target);
    for (const TSyncLibrary& l : libraries)
        if (l.exportTo)
            ExportLibrary(l.library, tree, random);
}

} // namespace lynkora
