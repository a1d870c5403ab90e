#pragma once

// The duplicate scan as first written, every shortcut compared with every other and marked as
// it goes: the measure the one-pass scan is held to, in the tests and the benchmarks.
#include "store/CategoryTree.h"
#include "store/TextTools.h"
#include "tools/DuplicateScan.h"

#include <string>
#include <vector>

namespace lynkora::test {

inline std::vector<TDupItems> ReferenceScan(const CategoryTree& tree) {
    std::vector<TDupItems> groups;
    const std::vector<CategoryNode*> order = tree.PreOrder();
    for (CategoryNode* c : order) {
        TShortcuts& cs = c->Folder().Shortcuts;
        for (std::size_t i = cs.Count(); i-- > 0;) {
            TIShortcut& s = cs[i];
            TDupItems group;
            group.URL = s.URL;
            group.URLs.Add({s.ID(), s.Name, CategoryTree::CategoryPath(*c), c});
            if (!s.URL.empty() && !UrlKey(s.URL).empty()) {
                for (CategoryNode* d : order) {
                    TShortcuts& ds = d->Folder().Shortcuts;
                    for (std::size_t j = ds.Count(); j-- > 0;) {
                        TIShortcut& t = ds[j];
                        if ((d == c && t.ID() == s.ID()) || t.URL.empty() || t.IgnoreDup || s.IgnoreDup)
                            continue;
                        if (LowerAscii(UrlKey(t.URL)) != LowerAscii(UrlKey(s.URL)))
                            continue;
                        group.URLs.Add({t.ID(), t.Name, CategoryTree::CategoryPath(*d), d});
                        t.IgnoreDup = true;
                    }
                }
            }
            if (group.URLs.Count() >= 2)
                groups.push_back(std::move(group));
        }
    }
    return groups;
}

// The groups as text, one line per group and per entry.
inline std::string Describe(const std::vector<TDupItems>& groups) {
    std::string text;
    for (const TDupItems& g : groups) {
        text += g.URL + "\n";
        for (std::size_t i = 0; i < g.URLs.Count(); ++i) {
            const TDupURL& e = g.URLs.Items(i);
            text += "  " + std::to_string(e.ShortID) + " " + e.Name + " (Category: " + e.Category + ")\n";
        }
    }
    return text;
}

} // namespace lynkora::test
