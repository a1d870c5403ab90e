// The library list, the synchronisation run and the merge of an import's ticked entries.
#include "ImportDoc.h"

#include "support/TestPaths.h"

#include "exchange/BookmarkWriters.h"
#include "exchange/ImportMerge.h"
#include "exchange/LibraryList.h"
#include "exchange/Synchronize.h"
#include "platform/Registry.h"
#include "store/Errors.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

using namespace lynkora;
using lynkora::test::Doc;

namespace {

CategoryNode& AddCategory(CategoryTree& tree, CategoryNode& parent, const std::string& name,
                          const std::vector<std::string>& shortcuts = {}) {
    auto folder = std::make_unique<TISFolder>();
    folder->FolderName = name;
    folder->FolderID = "FL" + name;
    for (const std::string& s : shortcuts) {
        TIShortcut& sc = folder->Shortcuts.Add();
        sc.Name = s;
        sc.URL = "http://" + s + "/";
    }
    return tree.AddChild(parent, std::move(folder));
}

// A data file's preview: categories with their shortcuts, entries for each.
PreviewEntry& AddPreviewCategory(PreviewEntry& parent, const std::string& name, const std::vector<std::string>& names) {
    PreviewEntry& e = parent.AddChild(PreviewEntry::Kind::Category, name);
    auto folder = std::make_unique<TISFolder>();
    folder->FolderName = name;
    for (const std::string& n : names) {
        TIShortcut& s = folder->Shortcuts.Add();
        s.Name = n;
        s.URL = "http://" + n + "/";
        s.Count = 7;
        e.AddShortcut(s);
    }
    e.SetFolder(std::move(folder));
    return e;
}

std::vector<std::string> Names(const CategoryNode& node) {
    std::vector<std::string> out;
    for (const auto& s : node.Folder().Shortcuts)
        out.push_back(s->Name);
    return out;
}

// Ticks as a check tree gives them: the unticked shortcut entries named, categories following.
TickOf TicksWithout(const std::vector<const PreviewEntry*>& unticked) {
    return [unticked](const PreviewEntry& e) {
        std::function<TickState(const PreviewEntry&)> state = [&](const PreviewEntry& x) -> TickState {
            if (x.Children().empty())
                return std::find(unticked.begin(), unticked.end(), &x) == unticked.end() ? TickState::Ticked
                                                                                         : TickState::Unticked;
            bool any = false, all = true;
            for (const auto& c : x.Children()) {
                const TickState s = state(*c);
                any |= s != TickState::Unticked;
                all &= s == TickState::Ticked;
            }
            return all ? TickState::Ticked : any ? TickState::Partly : TickState::Unticked;
        };
        return state(e);
    };
}

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

} // namespace

TEST(LibraryList, StoredInListOrderAndAnEmptyListStaysEmpty) {
    const std::string conf = (test::FreshDir("libraries") / "Lynkora4.conf").string();
    {
        Registry reg(conf);
        const auto first = LoadLibraries(reg, "/home/u/Favorites");
        ASSERT_EQ(first.size(), 1u) << "first use: the favourites folder";
        EXPECT_EQ(first[0], (TLibrary{"Internet Explorer", "/home/u/Favorites"}));
        SaveLibraries(reg, {{"Opera Hotlist", "/a|b.adr"}, {"Netscape 4.x", "/b"}});
    }
    {
        Registry reg(conf);
        EXPECT_EQ(reg.ReadString("Import", "0"), "Opera Hotlist|/a|b.adr");
        const auto back = LoadLibraries(reg, "/x");
        ASSERT_EQ(back.size(), 2u);
        EXPECT_EQ(back[0].Path, "/a|b.adr") << "the path is everything after the first bar";
        SaveLibraries(reg, {});
    }
    Registry reg(conf);
    EXPECT_TRUE(LoadLibraries(reg, "/x").empty()) << "an emptied list is not the first use";
    EXPECT_TRUE(reg.ValueNames("Import").empty());

    EXPECT_EQ(ReadFormatOf("Internet Explorer"), LibraryFormat::Favorites);
    EXPECT_EQ(WriteFormatOf("Netscape 4.x"), LibraryFormat::Netscape);
    EXPECT_EQ(WriteFormatOf("Netscape 6.x\\Mozilla"), LibraryFormat::Mozilla);
    EXPECT_EQ(ReadFormatOf("Netscape 6.x\\Mozilla"), LibraryFormat::Netscape);
    EXPECT_EQ(ReadFormatOf("opera hotlist"), LibraryFormat::Opera);
    EXPECT_EQ(LibraryTypeIndex("opera HOTLIST"), 3);
    EXPECT_EQ(LibraryTypeIndex("Gopher"), 0);
    EXPECT_EQ(FullPath("/a/./b/../c/"), "/a/c");
}

TEST(ImportMerge, ADataFileMergesByNameAndDepth) {
    Doc doc;
    CategoryNode& root = *doc.tree.RootNode();
    CategoryNode& tools = AddCategory(doc.tree, root, "tools", {"Hammer"});
    AddCategory(doc.tree, root, "Misc");

    PreviewEntry file(PreviewEntry::Kind::File, "other.lyx");
    file.SetFolder(std::make_unique<TISFolder>());
    PreviewEntry& otherTools = AddPreviewCategory(file, "Tools", {"hammer", "Saw", "Saw"});
    AddPreviewCategory(otherTools, "Power", {"Drill"});
    PreviewEntry& partly = AddPreviewCategory(file, "Partly", {"Gone"});
    AddPreviewCategory(partly, "Deep", {"Kept"});
    PreviewEntry& none = AddPreviewCategory(file, "Nothing", {"Skipped"});
    PreviewEntry& orphanParent = AddPreviewCategory(file, "Misc", {});
    AddPreviewCategory(orphanParent, "Orphan", {"Lost"});

    const TickOf ticks = TicksWithout({partly.Children()[0].get(), none.Children()[0].get()});
    EXPECT_EQ(ticks(partly), TickState::Partly);
    EXPECT_EQ(ticks(none), TickState::Unticked);
    const MergeCount count = MergeDataFile(file, DataFileKind::Current, ticks, doc.Target());

    EXPECT_EQ(Names(tools), (std::vector<std::string>{"Hammer", "Saw"}))
        << "names it holds (ignoring case) and repeats are skipped";
    EXPECT_TRUE(tools.Folder().Keywords.IndexOf("Lynkora 4") >= 0);
    EXPECT_TRUE(tools.Folder().New);
    EXPECT_EQ(tools.Folder().Shortcuts[1].Count, 7) << "copied with its usage";
    CategoryNode* power = doc.Target().FindCategoryByName("Power", 2);
    ASSERT_NE(power, nullptr);
    EXPECT_EQ(power->Parent(), &tools);

    CategoryNode* partlyNode = doc.Target().FindCategoryByName("Partly", 1);
    ASSERT_NE(partlyNode, nullptr) << "a partly-ticked category is merged";
    EXPECT_TRUE(Names(*partlyNode).empty()) << "without its unticked shortcuts";
    EXPECT_TRUE(partlyNode->Folder().Keywords.IndexOf("Lynkora 4") >= 0);
    CategoryNode* deepNode = doc.Target().FindCategoryByName("Deep", 2);
    ASSERT_NE(deepNode, nullptr);
    EXPECT_EQ(deepNode->Parent(), partlyNode) << "made after its parent, which it finds";
    EXPECT_EQ(Names(*deepNode), std::vector<std::string>{"Kept"});
    EXPECT_EQ(deepNode->Image(), NodeImage::NewByImport);
    EXPECT_EQ(doc.Target().FindCategoryByName("Nothing", 1), nullptr) << "all unticked: not merged";
    CategoryNode* misc = doc.Target().FindCategoryByName("Misc", 1);
    ASSERT_NE(misc, nullptr);
    CategoryNode* orphan = doc.Target().FindCategoryByName("Orphan", 2);
    ASSERT_NE(orphan, nullptr);
    EXPECT_EQ(orphan->Parent(), misc) << "the parent found by name and depth";
    EXPECT_EQ(count.newCategories, 4u);
    EXPECT_EQ(count.shortcuts, 4u);
    EXPECT_EQ(root.Folder().Keywords.IndexOf("Lynkora 4") >= 0, true) << "the file entry is the root";
}

TEST(ImportMerge, ASubCategoryWithoutItsParentGoesUnderTheRoot) {
    Doc doc;
    PreviewEntry file(PreviewEntry::Kind::File, "old.ldb");
    PreviewEntry& parent = AddPreviewCategory(file, "Parent", {"a"});
    AddPreviewCategory(parent, "Child", {"b"});
    // Only the child is ticked: its parent entry is partly ticked, merged without shortcuts.
    MergeDataFile(file, DataFileKind::Classic, TicksWithout({parent.Children()[0].get()}), doc.Target());
    CategoryNode* child = doc.Target().FindCategoryByName("Child", 2);
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(child->Folder().Keywords.IndexOf("Lynkora 3") >= 0);
    EXPECT_TRUE(doc.tree.RootNode()->Folder().Keywords.Count() == 0) << "the classic file entry is not merged";

    // A sub-category whose parent the document does not have, when that parent is not merged.
    Doc other;
    PreviewEntry file2(PreviewEntry::Kind::File, "other.lyx");
    file2.SetFolder(std::make_unique<TISFolder>());
    PreviewEntry& absent = AddPreviewCategory(file2, "Absent", {});
    AddPreviewCategory(absent, "Lonely", {"c"});
    MergeDataFile(file2, DataFileKind::Current,
                  [&](const PreviewEntry& e) { return &e == &absent ? TickState::Unticked : TickState::Ticked; },
                  other.Target());
    CategoryNode* lonely = other.Target().FindCategoryByName("Lonely", 1);
    ASSERT_NE(lonely, nullptr) << "made under the root, one level up";
    EXPECT_EQ(lonely->Parent(), other.tree.RootNode());
}

TEST(ImportMerge, LinksOfAPageEveryTime) {
    Doc doc;
    CategoryNode& news = AddCategory(doc.tree, *doc.tree.RootNode(), "News");
    PreviewEntry page(PreviewEntry::Kind::File, "page.html");
    FillLinkPreview(page, {"http://a/", "http://b/", "http://a/"});
    auto ticks = [&](const PreviewEntry& e) {
        return &e == page.Children()[1].get() ? TickState::Unticked : TickState::Ticked;
    };
    EXPECT_EQ(MergeLinks(page, ticks, news, doc.Target(), 40000.5), 2u);
    EXPECT_EQ(MergeLinks(page, ticks, news, doc.Target(), 40000.5), 2u) << "no duplicate test";
    EXPECT_EQ(Names(news), (std::vector<std::string>{"http://a/", "http://a/", "http://a/", "http://a/"}));
    EXPECT_EQ(news.Folder().Shortcuts[0].Added, 40000.5);
    EXPECT_TRUE(news.Folder().New);
}

TEST(Synchronize, ALibraryMarkedBothGetsTheUnionAndExportsOnlyLeaveTheDocument) {
    const auto dir = test::FreshDir("sync-engine");
    const std::string a = (dir / "a.html").string(), b = (dir / "b.adr").string();
    WriteFile(a, "<DL><DT><H3>Folder</H3><DL><DT><A HREF=\"http://one/\">One</A></DL>"
                 "<DT><A HREF=\"http://two/\">Two</A></DL>");
    WriteFile(b, "Opera Hotlist version 2.0\n\n#URL\n\tNAME=Three\n\tURL=http://three/\n");
    Doc doc;
    std::mt19937 random(1);
    const std::vector<TSyncLibrary> both = {{{"Netscape 4.x", a}, true, true}, {{"Opera Hotlist", b}, true, false}};
    Synchronize(both, doc.Target(), doc.tree, random);
    EXPECT_EQ(doc.tree.ShortcutCount(), 3u);
    const std::string written = NetscapeBookmarksText(doc.tree);
    std::ifstream in(a, std::ios::binary);
    const std::string onDisk((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(onDisk, written) << "read first, then written with everything the run read";
    EXPECT_NE(onDisk.find("http://three/"), std::string::npos);

    Doc unchanged;
    AddCategory(unchanged.tree, *unchanged.tree.RootNode(), "Mine", {"mine"});
    Synchronize({{{"Opera Hotlist", b}, false, true}}, unchanged.Target(), unchanged.tree, random);
    EXPECT_EQ(unchanged.tree.ShortcutCount(), 1u);
    EXPECT_EQ(unchanged.writes, 0);

    // A failing reader ends the run with its message; what came before stays in the tree.
    Doc partial;
    try {
        Synchronize({{{"Opera Hotlist", b}, true, false}, {{"Netscape 4.x", (dir / "none.html").string()}, true, true}},
                    partial.Target(), partial.tree, random);
        FAIL();
    } catch (const ELynkora& e) {
        EXPECT_NE(std::string(e.what()).find("The specified file could not be found!"), std::string::npos);
    }
    EXPECT_EQ(partial.tree.ShortcutCount(), 1u);
    EXPECT_FALSE(std::filesystem::exists(dir / "none.html")) << "no export after the failure";
}
