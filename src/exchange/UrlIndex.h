#pragma once

#include "store/Shortcut.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace lynkora {

// The URLs of one category's shortcuts, ignoring ASCII case, for the duplicate test of an
// import: an open-addressed table of positions in the category, a few bytes a shortcut instead
// of a hashed node each. Shortcuts are only appended while it lives.
class UrlIndex {
public:
    explicit UrlIndex(const TShortcuts& shortcuts);

    bool Holds(std::string_view url) const;
    // Takes in the shortcut at `index` (the last one appended).
    void Add(std::size_t index);

private:
    std::size_t Slot(std::string_view url) const;
    void Grow();

    const TShortcuts& m_shortcuts;
    std::vector<std::uint32_t> m_slots; // position + 1; 0 is free
    std::size_t m_count = 0;
};

} // namespace lynkora
