#pragma once

#include "ProfileTree.h"

#include "store/CategoryTree.h"

#include <string>
#include <vector>

namespace lynkora {

class ImportTarget;

// The bookmarks file of a Chromium-family profile (Chromium, Chrome, Brave, Vivaldi): the path
// itself when it names a file, else the folder's "Bookmarks".
std::string ChromiumBookmarksFile(const std::string& path);

// The file's three roots: the bookmark bar and the mobile bookmarks as folders of their own, the
// other bookmarks at the top. Fails with a message naming the file for what is no bookmarks file.
std::vector<ProfileNode> ReadChromiumBookmarks(const std::string& bytes, const std::string& file);
void ImportChromiumBookmarks(const std::string& path, ImportTarget& target);

// The document as a bookmarks file: the top-level categories named as the bar and the mobile
// roots go back into those roots, everything else into the other bookmarks. Identifiers are
// unique; there is no checksum, which the browser accepts.
std::string ChromiumBookmarksText(const CategoryTree& tree);
// Writes it through a temporary file and a rename; refuses while the browser runs on the profile
// (its lock is there). Fails with the reason.
void ExportChromiumBookmarks(const CategoryTree& tree, const std::string& path);

inline constexpr const char* kChromiumBarName = "Bookmarks bar";
inline constexpr const char* kChromiumMobileName = "Mobile bookmarks";

} // namespace lynkora
