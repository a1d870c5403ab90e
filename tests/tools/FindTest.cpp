#include "tools/Find.h"

#include "store/CategoryTree.h"

#include <gtest/gtest.h>

namespace lynkora {
namespace {

// Root (a0 "Alpha") > [A (x1 x2 x3 "Beta"...), B > [B1], C]; tree order Root, A, B, B1, C.
class FindTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = &Add(nullptr, "Root");
        a = &Add(root, "A");
        b = &Add(root, "B");
        b1 = &Add(b, "B1");
        c = &Add(root, "C");
        Shortcut(*root, "Alpha", "http://alpha.example/");
        Shortcut(*a, "Beta one", "http://one.example/");
        Shortcut(*a, "plain", "http://plain.example/");
        Shortcut(*a, "BETA two", "http://two.example/");
        Shortcut(*a, "beta three", "http://three.example/");
        Shortcut(*b, "gamma", "http://beta.example/").Descr = "about delta";
        Shortcut(*b1, "last", "http://last.example/").Keywords.Add("Epsilon");
        Shortcut(*c, "zeta", "http://zeta.example/");
        Shortcut(*c, "beta end", "http://end.example/");
    }
    CategoryNode& Add(CategoryNode* parent, const char* name) {
        auto folder = std::make_unique<TISFolder>();
        folder->FolderName = name;
        return parent ? tree.AddChild(*parent, std::move(folder)) : tree.SetRoot(std::move(folder));
    }
    TIShortcut& Shortcut(CategoryNode& node, const char* name, const char* url) {
        TIShortcut& s = node.Folder().Shortcuts.Add();
        s.Name = name;
        s.URL = url;
        return s;
    }
    // The names Find and Find next visit until the first miss.
    std::vector<std::string> Walk(TSearchOptions& o) {
        std::vector<std::string> names;
        for (SearchMatch m; SearchFrom(o, tree, m);)
            names.push_back(m.node->Folder().Shortcuts[m.index].Name);
        return names;
    }

    CategoryTree tree;
    CategoryNode *root, *a, *b, *b1, *c;
};

TEST_F(FindTest, CaseAndResumePositions) {
    TSearchOptions o;
    o.FindText = "BETA";
    // Ignoring case: the stored text turns lower case; three matches in A, then C's last shortcut.
    EXPECT_EQ(Walk(o), (std::vector<std::string>{"Beta one", "BETA two", "beta three", "beta end"}));
    EXPECT_EQ(o.FindText, "beta");
    // The match was C's last shortcut: the position moved past the last category.
    EXPECT_EQ(o.StartCategory, 5);
    EXPECT_EQ(o.StartShortcut, 0);
    SearchMatch m;
    EXPECT_FALSE(SearchFrom(o, tree, m)); // and stays finished
    EXPECT_EQ(o.StartCategory, 5);

    o.Reset();
    o.FindText = "BETA";
    o.CaseSensitive = true;
    EXPECT_EQ(Walk(o), (std::vector<std::string>{"BETA two"}));
    EXPECT_EQ(o.FindText, "BETA");
}

TEST_F(FindTest, ExhaustedSearchBeginsAgainAtItsStartCategory) {
    TSearchOptions o;
    o.FindText = "plain";
    SearchMatch m;
    ASSERT_TRUE(SearchFrom(o, tree, m));
    EXPECT_EQ(o.StartCategory, 1);
    EXPECT_EQ(o.StartShortcut, 2);
    // The miss walked on to later categories: the start category's first shortcut comes next.
    EXPECT_FALSE(SearchFrom(o, tree, m));
    EXPECT_EQ(o.StartCategory, 1);
    EXPECT_EQ(o.StartShortcut, 0);
    ASSERT_TRUE(SearchFrom(o, tree, m));
    EXPECT_EQ(m.node, a);
    EXPECT_EQ(m.index, 1u);
    EXPECT_TRUE(m.byName);
    // Begun in the last category, a miss stays a miss.
    o.FindText = "zeta";
    o.StartCategory = 4;
    o.StartShortcut = 1;
    EXPECT_FALSE(SearchFrom(o, tree, m));
    EXPECT_FALSE(SearchFrom(o, tree, m));
}

TEST_F(FindTest, FieldsAndOrigin) {
    TSearchOptions o;
    o.FindText = "delta";
    o.SearchIn = sfNames;
    EXPECT_TRUE(Walk(o).empty());
    o.Reset();
    o.FindText = "delta";
    o.SearchIn = sfAll;
    SearchMatch m;
    ASSERT_TRUE(SearchFrom(o, tree, m));
    EXPECT_EQ(m.node, b);
    EXPECT_FALSE(m.byName);
    // The URL holds "beta", the description does not.
    o.Reset();
    o.FindText = "beta.example";
    o.SearchIn = sfDescriptions;
    EXPECT_TRUE(Walk(o).empty());
    o.Reset();
    o.FindText = "beta.example";
    o.SearchIn = sfURLs;
    EXPECT_EQ(Walk(o), (std::vector<std::string>{"gamma"}));
    o.Reset();
    o.FindText = "psil";
    o.SearchIn = sfKeywords;
    EXPECT_EQ(Walk(o), (std::vector<std::string>{"last"}));
    // From B: A's matches lie before it in tree order; C's lies after B's branch and is found.
    o.Reset();
    o.FindText = "beta";
    o.SearchIn = sfAll;
    o.Origin = 0;
    o.StartCategory = TreePosition(tree, b);
    EXPECT_EQ(o.StartCategory, 2);
    EXPECT_EQ(Walk(o), (std::vector<std::string>{"gamma", "beta end"}));
    EXPECT_EQ(TreePosition(tree, nullptr), -1);
}

} // namespace
} // namespace lynkora

namespace lynkora {
namespace {

// Names stored in the older Windows-1252 form are found by what the list shows; a UTF-8 name
// whose bytes happen to spell the needle's Windows-1252 reading is not.
TEST_F(FindTest, TextsInBothStoredForms) {
    Shortcut(*c, "Le caf\xE9 du coin", "http://old.example/").Descr = "\x93quoted\x94 caf\xE9";
    Shortcut(*c, "Le café du port", "http://new.example/");
    Shortcut(*c, "caf\xC3\x83\xC2\xA9", "http://mojibake.example/"); // shows as "cafÃ©"
    TSearchOptions o;
    o.FindText = "café du";
    EXPECT_EQ(Walk(o), (std::vector<std::string>{"Le caf\xE9 du coin", "Le café du port"}));
    o.Reset();
    o.FindText = "\xE2\x80\x9Cquoted\xE2\x80\x9D"; // the curly quotes of 0x93 and 0x94
    o.SearchIn = sfDescriptions;
    EXPECT_EQ(Walk(o), (std::vector<std::string>{"Le caf\xE9 du coin"}));
    o.Reset();
    o.FindText = "caf"; // plain ASCII: both forms, bytes as they are
    EXPECT_EQ(Walk(o).size(), 3u);
}

} // namespace
} // namespace lynkora
