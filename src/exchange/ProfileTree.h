#pragma once

#include "store/DateTime.h"

#include <string>
#include <vector>

namespace lynkora {

class ImportTarget;

// A browser profile's bookmarks as read from its own store, before they reach the document:
// folders with their entries in order, bookmarks with what the browser keeps of them.
struct ProfileNode {
    bool folder = false;
    std::string name;
    std::string url;
    std::string description;
    TDateTime added = 0; // 0: not known, the import's time is taken
    std::vector<std::string> tags;
    std::vector<ProfileNode> children;
};

// Days of the document's dates from a browser's microsecond counts: since 1970 (Firefox) and
// since 1601 (Chromium); and back.
TDateTime FromUnixMicroseconds(long long us);
TDateTime FromWindowsMicroseconds(long long us);
long long ToWindowsMicroseconds(TDateTime date);

// Brings the entries into the document as the Netscape reader does: a folder is the parent's
// sub-category of that name or a new one (with the keyword, marked new), a bookmark is added unless
// its category holds the URL already, with the keyword and the bookmark's tags; nesting deeper than
// the document allows is flattened with a note.
void ImportProfileTree(const std::vector<ProfileNode>& top, ImportTarget& target, const std::string& keyword);

} // namespace lynkora
