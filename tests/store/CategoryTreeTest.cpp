#include "store/CategoryTree.h"
#include "store/NameCollator.h"

#include <gtest/gtest.h>

using namespace lynkora;

namespace {

std::unique_ptr<TISFolder> Folder(const std::string& name, int access = 0) {
    auto f = std::make_unique<TISFolder>();
    f->FolderName = name;
    f->AccessCount = access;
    return f;
}

std::vector<std::string> Names(const CategoryNode& parent) {
    std::vector<std::string> out;
    for (const auto& c : parent.Children())
        out.push_back(c->Text());
    return out;
}

} // namespace

TEST(CategoryTree, StructureWalksAndPaths) {
    CategoryTree tree;
    CategoryNode& root = tree.SetRoot(Folder("My Internet Shortcuts"));
    CategoryNode& news = tree.AddChild(root, Folder("News"));
    CategoryNode& science = tree.AddChild(news, Folder("Science"));
    CategoryNode& tech = tree.AddChild(root, Folder("Tech"));
    science.Folder().Shortcuts.Add();
    tech.Folder().Shortcuts.Add();
    tech.Folder().Shortcuts.Add();

    EXPECT_EQ(tree.RootNode(), &root);
    EXPECT_EQ(science.Depth(), 2);
    EXPECT_EQ(CategoryTree::CategoryPath(science), "My Internet Shortcuts\\News\\Science");
    EXPECT_EQ(CategoryTree::CategoryPath(root), "My Internet Shortcuts");
    const auto order = tree.PreOrder();
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(order[1], &news);
    EXPECT_EQ(order[2], &science);
    EXPECT_EQ(order[3], &tech);
    EXPECT_EQ(tree.NodeCount(), 4u);
    EXPECT_EQ(tree.ShortcutCount(), 3u);

    CategoryNode* found = nullptr;
    EXPECT_FALSE(CategoryTree::FindChildCategory(root, "news", &found));
    EXPECT_EQ(found, &news);
    EXPECT_TRUE(CategoryTree::FindChildCategory(root, "Science"));
    EXPECT_EQ(tree.FindCategoryByName("  SCIENCE ", 2), &science);
    EXPECT_EQ(tree.FindCategoryByName("Science", 1), nullptr);

    EXPECT_FALSE(tree.Move(news, science)) << "a node cannot move below itself";
    EXPECT_TRUE(tree.Move(science, tech));
    EXPECT_EQ(science.Parent(), &tech);
    EXPECT_EQ(CategoryTree::CategoryPath(science), "My Internet Shortcuts\\Tech\\Science");
    tree.Remove(tech);
    EXPECT_EQ(tree.NodeCount(), 2u);
}

TEST(CategoryTree, SortOrders) {
    CategoryTree tree;
    CategoryNode& root = tree.SetRoot(Folder("root"));
    tree.AddChild(root, Folder("beta", 5));
    tree.AddChild(root, Folder("Alpha", 1));
    tree.AddChild(root, Folder("alpha", 9));
    CategoryNode& gamma = tree.AddChild(root, Folder("Gamma", 3));
    tree.AddChild(gamma, Folder("z"));
    tree.AddChild(gamma, Folder("A"));

    tree.SortTree(tsoNameAscending);
    auto names = Names(root);
    // Names differing only in case stay next to each other.
    EXPECT_EQ(CompareAsciiNoCase(names[0], "alpha"), 0);
    EXPECT_EQ(CompareAsciiNoCase(names[1], "alpha"), 0);
    EXPECT_EQ(names[2], "beta");
    EXPECT_EQ(names[3], "Gamma");
    EXPECT_EQ(Names(gamma), (std::vector<std::string>{"A", "z"}));

    tree.SortTree(tsoNameDescending);
    names = Names(root);
    EXPECT_EQ(names[0], "Gamma");
    EXPECT_EQ(Names(gamma), (std::vector<std::string>{"z", "A"}));

    tree.SortTree(tsoAccessAscending);
    EXPECT_EQ(Names(root), (std::vector<std::string>{"Alpha", "Gamma", "beta", "alpha"}));
    tree.SortTree(tsoAccessDescending);
    EXPECT_EQ(Names(root), (std::vector<std::string>{"alpha", "beta", "Gamma", "Alpha"}));
    tree.SortTree(999); // unknown orders sort by name ascending
    EXPECT_EQ(Names(root)[3], "Gamma");
}
