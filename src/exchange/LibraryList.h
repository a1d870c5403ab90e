#pragma once

#include <string>
#include <vector>

namespace lynkora {

class Registry;

// A browser's bookmark store registered once by the user: its type caption and its path.
struct TLibrary {
    std::string Type;
    std::string Path;
    bool operator==(const TLibrary&) const = default;
};

// The type captions, in the order the library window offers them: the four classic ones, then
// today's browser profiles.
inline constexpr int kLibraryTypeCount = 6;
extern const char* const kLibraryTypes[kLibraryTypeCount];

// Which reader or writer serves a library, by its type caption: "Firefox" and "Chromium" by the
// whole caption (ignoring case); else "I" favourites, "N" Netscape (written in the later style when
// the caption holds a "6"), anything else Opera.
enum class LibraryFormat { Favorites, Netscape, Mozilla, Opera, Firefox, Chromium };
LibraryFormat ReadFormatOf(const std::string& type);
LibraryFormat WriteFormatOf(const std::string& type);
// The row of the type caption among kLibraryTypes (ignoring case); 0 when none matches.
int LibraryTypeIndex(const std::string& type);

// The libraries stored under "Import" ("0", "1", ... each holding type "|" path), in the order
// the key lists them; without the key, one "Internet Explorer" library on the favourites folder.
std::vector<TLibrary> LoadLibraries(Registry& registry, const std::string& favoritesFolder);
// Writes the key anew in list order; an empty list leaves an empty key.
void SaveLibraries(Registry& registry, const std::vector<TLibrary>& libraries);

// A path in full form: absolute, with "." and ".." resolved (links are not followed).
std::string FullPath(const std::string& path);

} // namespace lynkora
