// Verification runs in the real window against HTTP servers on 127.0.0.1: what the rows and
// categories show during and after a run, Skip and Abort all, the commands that must wait
// while a run holds the tree, and deleting a category the run has not reached.
#include "WindowFixture.h"

#include "TestServers.h"

#include "mainwindow/VerificationController.h"
#include "verify/CheckPool.h"
#include "verify/StatusText.h"
#include "verify/VerifyURL.h"

#include <QCloseEvent>
#include <QImage>
#include <QMessageBox>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <map>

using namespace lynkora;
using lynkora::test::MainWindowTest;

namespace {

// What each shortcut of the sample ends with: its state and text, by category path and name.
using Results = std::map<std::string, std::pair<int, std::string>>;

Results Collect(CategoryTree& tree) {
    Results r;
    tree.ForEach([&](CategoryNode& n) {
        for (const auto& s : n.Folder().Shortcuts)
            r[CategoryTree::CategoryPath(n) + "/" + s->Name] = {s->VerState, s->verResponse};
    });
    return r;
}

// Runs f on each turn of the event loop while a run waits, until it returns true.
void WhileRunning(TfrmMainLynkora& w, std::function<bool()> f) {
    auto* timer = new QTimer(&w);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, f] {
        if (f())
            timer->deleteLater();
    });
    timer->start();
}

QImage RowImage(TfrmMainLynkora& w, std::uint32_t id) {
    const QModelIndex i = w.ListModel().index(w.ListModel().RowOf(id), 0);
    return i.data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage();
}

} // namespace

class WindowVerification : public MainWindowTest {
protected:
    static void SetUpTestSuite() { servers = new test::TestServers; }
    static void TearDownTestSuite() {
        delete servers;
        servers = nullptr;
    }
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(servers->ok());
    }
    // The sample with every URL pointing at the test server: a mix of answers.
    void OpenServedSample(int connections) {
        window->Settings().VerifyConnections = connections;
        window->Verification().ApplySettings(window->Settings());
        ASSERT_TRUE(window->OpenDocument(Sample()));
        const char* paths[] = {"/ok", "/notfound", "/head405", "/redirect?to=/ok", "/teapot", "/slow?ms=30"};
        int i = 0;
        window->Tree().ForEach([&](CategoryNode& n) {
            for (auto& s : n.Folder().Shortcuts)
                s->URL = servers->Http(paths[i++ % 6]);
            window->WriteCategory(n);
        });
    }
    void SetAll(CategoryNode& n, const std::string& url) {
        for (auto& s : n.Folder().Shortcuts)
            s->URL = url;
        window->WriteCategory(n);
    }
    CategoryNode* Category(const char* name, int depth = 1) { return window->Tree().FindCategoryByName(name, depth); }

    static test::TestServers* servers;
};

test::TestServers* WindowVerification::servers = nullptr;

TEST_F(WindowVerification, EntireFileGivesTheSameResultsOneByOneAndInParallel) {
    Results first;
    for (int connections : {1, 16}) {
        window.reset();
        window = std::make_unique<TfrmMainLynkora>(*registry, env);
        window->InitializeMainWindow("");
        OpenServedSample(connections);
        window->show();
        window->SelectNode(Category("News"));
        QStringList progress;
        WhileRunning(*window, [&] {
            if (window->Verification().Running() && window->StatusText().startsWith("Verifying "))
                progress << window->StatusText();
            return !window->Verification().Running() && !progress.isEmpty();
        });
        window->Action("acVerFile")->trigger();
        const Results results = Collect(window->Tree());
        ASSERT_EQ(results.size(), 37u);
        int good = 0, failed = 0;
        for (const auto& [name, r] : results) {
            EXPECT_TRUE(r.first == vsGood || r.first == vsFailed) << name;
            (r.first == vsGood ? good : failed)++;
        }
        EXPECT_EQ(failed, 12) << "/notfound and /teapot";
        EXPECT_EQ(results.at("My Internet Shortcuts/Debian").second, "Verfication successful.");
        if (connections == 1)
            first = results;
        else
            EXPECT_EQ(results, first) << "the results do not depend on the number of connections";
        EXPECT_FALSE(progress.isEmpty());
        EXPECT_TRUE(progress.back().startsWith("Verifying ")) << progress.back().toStdString();
        EXPECT_EQ(window->StatusText(), "37 internet shortcuts; 11 categories") << "the summary is back";
        // Rows and images afterwards: the tooltip carries the result, every category is normal.
        const TIShortcut* s = window->ListModel().ShortcutAt(0);
        EXPECT_TRUE(window->ListModel().index(0, 0).data(Qt::ToolTipRole).toString().contains(
            QString::fromStdString(s->verResponse)));
        window->Tree().ForEach([](CategoryNode& n) { EXPECT_EQ(n.Image(), NodeImage::Normal); });
    }
}

TEST_F(WindowVerification, CategoryShortcutAndSeveralRows) {
    OpenServedSample(1);
    CategoryNode* news = Category("News");
    CategoryNode* travel = Category("Travel");
    const Results before = Collect(window->Tree());
    window->SelectNode(news);
    window->Action("acVerCat")->trigger();
    for (const auto& s : news->Folder().Shortcuts)
        EXPECT_NE(s->Verified, 0.0);
    for (const auto& s : Category("Science", 2)->Folder().Shortcuts)
        EXPECT_NE(s->Verified, 0.0) << "sub-categories too";
    for (const auto& s : travel->Folder().Shortcuts)
        EXPECT_EQ(s->Verified, 0.0) << "other categories not";

    // One row.
    window->SelectNode(travel);
    auto* list = window->findChild<QTreeView*>("ListView1");
    list->selectionModel()->select(list->model()->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const std::uint32_t one = window->SelectedIds().front();
    window->Action("acVerShort")->trigger();
    for (const auto& s : travel->Folder().Shortcuts)
        EXPECT_EQ(s->Verified != 0.0, s->ID() == one) << s->Name;

    // Several rows: the queued ones show the being-verified image, not the plain one.
    SetAll(*travel, servers->Http("/slow?ms=60"));
    list->selectAll();
    const std::vector<std::uint32_t> all = window->SelectedIds();
    ASSERT_EQ(all.size(), 4u);
    const QImage plain = RowImage(*window, all[0]);
    int queuedSeen = 0, busyLook = 0;
    WhileRunning(*window, [&] {
        for (std::uint32_t id : all) {
            const TIShortcut* s = travel->Folder().Shortcuts.FindItemID(id);
            if (s->VerState == vsQueued) {
                ++queuedSeen;
                busyLook += RowImage(*window, id) != plain;
            }
        }
        return !window->Verification().Running() && queuedSeen > 0;
    });
    window->Action("acVerShort")->trigger();
    EXPECT_GT(queuedSeen, 0);
    EXPECT_EQ(busyLook, queuedSeen);
    for (std::uint32_t id : all)
        EXPECT_EQ(travel->Folder().Shortcuts.FindItemID(id)->VerState, vsGood);
    EXPECT_EQ(travel->Image(), NodeImage::Normal);
    (void)before;
}

TEST_F(WindowVerification, ReverifyErrorsChecksOnlyTheFailedOnes) {
    OpenServedSample(1);
    window->Action("acVerFile")->trigger();
    CategoryNode* root = window->Tree().RootNode();
    TIShortcut* failed = nullptr;
    for (auto& s : root->Folder().Shortcuts)
        if (s->VerState == vsFailed)
            failed = s.get();
    ASSERT_NE(failed, nullptr);
    failed->URL = servers->Http("/ok");
    std::map<std::string, double> checkedAt;
    for (auto& s : root->Folder().Shortcuts)
        if (s->VerState == vsGood)
            checkedAt[s->Name] = s->Verified;
    window->Action("acVerError")->trigger();
    EXPECT_EQ(failed->VerState, vsGood);
    for (auto& [name, at] : checkedAt) {
        for (auto& s : root->Folder().Shortcuts) {
            if (s->Name == name) {
                EXPECT_EQ(s->Verified, at) << "good ones are not checked again";
            }
        }
    }
}

TEST_F(WindowVerification, SkipAbandonsTheCheckAndIsOfferedAgainAtTheNext) {
    OpenServedSample(1);
    CategoryNode* music = Category("Music");
    SetAll(*music, servers->Http("/ok"));
    music->Folder().Shortcuts[0].URL = "http://127.0.0.1:" + std::to_string(servers->silent) + "/";
    window->SelectNode(music);
    bool skipped = false, disabledAfter = false;
    WhileRunning(*window, [&] {
        if (!skipped && window->Action("acVerSkip")->isEnabled()) {
            skipped = true;
            window->Action("acVerSkip")->trigger();
            disabledAfter = !window->Action("acVerSkip")->isEnabled();
        }
        return skipped;
    });
    window->Action("acVerCat")->trigger();
    ASSERT_TRUE(skipped);
    EXPECT_TRUE(disabledAfter) << "Skip waits for the next check";
    EXPECT_EQ(music->Folder().Shortcuts[0].VerState, vsFailed);
    EXPECT_EQ(music->Folder().Shortcuts[0].verResponse, "Verfication aborted");
    EXPECT_EQ(music->Folder().Shortcuts[1].VerState, vsGood) << "the run went on";
    EXPECT_EQ(music->Folder().Shortcuts[2].VerState, vsGood);
}

TEST_F(WindowVerification, AbortAllLetsTheCheckEndAndMarksTheQueued) {
    for (int connections : {1, 4}) {
        window.reset();
        window = std::make_unique<TfrmMainLynkora>(*registry, env);
        window->InitializeMainWindow("");
        OpenServedSample(connections);
        CategoryNode* dev = Category("Development");
        SetAll(*dev, servers->Http("/slow?ms=150"));
        window->SelectNode(dev);
        bool aborted = false;
        WhileRunning(*window, [&] {
            if (!aborted && dev->Folder().Shortcuts[0].VerState == vsVerifying) {
                aborted = true;
                window->Action("acVerAbort")->trigger();
            }
            return aborted;
        });
        window->Action("acVerCat")->trigger();
        ASSERT_TRUE(aborted);
        EXPECT_EQ(dev->Folder().Shortcuts[0].VerState, vsGood) << "the check in progress ends and counts";
        int marked = 0;
        for (const auto& s : dev->Folder().Shortcuts)
            marked += s->VerState == vsFailed && s->verResponse == "Verification aborted.";
        EXPECT_GE(marked, 5 - connections) << connections;
        for (const auto& s : Category("Standards", 2)->Folder().Shortcuts)
            EXPECT_EQ(s->Verified, 0.0) << "sub-categories are not visited";
        EXPECT_EQ(dev->Image(), NodeImage::Normal);
    }
}

TEST_F(WindowVerification, NothingFreesTheTreeWhileARunHoldsIt) {
    OpenServedSample(1);
    const std::string other = Sample("other.lyx");
    window->AddToHistory(other);
    window->SavePrompt = [] { return int(QMessageBox::No); };
    CategoryNode* news = Category("News");
    SetAll(*news, servers->Http("/slow?ms=200"));
    window->SelectNode(news);
    std::map<std::string, bool> enabled;
    bool closeRefused = false, tried = false;
    WhileRunning(*window, [&] {
        if (tried || !window->Verifying)
            return false;
        tried = true;
        for (const char* name : {"acOpen", "acNewFile", "acClose", "acSaveAs", "acVerFile", "acVerCat"})
            enabled[name] = window->Action(name)->isEnabled();
        enabled["Reopen"] = window->HistoryMenu()->isEnabled();
        QCloseEvent close;
        QApplication::sendEvent(window.get(), &close);
        closeRefused = !close.isAccepted();
        // A second start hands over a file: it waits for the end of the run.
        window->HandleCommandLine(QString::fromStdString(other));
        return true;
    });
    window->Action("acVerCat")->trigger();
    ASSERT_TRUE(tried);
    for (const auto& [name, on] : enabled)
        EXPECT_FALSE(on) << name << " during a run";
    EXPECT_TRUE(closeRefused);
    EXPECT_NE(window->DataFile()->FileName(), other) << "not during the run";
    for (int i = 0; i < 50 && window->DataFile()->FileName() != other; ++i)
        QApplication::processEvents();
    EXPECT_EQ(window->DataFile()->FileName(), other) << "opened when the run had ended";
    EXPECT_TRUE(window->Action("acOpen")->isEnabled());
}

TEST_F(WindowVerification, ACategoryNotReachedYetCanBeDeletedOneByOne) {
    OpenServedSample(1);
    window->show();
    QApplication::setActiveWindow(window.get());
    window->SelectNode(window->Tree().RootNode());
    CategoryNode* travel = Category("Travel");
    ASSERT_NE(travel, nullptr);
    window->AskYesNo = [](const QString&) { return true; };
    bool deleted = false, keyUsed = false;
    WhileRunning(*window, [&] {
        if (deleted || !window->Verifying)
            return deleted;
        // The user selects an unreached category and presses Del; then the menu for another.
        window->SelectNode(Category("Travel"));
        window->TreeView()->setFocus();
        window->acUpdateCtrls();
        QTest::keyClick(window->TreeView(), Qt::Key_Delete);
        keyUsed = Category("Travel") == nullptr;
        window->SelectNode(Category("Music"));
        window->acUpdateCtrls();
        window->Action("acDelete")->trigger();
        deleted = Category("Music") == nullptr;
        return true;
    });
    window->Action("acVerFile")->trigger();
    EXPECT_TRUE(keyUsed);
    EXPECT_TRUE(deleted);
    const Results results = Collect(window->Tree());
    EXPECT_EQ(results.size(), 37u - 4 - 3);
    for (const auto& [name, r] : results)
        EXPECT_TRUE(r.first == vsGood || r.first == vsFailed) << name;
}

TEST_F(WindowVerification, ACategoryInAParallelRunIsNotDeleted) {
    OpenServedSample(8);
    SetAll(*Category("Cooking"), servers->Http("/slow?ms=300"));
    window->SelectNode(window->Tree().RootNode());
    window->AskYesNo = [](const QString&) { return true; };
    bool tried = false;
    QString refusal;
    WhileRunning(*window, [&] {
        if (tried || !window->Verifying)
            return tried;
        tried = true;
        window->SelectNode(Category("Cooking"));
        window->TreeView()->setFocus();
        window->acUpdateCtrls();
        window->Action("acDelete")->trigger();
        refusal = window->LastError();
        return true;
    });
    window->Action("acVerFile")->trigger();
    ASSERT_TRUE(tried);
    EXPECT_NE(Category("Cooking"), nullptr);
    EXPECT_TRUE(refusal.startsWith("The category \"Cooking\" is being verified.")) << refusal.toStdString();
}

TEST_F(WindowVerification, TheProxySettingsReachTheCheckers) {
    window.reset();
    {
        // As the options dialog stores them.
        TSettings stored(*registry, env);
        stored.UseProxy = true;
        stored.ProxyServer = "127.0.0.1";
        stored.ProxyPort = std::to_string(servers->proxy);
        stored.ProxyUser = "proxyuser";
        stored.ProxyPassword = "proxy pass";
        stored.SaveProxy();
        stored.SaveMainValues();
    }
    registry->Sync();
    window = std::make_unique<TfrmMainLynkora>(*registry, env);
    window->InitializeMainWindow("");
    ASSERT_TRUE(window->Settings().UseProxy);
    EXPECT_EQ(window->Verification().Checker().ProxyServer, "127.0.0.1");
    EXPECT_EQ(window->Verification().Checker().ProxyUser, "proxyuser");
    EXPECT_EQ(window->Verification().Pool().Base.proxyPassword, "proxy pass");
    // A check through the proxy: the origin's name exists only there.
    ASSERT_TRUE(window->OpenDocument(Sample()));
    CategoryNode* root = window->Tree().RootNode();
    SetAll(*root, "http://through.proxy.invalid/x");
    window->SelectNode(root);
    auto* list = window->findChild<QTreeView*>("ListView1");
    list->selectionModel()->select(list->model()->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    window->Action("acVerShort")->trigger();
    EXPECT_EQ(window->ListModel().ShortcutAt(0)->VerState, vsGood) << window->ListModel().ShortcutAt(0)->verResponse;
}

TEST_F(WindowVerification, APictureOfAParallelRun) {
    OpenServedSample(8);
    window->show();
    window->resize(900, 560);
    CategoryNode* news = Category("News");
    SetAll(*news, servers->Http("/slow?ms=400"));
    SetAll(*Category("Science", 2), servers->Http("/slow?ms=400"));
    window->Settings().Columns[TLVColumns::Status].Visible = true;
    window->Settings().Columns[TLVColumns::LastVerified].Visible = true;
    window->ApplyColumns();
    window->SelectNode(news);
    window->TreeView()->expandAll();
    bool taken = false;
    WhileRunning(*window, [&] {
        int checking = 0;
        for (const auto& s : news->Folder().Shortcuts)
            checking += s->VerState == vsVerifying;
        if (taken || checking < 2)
            return taken;
        QApplication::processEvents();
        window->grab().save(Shot("parallel-run.png"));
        EXPECT_TRUE(window->StatusText().startsWith("Verifying ")) << window->StatusText().toStdString();
        EXPECT_EQ(news->Image(), NodeImage::Verifying);
        return taken = true;
    });
    window->Action("acVerCat")->trigger();
    EXPECT_TRUE(taken);
}
