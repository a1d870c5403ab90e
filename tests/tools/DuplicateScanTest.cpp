#include "ReferenceDuplicateScan.h"
#include "tools/DuplicateScan.h"

#include "store/CategoryTree.h"

#include <gtest/gtest.h>

#include <random>

namespace lynkora {
namespace {

CategoryNode& AddCategory(CategoryTree& tree, CategoryNode* parent, const std::string& name) {
    auto folder = std::make_unique<TISFolder>();
    folder->FolderName = name;
    return parent ? tree.AddChild(*parent, std::move(folder)) : tree.SetRoot(std::move(folder));
}

TIShortcut& AddShortcut(CategoryNode& node, const std::string& name, const std::string& url) {
    TIShortcut& s = node.Folder().Shortcuts.Add();
    s.Name = name;
    s.URL = url;
    return s;
}

std::vector<bool> Marks(const CategoryTree& tree) {
    std::vector<bool> marks;
    tree.ForEach([&](CategoryNode& n) {
        for (auto& s : n.Folder().Shortcuts)
            marks.push_back(s->IgnoreDup);
    });
    return marks;
}

TEST(DuplicateScan, KeysFoldLettersAndOneTrailingSlash) {
    EXPECT_TRUE(UrlKeysMatch("http://A.example/Path", "http://a.example/path/"));
    EXPECT_FALSE(UrlKeysMatch("http://a.example//", "http://a.example"));
    EXPECT_FALSE(UrlKeysMatch("http://a.example//", "http://a.example/"));
    EXPECT_FALSE(UrlKeysMatch("", ""));
    EXPECT_FALSE(UrlKeysMatch("/", ""));
    // Only A to Z fold; other bytes must be equal.
    EXPECT_FALSE(UrlKeysMatch("http://\xC3\x89.example", "http://\xC3\xA9.example"));
}

TEST(DuplicateScan, GroupsHeadsAndOrder) {
    CategoryTree tree;
    CategoryNode& root = AddCategory(tree, nullptr, "Bookmarks");
    CategoryNode& news = AddCategory(tree, &root, "News");
    CategoryNode& sport = AddCategory(tree, &news, "Sport");
    CategoryNode& misc = AddCategory(tree, &root, "Misc");
    AddShortcut(root, "r0", "http://same.example/");
    AddShortcut(root, "r1", "http://other.example/x");
    AddShortcut(root, "r2", "http://OTHER.example/x/");
    AddShortcut(news, "n0", "http://same.example");
    AddShortcut(news, "n1", "");
    AddShortcut(news, "n2", "");
    AddShortcut(sport, "s0", "HTTP://SAME.EXAMPLE/");
    AddShortcut(misc, "m0", "http://lonely.example//");
    AddShortcut(misc, "m1", "http://lonely.example");
    AddShortcut(misc, "m2", "/");
    AddShortcut(misc, "m3", "/");

    const std::vector<TDupItems> groups = ScanDuplicates(tree);
    // Root first, its shortcuts last to first: r2 heads the "other" group, r0 the "same" one.
    EXPECT_EQ(test::Describe(groups), "http://OTHER.example/x/\n"
                                "  2 r2 (Category: Bookmarks)\n"
                                "  1 r1 (Category: Bookmarks)\n"
                                "http://same.example/\n"
                                "  0 r0 (Category: Bookmarks)\n"
                                "  0 n0 (Category: Bookmarks\\News)\n"
                                "  0 s0 (Category: Bookmarks\\News\\Sport)\n");
    EXPECT_EQ(groups[1].URLs.Items(2).Node, &sport);
    ClearIgnoreDup(tree);
    for (bool mark : Marks(tree))
        EXPECT_FALSE(mark);
}

// The one-pass scan gives exactly what comparing every pair gives, marks included.
TEST(DuplicateScan, SameAsComparingEveryPairOnRandomCollections) {
    const char* hosts[] = {"http://a.example", "http://B.example", "http://b.example", "https://c.example/p"};
    const char* tails[] = {"", "/", "//", "/x", "/X/"};
    for (unsigned seed = 1; seed <= 24; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        CategoryTree fast, slow;
        std::vector<CategoryNode*> fastNodes{&AddCategory(fast, nullptr, "Root")};
        std::vector<CategoryNode*> slowNodes{&AddCategory(slow, nullptr, "Root")};
        for (int c = 1; c < 30; ++c) {
            const int parent = pick(c);
            const std::string name = "C" + std::to_string(c);
            fastNodes.push_back(&AddCategory(fast, fastNodes[static_cast<std::size_t>(parent)], name));
            slowNodes.push_back(&AddCategory(slow, slowNodes[static_cast<std::size_t>(parent)], name));
        }
        for (int i = 0; i < 1000; ++i) {
            const int c = pick(30);
            std::string url;
            if (pick(12) != 0)
                url = std::string(hosts[pick(4)]) + "/" + std::to_string(pick(60)) + tails[pick(5)];
            const bool ignored = pick(40) == 0;
            const std::string name = "s" + std::to_string(i);
            AddShortcut(*fastNodes[static_cast<std::size_t>(c)], name, url).IgnoreDup = ignored;
            AddShortcut(*slowNodes[static_cast<std::size_t>(c)], name, url).IgnoreDup = ignored;
        }
        const std::vector<TDupItems> expected = test::ReferenceScan(slow);
        const std::vector<TDupItems> got = ScanDuplicates(fast);
        ASSERT_FALSE(expected.empty());
        ASSERT_EQ(test::Describe(got), test::Describe(expected)) << "seed " << seed;
        ASSERT_EQ(Marks(fast), Marks(slow)) << "seed " << seed;
    }
}

} // namespace
} // namespace lynkora
