#include "BrowserProfiles.h"

#include "ProfileFile.h"

#include <algorithm>
#include <filesystem>

namespace lynkora {

namespace fs = std::filesystem;

std::vector<TLibrary> FindBrowserProfiles(const std::string& home) {
    std::vector<TLibrary> found;
    std::error_code ec;
    const fs::path firefox = fs::path(home) / ".mozilla" / "firefox";
    const ProfileFile ini((firefox / "profiles.ini").string());
    for (int n = 0; n < 100; ++n) {
        const std::string section = "Profile" + std::to_string(n);
        if (!ini.Has(section, "Path"))
            continue;
        const std::string path = ini.Read(section, "Path");
        const fs::path folder = ini.Read(section, "IsRelative") == "0" ? fs::path(path) : firefox / path;
        if (fs::is_regular_file(folder / "places.sqlite", ec))
            found.push_back({kLibraryTypes[4], FullPath(folder.string())});
    }
    for (const char* browser : {"chromium", "google-chrome", "BraveSoftware/Brave-Browser", "vivaldi"}) {
        const fs::path base = fs::path(home) / ".config" / browser;
        if (!fs::is_directory(base, ec))
            continue;
        std::vector<std::string> profiles;
        for (const auto& entry : fs::directory_iterator(base, ec))
            if (entry.is_directory(ec) && fs::is_regular_file(entry.path() / "Bookmarks", ec))
                profiles.push_back(FullPath(entry.path().string()));
        std::sort(profiles.begin(), profiles.end());
        for (const std::string& p : profiles)
            found.push_back({kLibraryTypes[5], p});
    }
    return found;
}

} // namespace lynkora
