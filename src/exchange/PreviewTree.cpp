#include "PreviewTree.h"

namespace lynkora {

int PreviewEntry::Depth() const {
    int d = 0;
    for (const PreviewEntry* p = m_parent; p; p = p->m_parent)
        ++d;
    return d;
}

PreviewEntry& PreviewEntry::AddChild(Kind kind, std::string text) {
    m_children.push_back(std::make_unique<PreviewEntry>(kind, std::move(text)));
    m_children.back()->m_parent = this;
    return *m_children.back();
}

PreviewEntry& PreviewEntry::AddShortcut(const TIShortcut& shortcut) {
    PreviewEntry& e = AddChild(Kind::Shortcut, shortcut.URL);
    e.m_shortcutId = shortcut.ID();
    return e;
}

} // namespace lynkora
