#pragma once

#include "LibraryList.h"

#include "store/CategoryTree.h"

#include <random>
#include <vector>

namespace lynkora {

class ImportTarget;

// A library with the marks of one synchronisation run.
struct TSyncLibrary {
    TLibrary library;
    bool import = false;
    bool exportTo = false;
};

// Reads one library into the target with the reader its type names; fails with the reader's
// message.
void ImportLibrary(const TLibrary& library, ImportTarget& target);
// Writes the tree into one library with the writer its type names; fails with "Could not
// write <file>: <reason>" (or the favourites writer's own message).
void ExportLibrary(const TLibrary& library, const CategoryTree& tree, std::mt19937& random);

bool AnyImport(const std::vector<TSyncLibrary>& libraries);
bool AnyExport(const std::vector<TSyncLibrary>& libraries);

// The run: every library marked for import is read, in list order, then every one marked for
// export is written, so a library marked both receives the union. The first failure ends the
// run with its message; what was read so far stays in the tree for the caller's final pass.
void Synchronize(const std::vector<TSyncLibrary>& libraries, ImportTarget& target, const CategoryTree& tree,
                 std::mt19937& random);

} // namespace lynkora
