#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lynkora {

class CategoryNode;
class CategoryTree;

// One shortcut of a group of duplicates, with the category it is found in again.
struct TDupURL {
    std::uint32_t ShortID = 0; // its identity in the category's collection
    std::string Name;
    std::string Category;      // the category path, root name included
    CategoryNode* Node = nullptr; // the category's node in the tree
};

// The ordered entries of one group.
class TDupURLS {
public:
    TDupURL& Add(TDupURL entry) { return m_items.emplace_back(std::move(entry)); }
    std::size_t Count() const { return m_items.size(); }
    const TDupURL& Items(std::size_t i) const { return m_items[i]; }
    void Delete(std::size_t i) { m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(i)); }

private:
    std::vector<TDupURL> m_items;
};

// A group: the URL as its first shortcut stores it, and its entries, the first one first.
struct TDupItems {
    std::string URL;
    TDupURLS URLs;
};

// The comparison key of a URL: without one trailing "/". Keys match ignoring the case of A to Z;
// an empty key never matches.
std::string_view UrlKey(std::string_view url);
bool UrlKeysMatch(std::string_view a, std::string_view b);

// The groups of shortcuts whose URLs match, in scan order: categories in tree order, each from
// its last shortcut to its first. A group's head is the first of its URL in that order; a
// shortcut already marked IgnoreDup takes part in no group. Every other member gets the mark,
// as the scan step has always done; ClearIgnoreDup takes the marks off again. One pass over a
// hash of the keys: the same groups as comparing every shortcut with every other.
// progress(done, total) is called now and then while the scan walks.
std::vector<TDupItems> ScanDuplicates(const CategoryTree& tree,
                                      const std::function<void(std::size_t, std::size_t)>& progress = {});
void ClearIgnoreDup(const CategoryTree& tree);

} // namespace lynkora
