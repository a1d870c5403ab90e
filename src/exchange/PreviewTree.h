#pragma once

#include "store/Folder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lynkora {

// What the import confirmation shows: a file entry at the top, category entries carrying their
// categories, and shortcut entries carrying the identity of their shortcut in the category of
// their parent entry.
class PreviewEntry {
public:
    enum class Kind { File, Category, Shortcut };

    PreviewEntry(Kind kind, std::string text) : m_kind(kind), m_text(std::move(text)) {}

    Kind EntryKind() const { return m_kind; }
    const std::string& Text() const { return m_text; }
    PreviewEntry* Parent() const { return m_parent; }
    const std::vector<std::unique_ptr<PreviewEntry>>& Children() const { return m_children; }
    int Depth() const;

    // The category of a category entry, or the root category of a data file's file entry.
    TISFolder* Folder() const { return m_folder.get(); }
    void SetFolder(std::unique_ptr<TISFolder> folder) { m_folder = std::move(folder); }
    std::uint32_t ShortcutID() const { return m_shortcutId; }

    PreviewEntry& AddChild(Kind kind, std::string text);
    PreviewEntry& AddShortcut(const TIShortcut& shortcut);

private:
    Kind m_kind;
    std::string m_text;
    PreviewEntry* m_parent = nullptr;
    std::vector<std::unique_ptr<PreviewEntry>> m_children;
    std::unique_ptr<TISFolder> m_folder;
    std::uint32_t m_shortcutId = 0;
};

} // namespace lynkora
