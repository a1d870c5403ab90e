// Usage data (visits, dates, verification) reaches the same shortcut in the stored copy, and no
// other, whatever happened to the category in memory since it was stored.
#include "DataFileTestSupport.h"

#include "support/TestPaths.h"

#include "store/DataFileStorage.h"

#include <gtest/gtest.h>

using namespace lynkora;
using lynkora::test::AddCategory;

namespace {

// The data file's own content, read after it is closed.
std::map<std::string, std::pair<int, std::string>> UsageInFile(const std::string& path,
                                                               const std::string& category) {
    auto root = OpenDataFile(path, false);
    CategoryTree tree;
    LoadCategoryTree(root, tree);
    std::map<std::string, std::pair<int, std::string>> out;
    CategoryNode* node = tree.FindCategoryByName(category, 1);
    if (!node)
        node = tree.RootNode();
    for (const auto& s : node->Folder().Shortcuts)
        out[s->Name] = {s->Count, s->verResponse};
    return out;
}

void Visit(TIShortcut& s, int count, const std::string& response) {
    s.Count = count;
    s.Access = 46000.5;
    s.verResponse = response;
}

std::string MakeFile(const std::string& name) {
    const std::string path = (test::FreshDir("usage") / name).string();
    test::MakeFileWithCategory(path, false, "Cat", 3); // "Cat 0", "Cat 1", "Cat 2"
    return path;
}

} // namespace

TEST(UsageWriteBack, PairsByIdentityAfterDeleteAddAndReorder) {
    const std::string path = MakeFile("pairs.lyx");
    TDataFile file(path, false);
    CategoryTree tree;
    file.LoadTree(tree);
    CategoryNode& cat = *tree.FindCategoryByName("Cat", 1);
    TShortcuts& list = cat.Folder().Shortcuts;
    list.Delete(1);              // "Cat 1" gone in memory, still in the file
    TIShortcut& added = list.Add();
    added.Name = "Added";
    list.Move(1, 0);             // "Cat 2" first now
    file.WriteCategory(cat);     // the working copy has the new shape; the file does not
    Visit(*list.FindItemID(0), 7, "Verfication successful.");
    Visit(*list.FindItemID(2), 9, "404: Not found");
    Visit(added, 5, "never stored");
    file.WriteBackUsage(cat);
    file.Close();                // not saved: only usage data may have reached the file

    const auto usage = UsageInFile(path, "Cat");
    ASSERT_EQ(usage.size(), 3u);
    EXPECT_EQ(usage.at("Cat 0"), std::make_pair(7, std::string("Verfication successful.")));
    EXPECT_EQ(usage.at("Cat 1"), std::make_pair(0, std::string()));
    EXPECT_EQ(usage.at("Cat 2"), std::make_pair(9, std::string("404: Not found")));
}

TEST(UsageWriteBack, FollowsTheFileAcrossSaves) {
    const std::string path = MakeFile("saves.lyx");
    TDataFile file(path, false);
    CategoryTree tree;
    file.LoadTree(tree);
    CategoryNode& cat = *tree.FindCategoryByName("Cat", 1);
    TShortcuts& list = cat.Folder().Shortcuts;
    list.Delete(0);
    list.Move(1, 0); // order now: "Cat 2", "Cat 1"; identities 2 and 1
    file.WriteCategory(cat);
    file.Save();
    Visit(*list.FindItemID(1), 11, "one");
    file.WriteBackUsage(cat);
    // An unrelated edit and another save must not undo the usage data.
    AddCategory(file, tree, *tree.RootNode(), "Other", 1);
    file.Save();
    file.Close();
    const auto usage = UsageInFile(path, "Cat");
    ASSERT_EQ(usage.size(), 2u);
    EXPECT_EQ(usage.at("Cat 1").first, 11);
    EXPECT_EQ(usage.at("Cat 2").first, 0);
}

TEST(UsageWriteBack, AReusedIdentifierIsNotTakenForTheOldCategory) {
    const std::string path = MakeFile("reuse.lyx");
    TDataFile file(path, false);
    CategoryTree tree;
    file.LoadTree(tree);
    CategoryNode* old = tree.FindCategoryByName("Cat", 1);
    const std::string id = old->Folder().FolderID;
    file.OpenRoot().DestroyElement(id);
    tree.Remove(*old);
    CategoryNode& fresh = AddCategory(file, tree, *tree.RootNode(), "Fresh", 3);
    ASSERT_EQ(fresh.Folder().FolderID, id);
    Visit(fresh.Folder().Shortcuts[0], 99, "fresh");
    file.WriteBackUsage(fresh);
    file.Close();
    const auto usage = UsageInFile(path, "Cat");
    EXPECT_EQ(usage.at("Cat 0").first, 0) << "the saved category keeps its own usage data";
}

TEST(UsageWriteBack, RootAndDirectMode) {
    const std::string path = (test::FreshDir("usage") / "direct.lyx").string();
    {
        TDataFile file(path, true);
        CategoryTree tree;
        file.LoadTree(tree);
        TIShortcut& s = tree.RootNode()->Folder().Shortcuts.Add();
        s.Name = "Home";
        file.WriteCategory(*tree.RootNode());
        Visit(s, 3, "ok");
        tree.RootNode()->Folder().CountAccess();
        file.WriteBackUsage(*tree.RootNode());
        EXPECT_FALSE(file.Modified());
        file.Close();
    }
    const auto usage = UsageInFile(path, "");
    EXPECT_EQ(usage.at("Home"), std::make_pair(3, std::string("ok")));
    auto root = OpenDataFile(path, false);
    CategoryTree tree;
    LoadCategoryTree(root, tree);
    EXPECT_EQ(tree.RootNode()->Folder().AccessCount, 1);
}
