#include "tools/DuplicateScan.h"

#include "store/CategoryTree.h"
#include "store/TextTools.h"

#include <algorithm>
#include <unordered_map>

namespace lynkora {


std::string_view UrlKey(std::string_view url) {
    if (!url.empty() && url.back() == '/')
        url.remove_suffix(1);
    return url;
}

bool UrlKeysMatch(std::string_view a, std::string_view b) {
    const std::string_view ka = UrlKey(a), kb = UrlKey(b);
    return !ka.empty() && AsciiNoCaseEqual()(ka, kb);
}

std::vector<TDupItems> ScanDuplicates(const CategoryTree& tree,
                                      const std::function<void(std::size_t, std::size_t)>& progress) {
    const std::vector<CategoryNode*> order = tree.PreOrder();
    const std::size_t total = tree.ShortcutCount();
    // Per key: where its head is and, once a second shortcut has come, its group. Keys are views
    // into the stored URLs, which do not change during the scan.
    struct Seen {
        CategoryNode* node;
        const TIShortcut* head;
        std::size_t headOrder; // the head's place in scan order
        std::size_t group;     // index into groups, or npos
    };
    constexpr std::size_t npos = static_cast<std::size_t>(-1);
    std::unordered_map<std::string_view, Seen, AsciiNoCaseHash, AsciiNoCaseEqual> seen;
    seen.reserve(total);
    std::vector<std::pair<std::size_t, TDupItems>> groups; // with their head's place
    std::size_t done = 0;
    for (CategoryNode* node : order) {
        TShortcuts& shortcuts = node->Folder().Shortcuts;
        std::string path; // made once per category, when a shortcut of it joins a group
        auto pathOf = [&path, node] {
            if (path.empty())
                path = CategoryTree::CategoryPath(*node);
            return path;
        };
        for (std::size_t i = shortcuts.Count(); i-- > 0;) {
            ++done;
            if (progress && (done & 0x1fff) == 0)
                progress(done, total);
            TIShortcut& s = shortcuts[i];
            const std::string_view key = UrlKey(s.URL);
            if (s.IgnoreDup || key.empty())
                continue;
            const auto [it, isNew] = seen.try_emplace(key, Seen{node, &s, done, npos});
            if (isNew)
                continue;
            Seen& first = it->second;
            if (first.group == npos) {
                first.group = groups.size();
                TDupItems& g = groups.emplace_back(first.headOrder, TDupItems()).second;
                g.URL = first.head->URL;
                g.URLs.Add({first.head->ID(), first.head->Name, CategoryTree::CategoryPath(*first.node), first.node});
            }
            groups[first.group].second.URLs.Add({s.ID(), s.Name, pathOf(), node});
            s.IgnoreDup = true;
        }
    }
    if (progress)
        progress(total, total);
    // A group is made when its second shortcut comes; it is shown in its head's order.
    std::stable_sort(groups.begin(), groups.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<TDupItems> result;
    result.reserve(groups.size());
    for (auto& g : groups)
        result.push_back(std::move(g.second));
    return result;
}

void ClearIgnoreDup(const CategoryTree& tree) {
    tree.ForEach([](CategoryNode& node) {
        for (auto& s : node.Folder().Shortcuts)
            s->IgnoreDup = false;
    });
}

} // namespace lynkora
