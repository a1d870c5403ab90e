#include "UrlIndex.h"

#include "store/TextTools.h"

namespace lynkora {

UrlIndex::UrlIndex(const TShortcuts& shortcuts) : m_shortcuts(shortcuts) {
    m_slots.assign(16, 0);
    for (std::size_t i = 0; i < shortcuts.Count(); ++i)
        Add(i);
}

// The slot holding the URL, or the free slot where it would go.
std::size_t UrlIndex::Slot(std::string_view url) const {
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t at = AsciiNoCaseHash{}(url) & mask;; at = (at + 1) & mask) {
        const std::uint32_t held = m_slots[at];
        if (held == 0 || AsciiNoCaseEqual{}(m_shortcuts[held - 1].URL, url))
            return at;
    }
}

bool UrlIndex::Holds(std::string_view url) const { return m_slots[Slot(url)] != 0; }

void UrlIndex::Add(std::size_t index) {
    if ((m_count + 1) * 2 > m_slots.size())
        Grow();
    const std::size_t at = Slot(m_shortcuts[index].URL);
    if (m_slots[at] == 0) { // a URL held already keeps its first shortcut
        m_slots[at] = static_cast<std::uint32_t>(index + 1);
        ++m_count;
    }
}

void UrlIndex::Grow() {
    std::vector<std::uint32_t> old(m_slots.size() * 2, 0);
    old.swap(m_slots);
    for (const std::uint32_t held : old)
        if (held != 0)
            m_slots[Slot(m_shortcuts[held - 1].URL)] = held;
}

} // namespace lynkora
