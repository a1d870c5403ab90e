#include "CompactText.h"

#include "BlockPool.h"

#include <cstring>
#include <ostream>
#include <stdexcept>

namespace lynkora {

void CompactText::Assign(std::string_view text) {
    if (text.size() > UINT32_MAX)
        throw std::length_error("text too long");
    // The old block goes only after the copy: the text may be a view into it.
    char* block = nullptr;
    if (!text.empty()) {
        block = static_cast<char*>(BlockPool::Allocate(sizeof(std::uint32_t) + text.size() + 1));
        const auto n = static_cast<std::uint32_t>(text.size());
        std::memcpy(block, &n, sizeof n);
        std::memcpy(block + sizeof n, text.data(), text.size());
        block[sizeof n + text.size()] = '\0';
    }
    Free();
    m_block = block;
}

void CompactText::Free() {
    if (m_block)
        BlockPool::Free(m_block, sizeof(std::uint32_t) + size() + 1);
    m_block = nullptr;
}

std::ostream& operator<<(std::ostream& out, const CompactText& text) { return out << text.view(); }

} // namespace lynkora
