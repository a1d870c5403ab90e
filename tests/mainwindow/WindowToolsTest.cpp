// Find, Find next and the duplicate scan, driven through the window's commands and their real
// dialogs.
#include "WindowFixture.h"

#include "mainwindow/DuplicatesController.h"
#include "mainwindow/FindController.h"
#include "platform/StoredText.h"
#include "tools/ui/DuplicatesDialog.h"
#include "tools/ui/DuplicatesModel.h"
#include "tools/ui/SearchDialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

using namespace lynkora;
using lynkora::test::MainWindowTest;

namespace {

QMenu* ArrangeMenu(TfrmMainLynkora& w) {
    for (QAction* a : w.ListMenu()->actions())
        if (a->text() == "&Arrange")
            return a->menu();
    return nullptr;
}

bool AnyMarked(const CategoryTree& tree) {
    bool marked = false;
    tree.ForEach([&](CategoryNode& n) {
        for (const auto& s : n.Folder().Shortcuts)
            marked = marked || s->IgnoreDup;
    });
    return marked;
}

} // namespace

class WindowTools : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(window->OpenDocument(Sample()));
        window->show();
        window->resize(900, 560);
        QApplication::setActiveWindow(window.get());
        window->AskYesNo = [this](const QString& text) {
            questions.push_back(text);
            return true;
        };
    }
    // A category under the root holding the shortcuts (name, URL), written as the window writes.
    CategoryNode& Category(const std::string& name, std::vector<std::pair<std::string, std::string>> shortcuts) {
        CategoryNode& node = AddEmptyCategory(name);
        for (const auto& [n, url] : shortcuts) {
            TIShortcut& s = node.Folder().Shortcuts.Add();
            s.Name = n;
            s.URL = url;
        }
        window->WriteCategory(node);
        window->Action("acRefresh")->trigger();
        return node;
    }
    // Runs Find through its dialog, typing the text and choosing as the user does.
    void Find(const QString& text, QRadioButton* TfrmSearch::*field = &TfrmSearch::rbNames, bool selection = false,
              bool caseSensitive = false) {
        window->RunDialog = [&](QDialog& d) {
            auto* f = dynamic_cast<TfrmSearch*>(&d);
            if (!f)
                return false;
            shownText = f->edFind->text();
            f->edFind->clear();
            EXPECT_FALSE(f->BtnFind->isEnabled());
            EXPECT_TRUE(f->BtnCancel->isDefault());
            QTest::keyClicks(f->edFind, text);
            EXPECT_TRUE(f->BtnFind->isEnabled());
            EXPECT_TRUE(f->BtnFind->isDefault());
            (f->*field)->click();
            (selection ? f->rbSelection : f->rbFile)->click();
            f->chCase->setChecked(caseSensitive);
            if (!picture.isEmpty()) {
                f->show();
                QApplication::processEvents();
                f->grab().save(Shot(picture.toUtf8().constData()));
                f->hide();
                QApplication::setActiveWindow(window.get()); // as the desktop gives it back
            }
            QTest::mouseClick(f->BtnFind, Qt::LeftButton);
            return f->result() == QDialog::Accepted;
        };
        window->Action("acFind")->trigger();
        QApplication::processEvents();
    }
    // The selected shortcut's name, as the list shows it.
    QString Selected() {
        const std::vector<std::uint32_t> ids = window->SelectedIds();
        if (ids.size() != 1)
            return "(" + QString::number(ids.size()) + " selected)";
        const int row = window->ListModel().RowOf(ids.front());
        return window->ListModel().CellText(row, 0);
    }
    QString FindNext() {
        window->Action("acFindNext")->trigger();
        QApplication::processEvents();
        return Selected();
    }
    // Runs the scan; the duplicates window goes to `inDialog` while it is open.
    void Scan(const std::function<void(TfrmDuplicates&)>& inDialog) {
        dialogShown = false;
        window->RunDialog = [&](QDialog& d) {
            auto* dup = dynamic_cast<TfrmDuplicates*>(&d);
            if (!dup)
                return false;
            dialogShown = true;
            EXPECT_FALSE(window->centralWidget()->isEnabled());
            inDialog(*dup);
            return false;
        };
        window->Action("acScanDup")->trigger();
        QApplication::processEvents();
    }
    static QStringList Lines(TfrmDuplicates& d) {
        QStringList lines;
        const QAbstractItemModel& m = d.Model();
        for (int g = 0; g < m.rowCount(); ++g) {
            const QModelIndex group = m.index(g, 0);
            lines << group.data().toString();
            for (int e = 0; e < m.rowCount(group); ++e)
                lines << "  " + m.index(e, 0, group).data().toString();
        }
        return lines;
    }
    static void SelectLine(TfrmDuplicates& d, int group, int entry = -1) {
        const QModelIndex g = d.Model().index(group, 0);
        d.treeDup->setCurrentIndex(entry < 0 ? g : d.Model().index(entry, 0, g));
    }
    std::vector<std::string> Names(const CategoryNode& node) {
        std::vector<std::string> names;
        for (const auto& s : node.Folder().Shortcuts)
            names.push_back(s->Name);
        return names;
    }

    QStringList questions;
    QString shownText;
    QString picture; // where Find leaves a picture of its dialog
    bool dialogShown = false;
};

TEST_F(WindowTools, FindWalksMatchesAndRemembersWhereItStopped) {
    EXPECT_FALSE(window->Action("acFindNext")->isEnabled());
    Category("Zq one", {{"ZQX first", "http://1.example/"}, {"plain", "http://2.example/"},
                        {"zqx second", "http://3.example/"}, {"Zqx third", "http://4.example/"}, {"end", "http://5.example/"}});
    CategoryNode& two = Category("Zq two", {{"zqx last", "http://6.example/"}});
    // The list is sorted against the collection's order: rows are found by identity.
    for (QAction* a : ArrangeMenu(*window)->actions())
        if (a->text() == "&Descending")
            a->trigger();

    picture = "find-dialog.png";
    Find("ZQX");
    picture.clear();
    EXPECT_EQ(Selected(), "ZQX first");
    EXPECT_TRUE(window->ListView()->hasFocus()); // found by its name
    EXPECT_TRUE(window->Action("acFindNext")->isEnabled());
    EXPECT_EQ(FindNext(), "zqx second");
    EXPECT_EQ(FindNext(), "Zqx third");
    EXPECT_EQ(FindNext(), "zqx last");
    EXPECT_EQ(window->SelectedNode(), &two);
    EXPECT_TRUE(window->LastInfo().isEmpty());
    FindNext();
    // Case was ignored: the text is kept, and shown, in lower case.
    EXPECT_EQ(window->LastInfo(), "Lynkora has finished searching for \"zqx\"      ");
    Find("Zqx", &TfrmSearch::rbNames, false, true);
    EXPECT_EQ(shownText, "zqx");
    EXPECT_EQ(Selected(), "Zqx third");

    // Cancel changes nothing: Find next goes on from where it was.
    window->RunDialog = [](QDialog&) { return false; };
    window->Action("acFind")->trigger();
    EXPECT_EQ(window->Finder().Options().FindText, "Zqx");
    EXPECT_TRUE(window->Finder().Options().CaseSensitive);
}

TEST_F(WindowTools, FindFieldsAndOrigin) {
    CategoryNode& a = Category("Zq A", {{"needle a", "http://a.example/"}});
    CategoryNode& b = Category("Zq B", {{"other", "http://b.example/"}});
    b.Folder().Shortcuts[0].Descr = "the needle is here";
    window->WriteCategory(b);
    Category("Zq C", {{"needle c", "http://c.example/"}});
    // Descriptions only: the names do not count, and the list is not given the focus.
    window->TreeView()->setFocus();
    Find("needle", &TfrmSearch::rbDescr);
    EXPECT_EQ(Selected(), "other");
    EXPECT_FALSE(window->ListView()->hasFocus());
    // All four: the match in A's last shortcut leads on to B's first.
    Find("needle", &TfrmSearch::rbAll);
    EXPECT_EQ(window->SelectedNode(), &a);
    EXPECT_EQ(FindNext(), "other");
    EXPECT_EQ(FindNext(), "needle c");
    // From the selection (B): A lies before it and is never found.
    window->SelectNode(&b);
    Find("needle", &TfrmSearch::rbNames, true);
    EXPECT_EQ(Selected(), "needle c");
    FindNext();
    EXPECT_EQ(window->LastInfo(), "Lynkora has finished searching for \"needle\"      ");
    EXPECT_EQ(window->Finder().Options().Origin, 0);
}

TEST_F(WindowTools, ScanWithoutDuplicatesSaysSoAndLeavesNoTrace) {
    Scan([](TfrmDuplicates&) {});
    EXPECT_FALSE(dialogShown);
    EXPECT_EQ(window->LastInfo(), "Lynkora has finished scanning the datafile for duplicates.      ");
    EXPECT_EQ(window->statusBar()->findChild<QProgressBar*>("DupProgress"), nullptr);
    EXPECT_FALSE(window->StatusIconShown());
    EXPECT_EQ(window->StatusText(), window->StatusSummary());
    EXPECT_TRUE(window->centralWidget()->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(AnyMarked(window->Tree()));
}

TEST_F(WindowTools, DeleteSelectionOnAShortcutLineAndOnAGroupLine) {
    CategoryNode& one = Category("Dup one", {{"keep", "http://dup.example/"}, {"A", "http://AAA.example"},
                                             {"B", "http://bbb.example/"}});
    CategoryNode& two = Category("Dup two", {{"a2", "http://aaa.example/"}, {"b2", "HTTP://BBB.EXAMPLE"},
                                             {"Dup", "http://dup.example"}, {"a3", "http://aaa.example//"}});
    window->SelectNode(&two);
    QApplication::processEvents();
    Scan([&](TfrmDuplicates& d) {
        EXPECT_EQ(Lines(d), QStringList({"http://bbb.example/", "  B (Category: My Internet Shortcuts\\Dup one)",
                                         "  b2 (Category: My Internet Shortcuts\\Dup two)", "http://AAA.example",
                                         "  A (Category: My Internet Shortcuts\\Dup one)",
                                         "  a2 (Category: My Internet Shortcuts\\Dup two)", "http://dup.example/",
                                         "  keep (Category: My Internet Shortcuts\\Dup one)",
                                         "  Dup (Category: My Internet Shortcuts\\Dup two)"}));
        // Group lines and shortcut lines look different.
        const QModelIndex group = d.Model().index(0, 0);
        EXPECT_NE(group.data(Qt::DecorationRole).value<QIcon>().cacheKey(),
                  d.Model().index(0, 0, group).data(Qt::DecorationRole).value<QIcon>().cacheKey());
        EXPECT_TRUE(d.mnuDel->isEnabled()); // the first line is selected
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        d.grab().save(Shot("duplicates-window.png"));
        d.treeDup->clearSelection();
        EXPECT_FALSE(d.mnuDel->isEnabled());

        SelectLine(d, 1, 1); // a2
        d.mnuDel->trigger();
        EXPECT_EQ(questions.back(), "The following internet shortcut will  be removed:      \n\n"
                                    "a2 (Category: My Internet Shortcuts\\Dup two)\n\nDo you want to continue?");
        // The group line stays with the line left under it.
        EXPECT_EQ(Lines(d).mid(3, 2), QStringList({"http://AAA.example", "  A (Category: My Internet Shortcuts\\Dup one)"}));

        SelectLine(d, 0); // the bbb group
        d.mnuDel->trigger();
        EXPECT_EQ(questions.back(), "All internet shortcuts with the following URL will be removed:      \n\n"
                                    "\"http://bbb.example/\"\n\nDo you want to continue?");
        EXPECT_EQ(d.Model().rowCount(), 2);
        // No: nothing happens.
        window->AskYesNo = [](const QString&) { return false; };
        SelectLine(d, 0, 0);
        d.mnuDel->trigger();
        EXPECT_EQ(d.Model().rowCount(d.Model().index(0, 0)), 1);
    });
    ASSERT_TRUE(dialogShown);
    EXPECT_EQ(Names(one), (std::vector<std::string>{"keep", "A"}));
    EXPECT_EQ(Names(two), (std::vector<std::string>{"Dup", "a3"}));
    // The list behind no longer shows what was deleted.
    EXPECT_EQ(window->ListModel().rowCount(), 2);
    EXPECT_FALSE(AnyMarked(window->Tree()));
    EXPECT_TRUE(window->centralWidget()->isEnabled());
    EXPECT_TRUE(window->DataFile()->Modified() || window->DataFile()->DirectMode());
}

TEST_F(WindowTools, DeleteAllButFirstKeepsEveryHeadAndTheWindowReopensWhereItWas) {
    CategoryNode& one = Category("Dup one", {{"x1", "http://x.example/"}, {"y1", "http://y.example/"}});
    CategoryNode& two = Category("Dup two", {{"x2", "http://X.example"}, {"y2", "http://y.example"},
                                             {"x3", "http://x.example/"}});
    Scan([&](TfrmDuplicates& d) {
        // Placed at its own size, centred on the window.
        EXPECT_EQ(d.size(), QSize(481, 277));
        EXPECT_LE((d.geometry().center() - window->geometry().center()).manhattanLength(), 2);
        d.show();
        QApplication::setActiveWindow(&d);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        // Ctrl+Del, wherever the focus is in the window.
        d.treeDup->setFocus();
        QTest::keyClick(d.treeDup, Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(questions.back(), "All duplicate entries will be removed!      \nDo you want to coninue?");
        EXPECT_EQ(d.Model().rowCount(), 0);
        EXPECT_FALSE(d.mnuDel->isEnabled());
        EXPECT_FALSE(d.mnuDelAll->isEnabled());
        d.move(40, 50);
        d.resize(520, 300);
        d.close();
    });
    EXPECT_EQ(Names(one), (std::vector<std::string>{"x1", "y1"}));
    EXPECT_EQ(Names(two), (std::vector<std::string>{}));
    EXPECT_EQ(window->Settings().DupWinPos, "40,300,50,520");

    Category("Dup three", {{"z1", "http://z.example/"}, {"z2", "http://z.example/"}});
    Scan([&](TfrmDuplicates& d) {
        EXPECT_EQ(d.pos(), QPoint(40, 50));
        EXPECT_EQ(d.size(), QSize(520, 300));
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        SelectLine(d, 0, 1);
        QTest::keyClick(d.treeDup, Qt::Key_Delete);
        EXPECT_EQ(d.Model().rowCount(d.Model().index(0, 0)), 1);
        d.close();
    });
    // A position that is no position: the window in its own place, every time, and the step ends.
    window->Settings().DupWinPos = "x,1,2,3";
    Category("Dup four", {{"w1", "http://w.example/"}, {"w2", "http://w.example/"}});
    for (int scan = 0; scan < 2; ++scan) {
        Scan([&](TfrmDuplicates& d) {
            EXPECT_EQ(d.geometry().size(), QSize(3, 1));
            EXPECT_EQ(d.geometry().center(), window->geometry().center()) << "centred over the window";
        });
        EXPECT_TRUE(dialogShown);
    }
    EXPECT_EQ(window->LastError(), "");
    EXPECT_FALSE(AnyMarked(window->Tree()));
    EXPECT_TRUE(window->centralWidget()->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // Height and width that are not numbers take the window's own.
    window->Settings().DupWinPos = "10,,20,wide";
    Scan([](TfrmDuplicates& d) { EXPECT_EQ(d.geometry().size(), QSize(481, 277)); });
    EXPECT_TRUE(dialogShown);
}
