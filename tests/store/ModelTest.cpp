#include "store/Folder.h"
#include "store/NameCollator.h"

#include <gtest/gtest.h>

#include <string_view>
#include <thread>

using namespace lynkora;

TEST(Model, NewObjectsCarryTheirDefaults) {
    TISFolder folder;
    EXPECT_EQ(folder.Parent, "0");
    EXPECT_TRUE(folder.FolderID.empty());
    EXPECT_EQ(folder.Tag, 0);
    EXPECT_FALSE(folder.Exclude);
    EXPECT_FALSE(folder.New);
    EXPECT_EQ(folder.Shortcuts.Count(), 0u);

    const TIShortcut& s = folder.Shortcuts.Add();
    EXPECT_EQ(s.VerState, vsGood);
    EXPECT_EQ(s.Count, 0);
    EXPECT_EQ(s.Added, 0.0);
    EXPECT_EQ(s.Access, 0.0);
    EXPECT_EQ(s.Verified, 0.0);
    EXPECT_FALSE(s.IgnoreDup);
    EXPECT_EQ(&folder.Shortcuts[folder.Shortcuts.IndexOf(s)], &s);
}

TEST(Model, KeywordsStaySortedIgnoringCaseAndKeepTheFirstSpelling) {
    TKeywords k;
    EXPECT_TRUE(k.Add("news"));
    EXPECT_FALSE(k.Add("news"));
    EXPECT_FALSE(k.Add("News"));
    k.Add("Zebra");
    k.Add("apple");
    k.Add("Mango");
    EXPECT_EQ(k.Items(), (std::vector<std::string>{"apple", "Mango", "news", "Zebra"}));
    EXPECT_EQ(k.IndexOf("NEWS"), 2);
    EXPECT_EQ(k.IndexOf("none"), -1);

    TStringList plain;
    plain.Add("b");
    plain.Add("a");
    plain.Add("a");
    EXPECT_EQ(plain.Items(), (std::vector<std::string>{"b", "a", "a"}));
}

TEST(Model, CopiedKeywordListsShareUntilOneChanges) {
    TKeywords shared;
    shared.Add("Netscape");
    TKeywords a, b;
    a.Assign(shared);
    b.Assign(shared);
    a.Add("alpha");
    b.Delete(0);
    EXPECT_EQ(shared.Items(), (std::vector<std::string>{"Netscape"}));
    EXPECT_EQ(a.Items(), (std::vector<std::string>{"alpha", "Netscape"}));
    EXPECT_TRUE(b.Empty());
    shared.Clear();
    EXPECT_EQ(a.Count(), 2u);
    EXPECT_EQ(a.IndexOf("NETSCAPE"), 1);

    TStringList plain; // a plain list takes a sorted one's entries in its own way
    plain.Add("z");
    plain.Assign(a);
    EXPECT_EQ(plain.Items(), a.Items());
}

// Loading shares equal lists; a list of another mode or other entries keeps its own.
TEST(Model, PooledListsShareOnlyEqualEntriesOfOneMode) {
    StringListPool pool;
    TKeywords a, b, c, empty;
    for (TKeywords* k : {&a, &b, &c}) {
        k->Add("news");
        k->Add("daily");
    }
    c.Add("extra");
    TStringList plain;
    plain.Add("daily");
    plain.Add("news");
    for (TStringList* list : {static_cast<TStringList*>(&a), static_cast<TStringList*>(&b),
                              static_cast<TStringList*>(&c), static_cast<TStringList*>(&plain),
                              static_cast<TStringList*>(&empty)})
        pool.Share(*list);
    EXPECT_EQ(&a.Items(), &b.Items());
    EXPECT_NE(&a.Items(), &c.Items());
    EXPECT_NE(&a.Items(), &plain.Items());
    EXPECT_TRUE(empty.Empty());
    b.Add("sport"); // a change to one leaves the other as it was
    EXPECT_EQ(a.Items(), (std::vector<std::string>{"daily", "news"}));
    EXPECT_EQ(b.Count(), 3u);
    plain.Add("after");
    EXPECT_EQ(plain.Items(), (std::vector<std::string>{"daily", "news", "after"}));
}

// Responses are held once however many shortcuts carry them, and verification threads may set
// their own shortcuts' responses at the same time.
TEST(Model, SharedTextsAreHeldOnceAndSetSafelyFromThreads) {
    SharedText none;
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(none, "");
    SharedText a = std::string("404: Not found");
    const SharedText b("404: Not found");
    EXPECT_EQ(&a.str(), &b.str());
    a = std::string_view("200 OK");
    EXPECT_EQ(b, "404: Not found");
    EXPECT_EQ(std::string(a) + "!", "200 OK!");

    std::vector<SharedText> slots(8);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&slots, t] {
            for (int i = 0; i < 2000; ++i)
                slots[static_cast<std::size_t>(t * 2 + i % 2)] = "response " + std::to_string(i % 50);
        });
    for (auto& thread : threads)
        thread.join();
    for (const SharedText& text : slots) {
        ASSERT_EQ(text.str().rfind("response ", 0), 0u) << text;
        EXPECT_EQ(&text.str(), &SharedText(text.str()).str());
    }
}

TEST(Model, IdentityNumbersAreNeverReused) {
    TShortcuts list;
    list.Add();
    list.Add();
    list.Add();
    list.Delete(1);
    const TIShortcut& fourth = list.Add();
    EXPECT_EQ(fourth.ID(), 3u);
    EXPECT_EQ(list.FindItemID(1), nullptr);
    ASSERT_NE(list.FindItemID(2), nullptr);
    EXPECT_EQ(list.IndexOf(*list.FindItemID(2)), 1u);

    list.Move(0, 2); // order changes, identities do not
    EXPECT_EQ(list[2].ID(), 0u);
    EXPECT_EQ(list.FindItemID(0), &list[2]);
    EXPECT_EQ(list.IndexOf(*list.FindItemID(3)), 1u);

    list.Clear();
    EXPECT_EQ(list.Add().ID(), 4u);
}

TEST(Model, AssigningAShortcutCopiesOnlyItsIdentityAndUsage) {
    TShortcuts list;
    TIShortcut& src = list.Add();
    src.Name = "Site";
    src.URL = "http://example.org/";
    src.Descr = "d";
    src.Added = 1;
    src.Access = 2;
    src.Verified = 3;
    src.Count = 4;
    src.VerState = vsFailed;
    src.verResponse = "404: Not found";
    src.IgnoreDup = true;
    src.Keywords.Add("k");

    TIShortcut& dst = list.Add();
    dst.Assign(src);
    EXPECT_EQ(dst.Name, "Site");
    EXPECT_EQ(dst.URL, "http://example.org/");
    EXPECT_EQ(dst.Descr, "d");
    EXPECT_EQ(dst.Added, 1.0);
    EXPECT_EQ(dst.Access, 2.0);
    EXPECT_EQ(dst.Count, 4);
    EXPECT_EQ(dst.Verified, 0.0);
    EXPECT_EQ(dst.VerState, vsGood);
    EXPECT_TRUE(dst.verResponse.empty());
    EXPECT_FALSE(dst.IgnoreDup);
    EXPECT_TRUE(dst.Keywords.Empty());
    EXPECT_EQ(dst.ID(), 1u);
}

TEST(Model, AssigningACategoryCopiesItsListsAndKeepsItsShortcuts) {
    TISFolder src;
    src.FolderID = "FL00000001";
    src.FolderName = "A";
    src.Descr = "d";
    src.AccessCount = 9;
    src.Exclude = true;
    src.New = true;
    src.Keywords.Add("k");
    src.Shortcuts.Add();

    TISFolder dst;
    dst.Assign(src);
    EXPECT_EQ(dst.FolderID, "FL00000001");
    EXPECT_EQ(dst.FolderName, "A");
    EXPECT_EQ(dst.AccessCount, 9);
    EXPECT_TRUE(dst.Exclude);
    EXPECT_FALSE(dst.New);
    EXPECT_EQ(dst.Shortcuts.Count(), 0u);
    src.Keywords.Add("other");
    EXPECT_EQ(dst.Keywords.Count(), 1u); // copied, not shared
    src.CountAccess();
    EXPECT_EQ(src.AccessCount, 10);
}

TEST(Model, CustomCollatorDecidesNameEquality) {
    struct Reverse : NameCollator {
        int compare(std::string_view a, std::string_view b) const override {
            return -CompareAsciiNoCase(a, b);
        }
    };
    SetNameCollator(std::make_shared<Reverse>());
    TKeywords k;
    k.Add("a");
    k.Add("b");
    SetNameCollator(nullptr);
    EXPECT_EQ(k.Items(), (std::vector<std::string>{"b", "a"}));
    EXPECT_LT(CompareNames("a", "B"), 0);
}
