#pragma once

#include "settings/BrowserList.h"

#include <functional>
#include <string>
#include <vector>

namespace lynkora {

// A browser that detection knows: the display name, the command line it gets, and the names its
// executable has on this system (tried in order).
struct KnownBrowser {
    const char* name;
    const char* command;
    std::vector<const char*> executables;
};

// The browsers detection looks for, in the order they are added.
const std::vector<KnownBrowser>& KnownBrowsers();

// Finds an executable by name; empty when it is not installed.
using ExecutableLookup = std::function<std::string(const std::string& name)>;

// Looks the name up on PATH (QStandardPaths::findExecutable).
std::string FindOnPath(const std::string& name);

// Appends an entry for every known browser that is installed and not listed yet; existing
// entries are never removed or changed. Returns the number of entries added.
std::size_t DetectBrowsers(TBrowserList& list, const ExecutableLookup& lookup = FindOnPath);

} // namespace lynkora
