// Saves (or saves and compacts) a data file in an endless loop until it is killed.
//   crash_helper save FILE       working-copy edits and saves
//   crash_helper compact FILE    a save, then a compaction, over and over
#include "CrashCollection.h"

#include "store/Compaction.h"
#include "store/DataFile.h"

#include <cstdio>
#include <cstring>
#include <string>

using namespace lynkora;

namespace {

void WriteState(TDataFile& file, CategoryTree& tree, int state) {
    CategoryNode& root = *tree.RootNode();
    while (root.ChildCount() > 0) {
        CategoryNode& child = root.Child(0);
        file.OpenRoot().DestroyElement(child.Folder().FolderID);
        tree.Remove(child);
    }
    root.Folder().Descr = "state " + std::to_string(state);
    file.WriteCategory(root);
    for (int c = 0; c < test::CrashCategories(state); ++c) {
        auto folder = std::make_unique<TISFolder>();
        folder->FolderID = file.NewFolderID();
        folder->FolderName = "c" + std::to_string(c);
        for (int s = 0; s < test::kCrashShortcuts; ++s) {
            TIShortcut& sc = folder->Shortcuts.Add();
            sc.Name = test::CrashName(state, c, s);
            sc.URL = "https://example.org/" + sc.Name;
            sc.Descr = std::string(40 + state % 300, 'd');
        }
        file.WriteCategory(tree.AddChild(root, std::move(folder)));
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const bool compact = std::strcmp(argv[1], "compact") == 0;
    const std::string path = argv[2];
    int state;
    {
        TDataFile file(path, false);
        CategoryTree tree;
        file.LoadTree(tree);
        std::string why;
        state = test::CrashStateOf(tree, why);
        if (state < 0) {
            std::fprintf(stderr, "crash_helper: %s\n", why.c_str());
            return 1;
        }
    }
    for (;;) {
        ++state;
        {
            TDataFile file(path, false);
            CategoryTree tree;
            file.LoadTree(tree);
            WriteState(file, tree, state);
            file.Save();
            file.Close();
        }
        if (compact)
            CompactDataFile(path);
    }
}
