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

bool TStringList::Add(std::string text) {
    if (m_mode == Mode::Plain) {
        m_items.push_back(std::move(text));
        return true;
    }
    // Appending in order is the common case (reading a stored, already sorted list).
    if (m_items.empty() || CompareNames(m_items.back(), text) < 0) {
        m_items.push_back(std::move(text));
        return true;
    }
    auto pos = std::lower_bound(m_items.begin(), m_items.end(), text,
                                [](const std::string& a, const std::string& b) {
                                    return CompareNames(a, b) < 0;
                                });
    if (pos != m_items.end() && CompareNames(*pos, text) == 0)
        return false;
    m_items.insert(pos, std::move(text));
    return true;
}

void TStringList::Delete(std::size_t index) {
    if (index < m_items.size())
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
}

long TStringList::IndexOf(std::string_view text) const {
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const bool same = Sorted() ? SameName(m_items[i], text) : m_items[i] == text;
        if (same)
            return static_cast<long>(i);
    }
    return -1;
}

void TStringList::Assign(const TStringList& other) {
    if (this == &other)
        return;
    if (m_mode == other.m_mode) {
        m_items = other.m_items;
        return;
    }
    Clear();
    for (const auto& s : other.m_items)
        Add(s);
}

} // namespace lynkora
