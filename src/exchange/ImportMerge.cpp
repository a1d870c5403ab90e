#include "ImportMerge.h"

#include "ImportTarget.h"

#include "store/TextTools.h"

#include <unordered_map>
#include <unordered_set>

namespace lynkora {

namespace {

using NameSet = std::unordered_set<std::string_view, AsciiNoCaseHash, AsciiNoCaseEqual>;

// The entries in tree order: each before its children.
std::vector<const PreviewEntry*> PreOrder(const PreviewEntry& top) {
    std::vector<const PreviewEntry*> out;
    std::vector<const PreviewEntry*> stack{&top};
    while (!stack.empty()) {
        const PreviewEntry* e = stack.back();
        stack.pop_back();
        out.push_back(e);
        const auto& children = e->Children();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            if ((*it)->EntryKind() != PreviewEntry::Kind::Shortcut)
                stack.push_back(it->get());
    }
    return out;
}

// The shortcuts of an entry's category whose entries are ticked, in the category's order.
std::vector<const TIShortcut*> TickedShortcuts(const PreviewEntry& entry, const TickOf& tick) {
    std::unordered_set<std::uint32_t> ticked;
    for (const auto& child : entry.Children())
        if (child->EntryKind() == PreviewEntry::Kind::Shortcut && tick(*child) == TickState::Ticked)
            ticked.insert(child->ShortcutID());
    std::vector<const TIShortcut*> out;
    if (!entry.Folder() || ticked.empty())
        return out;
    out.reserve(ticked.size());
    for (const auto& s : entry.Folder()->Shortcuts)
        if (ticked.count(s->ID()))
            out.push_back(s.get());
    return out;
}

} // namespace

TickState AllTicked(const PreviewEntry&) { return TickState::Ticked; }

void FillLinkPreview(PreviewEntry& fileEntry, const std::vector<std::string>& links) {
    for (const std::string& link : links)
        fileEntry.AddChild(PreviewEntry::Kind::Shortcut, link);
}

std::size_t MergeLinks(const PreviewEntry& fileEntry, const TickOf& tick, CategoryNode& target, ImportTarget& writer,
                       TDateTime now) {
    std::size_t added = 0;
    for (const auto& entry : fileEntry.Children()) {
        if (tick(*entry) != TickState::Ticked)
            continue;
        TIShortcut& s = writer.AddShortcut(target, entry->Text());
        s.Name = entry->Text();
        s.Added = now;
        ++added;
    }
    writer.WriteCategory(target);
    return added;
}

MergeCount MergeDataFile(const PreviewEntry& fileEntry, DataFileKind kind, const TickOf& tick, ImportTarget& target) {
    const char* keyword = kind == DataFileKind::Classic ? "Lynkora 3" : "Lynkora 4";
    MergeCount count;
    // The names each category holds, as views into its shortcuts, filled on first use.
    std::unordered_map<const CategoryNode*, NameSet> names;
    auto namesOf = [&](CategoryNode& node) -> NameSet& {
        auto [it, inserted] = names.try_emplace(&node);
        if (inserted)
            for (const auto& s : node.Folder().Shortcuts)
                it->second.insert(s->Name);
        return it->second;
    };
    for (const PreviewEntry* entry : PreOrder(fileEntry)) {
        if (entry == &fileEntry && kind == DataFileKind::Classic)
            continue;
        if (tick(*entry) == TickState::Unticked)
            continue;
        const std::vector<const TIShortcut*> shortcuts = TickedShortcuts(*entry, tick);
        const int depth = entry->Depth();
        CategoryNode* node = entry == &fileEntry ? &target.Root() : target.FindCategoryByName(entry->Text(), depth);
        if (node) {
            NameSet& held = namesOf(*node);
            for (const TIShortcut* s : shortcuts) {
                if (held.count(s->Name))
                    continue;
                TIShortcut& copy = node->Folder().Shortcuts.Add();
                copy.Assign(*s);
                held.insert(copy.Name);
                target.MarkNew(*node);
                ++count.shortcuts;
            }
        } else {
            const PreviewEntry* parentEntry = entry->Parent();
            CategoryNode* parent = nullptr;
            if (parentEntry && depth - 1 != 0)
                parent = target.FindCategoryByName(parentEntry->Text(), depth - 1);
            if (!parent)
                parent = &target.Root();
            auto folder = std::make_unique<TISFolder>();
            folder->FolderName = entry->Text();
            for (const TIShortcut* s : shortcuts)
                folder->Shortcuts.Add().Assign(*s);
            folder->Keywords.Add(keyword);
            count.shortcuts += shortcuts.size();
            target.AddCategory(*parent, std::move(folder)); // written there, with its new images
            ++count.newCategories;
            continue;
        }
        node->Folder().Keywords.Add(keyword);
        target.WriteCategory(*node);
    }
    return count;
}

} // namespace lynkora
