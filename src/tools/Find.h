#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lynkora {

class CategoryNode;
class CategoryTree;

// Which texts of a shortcut a search looks at.
enum SearchFields : int { sfNames = 0, sfURLs = 1, sfDescriptions = 2, sfKeywords = 3, sfAll = 4 };

// What the last Find asked for and where Find next goes on. Lives as long as the main window;
// never stored.
struct TSearchOptions {
    int Origin = 1;            // 0: from the selected category, 1: the entire file
    int SearchIn = sfNames;
    bool CaseSensitive = false;
    int StartCategory = 0;     // resume position: a category's index in tree order
    int StartShortcut = 0;     // resume position: an index in that category's collection
    std::string FindText;

    void Reset() { *this = TSearchOptions(); }
};

// A shortcut that a search found.
struct SearchMatch {
    CategoryNode* node = nullptr;
    std::size_t index = 0;   // in the category's collection
    std::uint32_t id = 0;    // the shortcut's identity in its collection
    bool byName = false;     // the name held the text
};

// Searches the shortcuts from the resume position on, in tree order and collection order. On a
// match the resume position moves past it; without one it keeps what the walk left (the start
// category, from its first shortcut, when the walk moved on to later categories). Without case
// the stored text becomes lower case (A to Z) first.
bool SearchFrom(TSearchOptions& options, const CategoryTree& tree, SearchMatch& match);

// The category's index in tree order, or -1.
int TreePosition(const CategoryTree& tree, const CategoryNode* node);

} // namespace lynkora
