#pragma once

// The collections the crash test writes: state g has g % 4 + 1 categories of 50 shortcuts,
// all named after g, so a reader can tell a complete state from a mixed or partial one.

#include "store/CategoryTree.h"

#include <string>

namespace lynkora::test {

inline constexpr int kCrashShortcuts = 50;

inline int CrashCategories(int state) { return state % 4 + 1; }

inline std::string CrashName(int state, int category, int shortcut) {
    return "g" + std::to_string(state) + "-c" + std::to_string(category) + "-s" +
           std::to_string(shortcut);
}

// Checks a loaded tree; returns its state number, or -1 with a reason in `why`.
inline int CrashStateOf(const CategoryTree& tree, std::string& why) {
    const CategoryNode* root = tree.RootNode();
    if (!root || root->Folder().Descr.rfind("state ", 0) != 0) {
        why = "no state in the root category";
        return -1;
    }
    const int state = std::stoi(root->Folder().Descr.substr(6));
    if (static_cast<int>(root->ChildCount()) != CrashCategories(state)) {
        why = "state " + std::to_string(state) + " has " + std::to_string(root->ChildCount()) +
              " categories";
        return -1;
    }
    for (std::size_t c = 0; c < root->ChildCount(); ++c) {
        const TISFolder& f = root->Child(c).Folder();
        if (f.Shortcuts.Count() != kCrashShortcuts) {
            why = "a category of state " + std::to_string(state) + " is incomplete";
            return -1;
        }
        const int index = std::stoi(f.FolderName.substr(1));
        for (int s = 0; s < kCrashShortcuts; ++s) {
            if (f.Shortcuts[static_cast<std::size_t>(s)].Name != CrashName(state, index, s)) {
                why = "a shortcut of another state in state " + std::to_string(state);
                return -1;
            }
        }
    }
    return state;
}

} // namespace lynkora::test
