// The run logic, with a scripted checker: what is checked, in which order, what each shortcut
// and category ends with, and what is written back.
#include "verify/StatusText.h"
#include "verify/VerificationRun.h"

#include <gtest/gtest.h>

#include <map>

using namespace lynkora;

namespace {

class ScriptedChecker : public UrlChecker {
public:
    std::vector<std::string> checked;
    std::map<std::string, int> status; // default 200
    std::function<void(std::size_t)> during; // runs inside check number n (from 1)
    bool abandoned = false;

    CheckOutcome Check(const std::string& url) override {
        checked.push_back(url);
        abandoned = false;
        if (during)
            during(checked.size());
        if (abandoned)
            return {0, kAbandonedText};
        auto it = status.find(url);
        return {it == status.end() ? 200 : it->second, {}};
    }
    void Abandon(bool) override { abandoned = true; }
};

class Probe : public ConnectivityProbe {
public:
    bool offline = false;
    bool IsOffline(std::string& text) const override {
        if (offline)
            text = "Network is down";
        return offline;
    }
};

class Recorder : public RunObserver {
public:
    std::vector<std::string> finished;
    int refills = 0;
    void RefillList(CategoryNode&) override { ++refills; }
    void Finished(const std::string& m) override { finished.push_back(m); }
};

struct Fixture {
    CategoryTree tree;
    ScriptedChecker checker;
    Probe probe;
    Recorder observer;
    std::vector<std::string> writtenBack;
    VerificationRun run{tree, checker, probe,
                        [this](CategoryNode& n) { writtenBack.push_back(n.Text()); }, &observer};

    Fixture() {
        run.Now = [] { return 46000.5; };
        auto root = std::make_unique<TISFolder>();
        root->FolderName = "Root";
        tree.SetRoot(std::move(root));
    }
    CategoryNode& Add(CategoryNode& parent, const std::string& name, int shortcuts) {
        auto f = std::make_unique<TISFolder>();
        f->FolderName = name;
        for (int i = 0; i < shortcuts; ++i) {
            TIShortcut& s = f->Shortcuts.Add();
            s.Name = name + std::to_string(i);
            s.URL = "http://" + name + "/" + std::to_string(i);
        }
        return tree.AddChild(parent, std::move(f));
    }
};

} // namespace

TEST(VerificationRun, OneShortcutAndSelectedShortcuts) {
    Fixture f;
    CategoryNode& cat = f.Add(*f.tree.RootNode(), "a", 5);
    TShortcuts& list = cat.Folder().Shortcuts;
    list[0].VerState = vsQueued;
    f.run.VerifyShortcuts(cat, {0});
    EXPECT_TRUE(f.checker.checked.empty()) << "a queued shortcut is not checked again";
    EXPECT_EQ(f.writtenBack, std::vector<std::string>{"a"}) << "but written back";

    list.Delete(3);
    list.Delete(1);
    f.checker.status["http://a/2"] = 404;
    f.run.VerifyShortcuts(cat, {0, 2, 4});
    EXPECT_EQ(f.checker.checked, (std::vector<std::string>{"http://a/2", "http://a/4"}))
        << "rows resolved by identifier; 0 is still queued";
    const TIShortcut& two = *list.FindItemID(2);
    EXPECT_EQ(two.VerState, vsFailed);
    EXPECT_EQ(two.verResponse, "404: Not found");
    EXPECT_EQ(two.Verified, 46000.5);
    EXPECT_EQ(list.FindItemID(4)->VerState, vsGood);
    EXPECT_EQ(list.FindItemID(4)->verResponse, "Verfication successful.");
    EXPECT_EQ(cat.Image(), NodeImage::Normal);
}

TEST(VerificationRun, AbortAllDuringTheThirdOfTen) {
    Fixture f;
    CategoryNode& cat = f.Add(*f.tree.RootNode(), "ten", 10);
    f.Add(cat, "below", 2);
    CategoryNode& other = f.Add(*f.tree.RootNode(), "other", 3);
    other.SetImage(NodeImage::Excluded);
    f.tree.RootNode()->Folder().Shortcuts.Add().URL = "http://root/";
    f.checker.during = [&](std::size_t n) {
        if (n == 4) // the root's shortcut is the first, then ten/0, ten/1, ten/2
            f.run.AbortAllChecks();
    };
    f.run.VerifyEntireFile();
    ASSERT_EQ(f.checker.checked.size(), 4u);
    const TShortcuts& ten = cat.Folder().Shortcuts;
    EXPECT_EQ(ten[2].VerState, vsGood) << "the check in progress completes and is recorded";
    for (std::size_t i = 3; i < 10; ++i) {
        EXPECT_EQ(ten[i].VerState, vsFailed) << i;
        EXPECT_EQ(ten[i].verResponse, "Verification aborted.");
    }
    for (const auto& s : other.Folder().Shortcuts)
        EXPECT_EQ(s->VerState, vsGood) << "unvisited categories return to 2001";
    EXPECT_TRUE(cat.Child(0).Folder().Shortcuts[0].verResponse.empty()) << "not visited";
    EXPECT_EQ(other.Image(), NodeImage::Excluded);
    EXPECT_EQ(f.observer.finished, std::vector<std::string>{kFinishedText});
    EXPECT_EQ(f.writtenBack, (std::vector<std::string>{"Root", "ten"}));
}

TEST(VerificationRun, SkipAbandonsOnlyTheCurrentCheck) {
    Fixture f;
    CategoryNode& cat = f.Add(*f.tree.RootNode(), "c", 3);
    f.checker.during = [&](std::size_t n) {
        if (n == 2)
            f.run.Skip();
    };
    f.run.VerifyCategory(&cat);
    const TShortcuts& list = cat.Folder().Shortcuts;
    EXPECT_EQ(list[1].VerState, vsFailed);
    EXPECT_EQ(list[1].verResponse, "Verfication aborted");
    EXPECT_EQ(list[2].VerState, vsGood);
    EXPECT_EQ(f.checker.checked.size(), 3u);
}

TEST(VerificationRun, OfflineStopsTheRun) {
    Fixture f;
    CategoryNode& a = f.Add(*f.tree.RootNode(), "a", 3);
    CategoryNode& b = f.Add(*f.tree.RootNode(), "b", 2);
    f.probe.offline = true;
    f.run.SelectedNode = &a;
    f.run.VerifyEntireFile();
    EXPECT_TRUE(f.checker.checked.empty());
    EXPECT_TRUE(f.run.OfflineStop);
    // The first shortcut reached and the rest of its category carry the connection error.
    for (const auto& s : a.Folder().Shortcuts) {
        EXPECT_EQ(s->VerState, vsFailed);
        EXPECT_EQ(s->verResponse, "Network is down");
    }
    EXPECT_GT(f.observer.refills, 0) << "the selected category's list is refilled";
    for (const auto& s : b.Folder().Shortcuts)
        EXPECT_EQ(s->VerState, vsGood) << "the rest of the file stays at 2001";
    EXPECT_EQ(f.observer.finished.size(), 1u);
}

TEST(VerificationRun, OfflineMarksTheCategoryBeingChecked) {
    Fixture f;
    CategoryNode& a = f.Add(*f.tree.RootNode(), "a", 3);
    CategoryNode& b = f.Add(*f.tree.RootNode(), "b", 2);
    f.run.VerifyCategory(&a); // online: all good
    f.checker.checked.clear();
    f.checker.during = [&](std::size_t) { f.probe.offline = true; };
    for (const auto& s : a.Folder().Shortcuts)
        s->VerState = vsGood;
    f.run.VerifyEntireFile();
    ASSERT_EQ(f.checker.checked.size(), 1u) << "a/0 is checked, then the test fails on a/1";
    const TShortcuts& list = a.Folder().Shortcuts;
    EXPECT_EQ(list[0].VerState, vsGood);
    EXPECT_EQ(list[1].verResponse, "Network is down");
    EXPECT_EQ(list[2].verResponse, "Network is down");
    EXPECT_EQ(list[2].VerState, vsFailed);
    for (const auto& s : b.Folder().Shortcuts)
        EXPECT_EQ(s->VerState, vsGood);
}

TEST(VerificationRun, ReverifyErrorsAndBusyCategories) {
    Fixture f;
    CategoryNode& a = f.Add(*f.tree.RootNode(), "a", 3);
    f.run.ReverifyErrors();
    EXPECT_TRUE(f.checker.checked.empty());
    EXPECT_EQ(f.observer.finished.size(), 1u) << "finished at once";
    EXPECT_TRUE(f.writtenBack.empty());

    a.Folder().Shortcuts[1].VerState = vsFailed;
    CategoryNode& b = f.Add(*f.tree.RootNode(), "b", 2);
    b.Folder().Shortcuts[0].VerState = vsFailed;
    f.run.ReverifyErrors();
    EXPECT_EQ(f.checker.checked, (std::vector<std::string>{"http://a/1", "http://b/0"}));
    EXPECT_EQ(f.writtenBack, (std::vector<std::string>{"a", "b"}));

    f.checker.checked.clear();
    a.SetImage(NodeImage::Verifying);
    f.run.VerifyCategory(&a);
    EXPECT_TRUE(f.checker.checked.empty()) << "a category being verified is not started again";
}

TEST(VerificationRun, ShortcutsDeletedDuringACheckAreLeftAlone) {
    Fixture f;
    CategoryNode& a = f.Add(*f.tree.RootNode(), "a", 3);
    f.checker.during = [&](std::size_t n) {
        if (n == 1)
            a.Folder().Shortcuts.Delete(0); // the one being checked
    };
    f.run.VerifyCategory(&a);
    EXPECT_EQ(a.Folder().Shortcuts.Count(), 2u);
    EXPECT_EQ(f.checker.checked.size(), 3u);
    EXPECT_EQ(a.Folder().Shortcuts[0].VerState, vsGood);
}
