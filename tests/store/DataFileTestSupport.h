#pragma once

#include "store/CategoryTree.h"
#include "store/DataFile.h"
#include "store/Errors.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace lynkora::test {

inline std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string ErrorText(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no error";
}

// Adds a category below parent the way the editing commands do: new identifier, node, write.
inline CategoryNode& AddCategory(TDataFile& file, CategoryTree& tree, CategoryNode& parent,
                                 const std::string& name, int shortcuts = 0) {
    auto folder = std::make_unique<TISFolder>();
    folder->FolderID = file.NewFolderID();
    folder->FolderName = name;
    for (int i = 0; i < shortcuts; ++i) {
        TIShortcut& s = folder->Shortcuts.Add();
        s.Name = name + " " + std::to_string(i);
        s.URL = "https://example.org/" + name + "/" + std::to_string(i);
    }
    CategoryNode& node = tree.AddChild(parent, std::move(folder));
    file.WriteCategory(node);
    return node;
}

// Creates a file holding one top-level category, closed again.
inline void MakeFileWithCategory(const std::string& path, bool direct, const std::string& name,
                                 int shortcuts) {
    TDataFile file(path, direct);
    CategoryTree tree;
    file.LoadTree(tree);
    AddCategory(file, tree, *tree.RootNode(), name, shortcuts);
    if (!direct)
        file.Save();
    file.Close();
}

} // namespace lynkora::test
