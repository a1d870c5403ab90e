#include "LibraryList.h"

#include "platform/Registry.h"
#include "store/NameCollator.h"

#include <filesystem>

namespace lynkora {

namespace {
const char* const kKey = "Import";
}

const char* const kLibraryTypes[kLibraryTypeCount] = {"Internet Explorer", "Netscape 4.x", "Netscape 6.x\\Mozilla",
                                                      "Opera Hotlist",     "Firefox",      "Chromium"};

LibraryFormat ReadFormatOf(const std::string& type) {
    if (CompareAsciiNoCase(type, kLibraryTypes[4]) == 0)
        return LibraryFormat::Firefox;
    if (CompareAsciiNoCase(type, kLibraryTypes[5]) == 0)
        return LibraryFormat::Chromium;
    if (!type.empty() && type[0] == 'I')
        return LibraryFormat::Favorites;
    if (!type.empty() && type[0] == 'N')
        return LibraryFormat::Netscape;
    return LibraryFormat::Opera;
}

LibraryFormat WriteFormatOf(const std::string& type) {
    const LibraryFormat format = ReadFormatOf(type);
    if (format == LibraryFormat::Netscape && type.find('6') != std::string::npos)
        return LibraryFormat::Mozilla;
    return format;
}

int LibraryTypeIndex(const std::string& type) {
    for (int i = 0; i < kLibraryTypeCount; ++i)
        if (CompareAsciiNoCase(type, kLibraryTypes[i]) == 0)
            return i;
    return 0;
}

std::vector<TLibrary> LoadLibraries(Registry& registry, const std::string& favoritesFolder) {
    if (!registry.OpenKey(kKey, false))
        return {{kLibraryTypes[0], favoritesFolder}};
    std::vector<TLibrary> libraries;
    for (const std::string& name : registry.ValueNames(kKey)) {
        std::string text;
        try {
            text = registry.ReadString(kKey, name);
        } catch (const std::exception&) {
            continue; // a value that is no text is no library
        }
        const auto bar = text.find('|');
        libraries.push_back({text.substr(0, bar), bar == std::string::npos ? std::string() : text.substr(bar + 1)});
    }
    return libraries;
}

void SaveLibraries(Registry& registry, const std::vector<TLibrary>& libraries) {
    registry.DeleteKey(kKey);
    registry.KeepKey(kKey);
    for (std::size_t i = 0; i < libraries.size(); ++i)
        registry.WriteString(kKey, std::to_string(i), libraries[i].Type + "|" + libraries[i].Path);
    registry.Sync();
}

std::string FullPath(const std::string& path) {
    if (path.empty())
        return path;
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(path, ec);
    if (ec)
        return path;
    std::string text = full.lexically_normal().string();
    // A folder keeps no trailing separator, except the root itself.
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

} // namespace lynkora
