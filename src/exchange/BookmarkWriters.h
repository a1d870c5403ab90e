#pragma once

#include "store/CategoryTree.h"

#include <random>
#include <string>

namespace lynkora {

// The writers replace a browser's bookmark store with the whole document. Excluded categories
// (their node shows the excluded image) are left out of the Netscape files and the favourites
// folder, with their subtrees. Each returns false when the target could not be written, with the
// system's reason in *why when asked for.

// Netscape bookmark file, plain style (CR LF lines); a path without ".htm" is a folder that
// gets "bookmark.htm".
bool ExportNetscapeBookmarks(const CategoryTree& tree, const std::string& path, std::string* why = nullptr);
// The later style (LF lines, UTF-8 declared, random folder identifiers).
bool ExportMozillaBookmarks(const CategoryTree& tree, const std::string& path, std::mt19937& random,
                            std::string* why = nullptr);
// Opera hotlist (every category, excluded ones too).
bool ExportOperaHotlist(const CategoryTree& tree, const std::string& path, std::string* why = nullptr);

// The file contents the writers produce.
std::string NetscapeBookmarksText(const CategoryTree& tree);
std::string MozillaBookmarksText(const CategoryTree& tree, std::mt19937& random);
std::string OperaHotlistText(const CategoryTree& tree);

// Whether a category counts as excluded from exports.
bool IsExcluded(const CategoryNode& node);
// The bookmark file of a Netscape library path (a file, or a folder's "bookmark.htm").
std::string NetscapeTarget(const std::string& path);
// Writes a file through a temporary file beside it, made durable, and a rename; false on failure,
// with the system's reason in *why when asked for.
bool WriteFileReplacing(const std::string& path, const std::string& bytes, std::string* why = nullptr);

} // namespace lynkora
