#include "Shortcut.h"

#include "BlockPool.h"

#include <algorithm>
#include <utility>

namespace lynkora {

#if defined(__x86_64__) && defined(__GLIBCXX__)
// A million shortcuts are held at once, each in a pool block of its own size: eight bytes more
// here are 8 MB more. Grow it only knowingly.
static_assert(sizeof(TIShortcut) <= 96, "TIShortcut grew");
#endif

const ClassInfo& TIShortcut::classInfo() const {
    static const ClassInfo info = [] {
        using C = TIShortcut;
        ClassInfo c;
        c.className = "TIShortcut";
        c.properties = {
            props::floating("Added", &C::Added),
            props::floating("Access", &C::Access),
            props::floating("Verified", &C::Verified),
            props::integer("Count", &C::Count),
            props::integer("VerState", &C::VerState),
            props::text("Name", &C::Name),
            props::text("Descr", &C::Descr),
            props::object("Keywords", &C::Keywords),
            props::text("URL", &C::URL),
            props::text("verResponse", &C::verResponse),
            props::boolean("IgnoreDup", &C::IgnoreDup),
        };
        return c;
    }();
    return info;
}

void TIShortcut::Assign(const TIShortcut& source) {
    if (this == &source)
        return;
    Name = source.Name;
    URL = source.URL;
    Descr = source.Descr;
    Added = source.Added;
    Access = source.Access;
    Count = source.Count;
}

static_assert(alignof(TIShortcut) <= 8, "pool blocks are aligned to 8 bytes");

void* TIShortcut::operator new(std::size_t bytes) { return BlockPool::Allocate(bytes); }

void TIShortcut::operator delete(void* block, std::size_t bytes) noexcept { BlockPool::Free(block, bytes); }

TIShortcut& TShortcuts::Add() {
    m_items.push_back(std::unique_ptr<TIShortcut>(new TIShortcut(m_nextId++)));
    return *m_items.back();
}

TIShortcut* TShortcuts::FindItemID(std::uint32_t id) {
    return const_cast<TIShortcut*>(std::as_const(*this).FindItemID(id));
}

const TIShortcut* TShortcuts::FindItemID(std::uint32_t id) const {
    // Identities grow with position unless items were moved, so try the likely slot first.
    if (id < m_items.size() && m_items[id]->ID() == id)
        return m_items[id].get();
    for (const auto& item : m_items)
        if (item->ID() == id)
            return item.get();
    return nullptr;
}

void TShortcuts::Delete(std::size_t index) {
    if (index < m_items.size())
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
}

void TShortcuts::Move(std::size_t from, std::size_t to) {
    if (from >= m_items.size() || to >= m_items.size() || from == to)
        return;
    auto item = std::move(m_items[from]);
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(from));
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(to), std::move(item));
}

std::size_t TShortcuts::IndexOf(const TIShortcut& item) const {
    auto it = std::find_if(m_items.begin(), m_items.end(),
                           [&](const auto& p) { return p.get() == &item; });
    return static_cast<std::size_t>(it - m_items.begin());
}

} // namespace lynkora
