#pragma once

#include "PreviewTree.h"

#include "store/CategoryTree.h"
#include "store/DateTime.h"

#include <functional>
#include <string>
#include <vector>

namespace lynkora {

class ImportTarget;

// The state of an entry's box in the confirmation: a category whose entries differ is partly
// ticked.
enum class TickState { Unticked, Partly, Ticked };
using TickOf = std::function<TickState(const PreviewEntry&)>;

// Every entry ticked (the command line takes everything).
TickState AllTicked(const PreviewEntry&);

// An HTML page's links as the confirmation shows them: the file entry with one shortcut entry per
// link, in page order.
void FillLinkPreview(PreviewEntry& fileEntry, const std::vector<std::string>& links);

// Appends a shortcut for every ticked link entry to the category (its name and address the
// link, added now), marks the category new and writes it; no duplicate test. Returns the count.
std::size_t MergeLinks(const PreviewEntry& fileEntry, const TickOf& tick, CategoryNode& target,
                       ImportTarget& writer, TDateTime now);

// Which data file the preview came from: the previous generation's (".ldb") or this one's
// (".lyx"); it decides the keyword and whether the file entry's own shortcuts are merged.
enum class DataFileKind { Classic = 3, Current = 4 };

// Merges the ticked part of a data file's preview into the document: categories found by name
// and depth take the ticked shortcuts whose names they do not hold yet, the others are created
// (under the parent found by name and depth, else the root) with all their ticked shortcuts;
// each merged category gets the keyword "Lynkora 3" or "Lynkora 4" and is written.
struct MergeCount {
    std::size_t shortcuts = 0;
    std::size_t newCategories = 0;
};
MergeCount MergeDataFile(const PreviewEntry& fileEntry, DataFileKind kind, const TickOf& tick, ImportTarget& target);

} // namespace lynkora
