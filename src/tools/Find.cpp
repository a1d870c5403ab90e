#include "tools/Find.h"

#include "store/CategoryTree.h"
#include "store/StoredTextForms.h"
#include "store/TextTools.h"

#include <algorithm>
#include <functional>
#include <string_view>

namespace lynkora {

namespace {

constexpr unsigned char Fold(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

// One searcher for the whole walk: the skip table is built once, and ignoring case folds the
// letters as they are read, so no field is copied.
class TextFinder {
public:
    TextFinder(std::string_view needle, bool caseSensitive)
        : m_needle(needle), m_exact(needle.begin(), needle.end()),
          m_folded(needle.begin(), needle.end(), FoldHash{}, FoldEqual{}), m_case(caseSensitive),
          m_plain(std::all_of(needle.begin(), needle.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {}

    // The text is compared as the views show it. A Windows-1252 text matches a needle of plain
    // ASCII exactly where its own bytes do (its other bytes become no ASCII), so only a needle
    // with other letters needs the text in UTF-8 first.
    bool In(std::string_view text) const {
        if (text.size() < m_needle.size() && m_plain)
            return false;
        if (!m_plain && !IsValidUtf8(text))
            return Search(StoredTextAsUtf8(text));
        return Search(text);
    }

private:
    bool Search(std::string_view text) const {
        if (text.size() < m_needle.size())
            return false;
        return m_case ? std::search(text.begin(), text.end(), m_exact) != text.end()
                      : std::search(text.begin(), text.end(), m_folded) != text.end();
    }
    struct FoldHash {
        std::size_t operator()(char c) const { return Fold(static_cast<unsigned char>(c)); }
    };
    struct FoldEqual {
        bool operator()(char a, char b) const {
            return Fold(static_cast<unsigned char>(a)) == Fold(static_cast<unsigned char>(b));
        }
    };
    std::string_view m_needle;
    std::boyer_moore_horspool_searcher<std::string_view::const_iterator> m_exact;
    std::boyer_moore_horspool_searcher<std::string_view::const_iterator, FoldHash, FoldEqual> m_folded;
    bool m_case;
    bool m_plain; // the needle is ASCII
};

// Whether the shortcut holds the text where the options look; byName tells that the name did.
bool Matches(const TIShortcut& s, int searchIn, const TextFinder& find, bool& byName) {
    byName = false;
    auto keywords = [&] {
        return std::any_of(s.Keywords.Items().begin(), s.Keywords.Items().end(),
                           [&](const std::string& k) { return find.In(k); });
    };
    switch (searchIn) {
    case sfNames:
        return byName = find.In(s.Name);
    case sfURLs:
        return find.In(s.URL);
    case sfDescriptions:
        return find.In(s.Descr);
    case sfKeywords:
        return keywords();
    case sfAll:
        if (find.In(s.Name))
            return byName = true;
        return find.In(s.URL) || find.In(s.Descr) || keywords();
    default:
        return false;
    }
}

} // namespace

int TreePosition(const CategoryTree& tree, const CategoryNode* node) {
    const std::vector<CategoryNode*> order = tree.PreOrder();
    const auto it = std::find(order.begin(), order.end(), node);
    return it == order.end() ? -1 : static_cast<int>(it - order.begin());
}

bool SearchFrom(TSearchOptions& o, const CategoryTree& tree, SearchMatch& match) {
    if (!o.CaseSensitive)
        o.FindText = LowerAscii(o.FindText);
    if (o.FindText.empty())
        return false;
    const TextFinder find(o.FindText, o.CaseSensitive);
    const std::vector<CategoryNode*> order = tree.PreOrder();
    const int first = std::max(o.StartCategory, 0);
    for (int c = first; c < static_cast<int>(order.size()); ++c) {
        if (c != o.StartCategory)
            o.StartShortcut = 0;
        const TShortcuts& shortcuts = order[static_cast<std::size_t>(c)]->Folder().Shortcuts;
        for (std::size_t i = static_cast<std::size_t>(std::max(o.StartShortcut, 0)); i < shortcuts.Count(); ++i) {
            bool byName = false;
            if (!Matches(shortcuts[i], o.SearchIn, find, byName))
                continue;
            match = {order[static_cast<std::size_t>(c)], i, shortcuts[i].ID(), byName};
            if (i + 1 < shortcuts.Count()) {
                o.StartCategory = c;
                o.StartShortcut = static_cast<int>(i + 1);
            } else {
                o.StartCategory = c + 1;
                o.StartShortcut = 0;
            }
            return true;
        }
    }
    return false;
}

} // namespace lynkora
