#pragma once

#include "LibraryList.h"

#include <string>
#include <vector>

namespace lynkora {

// The browser profiles of a user, as libraries to offer: Firefox's from its profiles.ini, and the
// Chromium family's (Chromium, Chrome, Brave, Vivaldi) that hold a bookmarks file.
std::vector<TLibrary> FindBrowserProfiles(const std::string& home);

} // namespace lynkora
