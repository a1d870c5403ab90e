#pragma once

#include "store/CategoryTree.h"

#include <string>
#include <string_view>

namespace lynkora {

// What becomes of an in-place rename.
enum class RenameResult {
    Accept,    // take the new name
    EditAgain, // an empty name: put the old one back and edit again
    Refuse,    // put the old name back; report the conflict when the new name is not empty
};

// A category may take its own name in another case, or any name no sibling bears.
RenameResult CategoryRename(const CategoryNode& node, std::string_view newName);
// A shortcut may take its own name in another case, or any name no shortcut of its category bears.
RenameResult ShortcutRename(const TISFolder& folder, const TIShortcut& shortcut, std::string_view newName);

std::string CategoryRenameError(std::string_view oldName, std::string_view newName);
std::string CategoryCreateError(std::string_view name);
std::string ShortcutCreateError(std::string_view name);

// Whether a property dialog checks a typed name for duplicates: not when it opened without a
// name, nor when the name is the one it opened with (in any case).
bool NeedsNameCheck(std::string_view initialName, std::string_view name);
std::string ShortcutRenameError(std::string_view oldName, std::string_view newName);

// Whether no shortcut of the category has the name (ignoring ASCII case).
bool IsShortcutNameFree(const TISFolder& folder, std::string_view name);

// Whether a dragged category may be dropped on the target: never the root, never onto itself, its
// own parent or its descendants, and never where its name already exists at the destination depth
// (anywhere in the tree, the dragged category included).
bool CanDropCategory(const CategoryTree& tree, const CategoryNode& dragged, const CategoryNode& target);

} // namespace lynkora
