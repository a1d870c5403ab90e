#pragma once

#include "ImportTarget.h"

#include <string>

namespace lynkora {

// Reads a Netscape bookmark file (or the "bookmark.htm" / "bookmarks.html" of a folder) into the
// document: headings become categories (found again by name at their depth anywhere in the
// tree), links shortcuts with the keyword "Netscape".
void ImportNetscapeBookmarks(const std::string& path, ImportTarget& target);

// The reading itself, on the file's bytes (tests and benchmarks).
void ReadNetscapeBookmarks(const std::string& bytes, ImportTarget& target);

} // namespace lynkora
