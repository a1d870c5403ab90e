#include "mainwindow/EditRules.h"

#include "store/NameCollator.h"

namespace lynkora {

RenameResult CategoryRename(const CategoryNode& node, std::string_view newName) {
    if (CompareAsciiNoCase(node.Text(), newName) == 0)
        return RenameResult::Accept; // a change of case only
    if (newName.empty())
        return RenameResult::EditAgain;
    if (!node.Parent() || CategoryTree::FindChildCategory(*node.Parent(), newName))
        return RenameResult::Accept;
    return RenameResult::Refuse;
}

bool IsShortcutNameFree(const TISFolder& folder, std::string_view name) {
    for (const auto& s : folder.Shortcuts)
        if (CompareAsciiNoCase(s->Name, name) == 0)
            return false;
    return true;
}

RenameResult ShortcutRename(const TISFolder& folder, const TIShortcut& shortcut, std::string_view newName) {
    if (CompareAsciiNoCase(shortcut.Name, newName) == 0)
        return RenameResult::Accept;
    if (!newName.empty() && IsShortcutNameFree(folder, newName))
        return RenameResult::Accept;
    return RenameResult::Refuse;
}

namespace {
std::string Exists(const char* what) {
    return std::string(":\n\nA ") + what + " with the name you specified already exists.";
}
std::string RenameError(std::string_view oldName, std::string_view newName, const char* what) {
    return "Cannot rename \"" + std::string(oldName) + "\" to \"" + std::string(newName) + "\"" + Exists(what);
}
std::string CreateError(std::string_view name, const char* what) {
    return "Cannot create " + std::string(what) + " \"" + std::string(name) + "\"" + Exists(what);
}
} // namespace

std::string CategoryCreateError(std::string_view name) { return CreateError(name, "category"); }
std::string ShortcutCreateError(std::string_view name) { return CreateError(name, "shortcut"); }

bool NeedsNameCheck(std::string_view initialName, std::string_view name) {
    return !initialName.empty() && CompareAsciiNoCase(name, initialName) != 0;
}

std::string CategoryRenameError(std::string_view oldName, std::string_view newName) {
    return RenameError(oldName, newName, "category");
}

std::string ShortcutRenameError(std::string_view oldName, std::string_view newName) {
    return RenameError(oldName, newName, "shortcut");
}

bool CanDropCategory(const CategoryTree& tree, const CategoryNode& dragged, const CategoryNode& target) {
    if (!dragged.Parent() || &target == &dragged || &target == dragged.Parent() || dragged.IsAncestorOf(target))
        return false;
    return tree.FindCategoryByName(dragged.Text(), target.Depth() + 1) == nullptr;
}

} // namespace lynkora
