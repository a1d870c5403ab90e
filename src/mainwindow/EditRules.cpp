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
std::string RenameError(std::string_view oldName, std::string_view newName, const char* what) {
    return "Cannot rename \"" + std::string(oldName) + "\" to \"" + std::string(newName) + "\":\n\nA " + what +
           " with the name you specified already exists.";
}
} // namespace

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
