#include "StringList.h"

#include "NameCollator.h"

#include <algorithm>

namespace lynkora {

const ClassInfo& TStringList::classInfo() const {
    static const ClassInfo info = [] {
        ClassInfo c;
        c.className = "TStringList";
        PropInfo strings;
        strings.name = "Strings";
        strings.kind = PropKind::StringList;
        strings.getStrings = [](const StreamObject& o) -> const std::vector<std::string>& {
            return static_cast<const TStringList&>(o).Items();
        };
        strings.clearStrings = [](StreamObject& o) { static_cast<TStringList&>(o).Clear(); };
        strings.addString = [](StreamObject& o, std::string s) {
            static_cast<TStringList&>(o).Add(std::move(s));
        };
        strings.isStored = [](const StreamObject& o) {
            return !static_cast<const TStringList&>(o).Empty();
        };
        c.extraProperties.push_back(std::move(strings));
        return c;
    }();
    return info;
}

const std::vector<std::string>& TStringList::Items() const {
    static const std::vector<std::string> kNone;
    return m_items ? *m_items : kNone;
}

std::vector<std::string>& TStringList::Own() {
    if (!m_items)
        m_items = ListEntries::Make({});
    else if (m_items.Shared())
        m_items = ListEntries::Make(*m_items);
    return *m_items;
}

bool TStringList::Add(std::string text) {
    if (!Sorted()) {
        Own().push_back(std::move(text));
        return true;
    }
    // Appending in order is the common case (reading a stored, already sorted list).
    const std::vector<std::string>& items = Items();
    if (items.empty() || CompareNames(items.back(), text) < 0) {
        Own().push_back(std::move(text));
        return true;
    }
    auto pos = std::lower_bound(items.begin(), items.end(), text,
                                [](const std::string& a, const std::string& b) {
                                    return CompareNames(a, b) < 0;
                                });
    if (pos != items.end() && CompareNames(*pos, text) == 0)
        return false;
    const auto at = pos - items.begin();
    std::vector<std::string>& own = Own();
    own.insert(own.begin() + at, std::move(text));
    return true;
}

void TStringList::Delete(std::size_t index) {
    if (index < Count()) {
        std::vector<std::string>& own = Own();
        own.erase(own.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

long TStringList::IndexOf(std::string_view text) const {
    const std::vector<std::string>& items = Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const bool same = Sorted() ? SameName(items[i], text) : items[i] == text;
        if (same)
            return static_cast<long>(i);
    }
    return -1;
}

void TStringList::Assign(const TStringList& other) {
    if (this == &other)
        return;
    if (Sorted() == other.Sorted()) {
        if (other.Empty())
            m_items.reset();
        else
            m_items = other.m_items;
        return;
    }
    Clear();
    for (const auto& s : other.Items())
        Add(s);
}

void StringListPool::Share(TStringList& list) {
    if (!list.m_items)
        return;
    std::vector<std::string>& items = *list.m_items;
    std::size_t hash = items.size();
    for (const std::string& item : items)
        hash = hash * 1000003u ^ std::hash<std::string>{}(item);
    auto& lists = m_lists[list.Sorted() ? 1 : 0];
    const auto [from, to] = lists.equal_range(hash);
    for (auto it = from; it != to; ++it) {
        if (*it->second == items) {
            list.m_items = it->second;
            return;
        }
    }
    items.shrink_to_fit();
    lists.emplace(hash, list.m_items);
}

} // namespace lynkora
