#pragma once

#include "ProfileTree.h"

#include <string>
#include <vector>

namespace lynkora {

class ImportTarget;

// The bookmarks database of a Firefox profile: the path itself when it names a file, else the
// folder's "places.sqlite".
std::string FirefoxPlacesFile(const std::string& path);

// Reads the bookmarks of a places database, from a copy of it and its write-ahead log, so a
// running browser is never disturbed and a locked database still reads. The menu's entries come
// first at the top, then the toolbar, the other and the mobile bookmarks as folders of their own;
// separators are left out; tags and keywords become keywords. Fails with a message naming the file.
std::vector<ProfileNode> ReadFirefoxBookmarks(const std::string& path);
void ImportFirefoxBookmarks(const std::string& path, ImportTarget& target);

// Why a Firefox profile is never written from outside, with what to do instead.
std::string FirefoxExportRefusal(const std::string& path);

} // namespace lynkora
