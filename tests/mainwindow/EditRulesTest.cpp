#include "mainwindow/EditRules.h"

#include <gtest/gtest.h>

using namespace lynkora;

namespace {

std::unique_ptr<TISFolder> Folder(const std::string& name) {
    auto f = std::make_unique<TISFolder>();
    f->FolderName = name;
    return f;
}

// root
//   News
//     Science
//   Tech
//     Gadgets
//       Science
//   Music
struct Tree {
    Tree() {
        root = &tree.SetRoot(Folder("My Internet Shortcuts"));
        news = &tree.AddChild(*root, Folder("News"));
        science = &tree.AddChild(*news, Folder("Science"));
        tech = &tree.AddChild(*root, Folder("Tech"));
        gadgets = &tree.AddChild(*tech, Folder("Gadgets"));
        deepScience = &tree.AddChild(*gadgets, Folder("Science"));
        music = &tree.AddChild(*root, Folder("Music"));
    }
    CategoryTree tree;
    CategoryNode *root, *news, *science, *tech, *gadgets, *deepScience, *music;
};

} // namespace

TEST(EditRules, RenamingInPlace) {
    Tree t;
    EXPECT_EQ(CategoryRename(*t.news, "TECH"), RenameResult::Refuse) << "a sibling in other case";
    EXPECT_EQ(CategoryRename(*t.news, "NEWS"), RenameResult::Accept) << "own name, new case";
    EXPECT_EQ(CategoryRename(*t.news, "Science"), RenameResult::Accept) << "only siblings count";
    EXPECT_EQ(CategoryRename(*t.news, ""), RenameResult::EditAgain);
    EXPECT_EQ(CategoryRenameError("News", "Tech"),
              "Cannot rename \"News\" to \"Tech\":\n\nA category with the name you specified already exists.");

    TISFolder folder;
    for (const char* name : {"Alpha", "Beta"})
        folder.Shortcuts.Add().Name = name;
    const TIShortcut& alpha = folder.Shortcuts[0];
    EXPECT_EQ(ShortcutRename(folder, alpha, "alpha"), RenameResult::Accept);
    EXPECT_EQ(ShortcutRename(folder, alpha, "BETA"), RenameResult::Refuse);
    EXPECT_EQ(ShortcutRename(folder, alpha, ""), RenameResult::Refuse);
    EXPECT_EQ(ShortcutRename(folder, alpha, "Gamma"), RenameResult::Accept);
    EXPECT_TRUE(ShortcutRenameError("a", "b").ends_with("A shortcut with the name you specified already exists."));
}

TEST(EditRules, WhereACategoryMayBeDropped) {
    Tree t;
    EXPECT_FALSE(CanDropCategory(t.tree, *t.root, *t.music)) << "the root never moves";
    EXPECT_FALSE(CanDropCategory(t.tree, *t.tech, *t.tech)) << "onto itself";
    EXPECT_FALSE(CanDropCategory(t.tree, *t.gadgets, *t.tech)) << "onto its own parent";
    EXPECT_FALSE(CanDropCategory(t.tree, *t.tech, *t.deepScience)) << "below itself";
    EXPECT_TRUE(CanDropCategory(t.tree, *t.music, *t.news));
    EXPECT_TRUE(CanDropCategory(t.tree, *t.gadgets, *t.science)) << "one level down, no Gadgets there";
    EXPECT_TRUE(CanDropCategory(t.tree, *t.gadgets, *t.root)) << "below the tree means under the root";
    // "Science" exists at depth 2 under News, so it cannot land under Music either.
    EXPECT_FALSE(CanDropCategory(t.tree, *t.deepScience, *t.music));
    // Onto a category at its parent's depth: its own name is found at the destination depth.
    EXPECT_FALSE(CanDropCategory(t.tree, *t.science, *t.tech));
    EXPECT_FALSE(CanDropCategory(t.tree, *t.gadgets, *t.music));
}
