// Commands act on the item the user sees selected: the list's selection, the current item and
// the tree's state must follow their objects through sorting, refilling, view changes, refresh
// and Save as.
#include "WindowFixture.h"

#include "mainwindow/ShortcutDialog.h"
#include "platform/StoredText.h"
#include "store/DataFileStorage.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTreeView>

using namespace lynkora;
using lynkora::test::MainWindowTest;

namespace {

std::uint32_t IdOf(const TISFolder& folder, const std::string& name) {
    for (const auto& s : folder.Shortcuts)
        if (s->Name == name)
            return s->ID();
    return 0;
}

// Clicks a list row the way the user does, in whichever view shows the list.
void ClickRow(TfrmMainLynkora& w, std::uint32_t id, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QAbstractItemView* view = w.ListView();
    const int row = w.ListModel().RowOf(id);
    ASSERT_GE(row, 0);
    const QModelIndex index = w.ListModel().index(row, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, mods, view->visualRect(index).center());
}

QString CurrentName(TfrmMainLynkora& w) {
    const QModelIndex current = w.ListView()->currentIndex();
    const TIShortcut* s = w.ListModel().ShortcutAt(current.row());
    return s ? DecodeStoredText(s->Name) : QString();
}

QMenu* ArrangeMenu(TfrmMainLynkora& w) {
    for (QAction* a : w.ListMenu()->actions())
        if (a->text() == "&Arrange")
            return a->menu();
    return nullptr;
}

} // namespace

class ListSelection : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(window->OpenDocument(Sample()));
        window->show();
        window->resize(900, 560);
        QApplication::setActiveWindow(window.get());
        QApplication::processEvents();
        news = window->Tree().FindCategoryByName("News", 1);
        ASSERT_NE(news, nullptr);
        window->SelectNode(news);
        QApplication::processEvents();
    }
    CategoryNode* news = nullptr;
};

TEST_F(ListSelection, SortingKeepsTheChosenShortcutSelectedAndCurrent) {
    const std::uint32_t reuters = IdOf(news->Folder(), "Reuters");
    ClickRow(*window, reuters);
    ASSERT_EQ(window->SelectedIds(), std::vector<std::uint32_t>{reuters});
    ASSERT_EQ(window->HeaderRecord(), "https://www.reuters.com/");

    QMenu* arrange = ArrangeMenu(*window);
    ASSERT_NE(arrange, nullptr);
    for (const char* item : {"&Descending", "by &URL", "by &Visits", "&Ascending", "by &Name"}) {
        for (QAction* a : arrange->actions())
            if (a->text() == item)
                a->trigger();
        QApplication::processEvents();
        EXPECT_EQ(window->SelectedIds(), std::vector<std::uint32_t>{reuters}) << item;
        EXPECT_EQ(CurrentName(*window), "Reuters") << item;
        EXPECT_EQ(window->HeaderRecord(), "https://www.reuters.com/") << item;
    }
    for (QAction* a : arrange->actions())
        if (a->text() == "&Descending")
            a->trigger();
    QApplication::processEvents();
    window->grab().save(Shot("list-after-descending-sort.png"));

    // Properties opens the shortcut that is selected, not the one now at its old row.
    QString shown;
    window->RunDialog = [&](QDialog& d) {
        if (auto* s = dynamic_cast<TfrmShort*>(&d))
            shown = s->edName->text();
        return false;
    };
    window->ListView()->setFocus();
    window->acUpdateCtrls();
    window->Action("acProp")->trigger();
    EXPECT_EQ(shown, "Reuters");
}

TEST_F(ListSelection, ViewChangesRefillsAndRenamesKeepTheSelection) {
    const std::uint32_t bbc = IdOf(news->Folder(), "BBC News");
    const std::uint32_t lwn = IdOf(news->Folder(), "LWN.net");
    ClickRow(*window, bbc);
    ClickRow(*window, lwn, Qt::ControlModifier);
    const std::vector<std::uint32_t> both{lwn, bbc}; // the current item first
    ASSERT_EQ(window->SelectedIds(), both);
    for (const char* style : {"acViewLarge", "acViewSmall", "acViewList", "acViewDetails"}) {
        window->Action(style)->trigger();
        QApplication::processEvents();
        EXPECT_EQ(window->SelectedIds(), both) << style;
        EXPECT_EQ(CurrentName(*window), "LWN.net") << style;
        EXPECT_EQ(window->HeaderRecord(), "2 items selected") << style;
    }

    // A rename in place moves the row; the selection goes with it.
    ClickRow(*window, bbc);
    const int row = window->ListModel().RowOf(bbc);
    window->ListModel().setData(window->ListModel().index(row, 0), "Zulu News", Qt::EditRole);
    QApplication::processEvents();
    ASSERT_EQ(news->Folder().Shortcuts.FindItemID(bbc)->Name, "Zulu News");
    EXPECT_EQ(window->ListModel().RowOf(bbc), window->ListModel().rowCount() - 1) << "sorted to the end";
    EXPECT_EQ(window->SelectedIds(), std::vector<std::uint32_t>{bbc});
    EXPECT_EQ(CurrentName(*window), "Zulu News");
}

TEST_F(ListSelection, RefreshAndTheTreeCommandsKeepExpansionAndSelection) {
    CategoryNode* science = window->Tree().FindCategoryByName("Science", 2);
    CategoryNode* cooking = window->Tree().FindCategoryByName("Cooking", 1);
    QTreeView* tree = window->TreeView();
    auto& model = *static_cast<CategoryTreeModel*>(tree->model());
    tree->expand(model.IndexOf(news));
    window->SelectNode(science);
    const std::uint32_t nasa = IdOf(science->Folder(), "NASA");
    ClickRow(*window, nasa);

    QTest::keyClick(window->ListView(), Qt::Key_F5);
    QApplication::processEvents();
    EXPECT_EQ(window->SelectedNode(), science);
    EXPECT_TRUE(tree->isExpanded(model.IndexOf(news)));
    EXPECT_FALSE(tree->isExpanded(model.IndexOf(cooking)));
    EXPECT_EQ(window->SelectedIds(), std::vector<std::uint32_t>{nasa});
    window->grab().save(Shot("tree-after-refresh.png"));

    // Collapse: the selection moves to the one node still shown and the list follows it.
    window->Action("viewCollapse")->trigger();
    EXPECT_EQ(window->SelectedNode(), window->Tree().RootNode());
    EXPECT_EQ(window->HeaderRecord(), "3 shortcuts");
    window->SelectNode(cooking);
    window->Action("viewExpand")->trigger();
    EXPECT_TRUE(tree->isExpanded(model.IndexOf(news)));
    EXPECT_TRUE(tree->isExpanded(model.IndexOf(cooking)));
    EXPECT_EQ(window->SelectedNode(), cooking);
    EXPECT_EQ(window->HeaderRecord(), "3 shortcuts");
    EXPECT_TRUE(tree->viewport()->rect().intersects(tree->visualRect(model.IndexOf(cooking))));
}

TEST_F(ListSelection, SaveAsKeepsTheTreeAndTheListAsTheyAre) {
    QTreeView* tree = window->TreeView();
    auto& model = *static_cast<CategoryTreeModel*>(tree->model());
    CategoryNode* travel = window->Tree().FindCategoryByName("Travel", 1);
    window->SelectNode(travel);
    window->Action("acExclude")->trigger();
    ASSERT_EQ(travel->Image(), NodeImage::Excluded);
    tree->expand(model.IndexOf(news));
    window->SelectNode(news);
    const std::uint32_t guardian = IdOf(news->Folder(), "The Guardian");
    ClickRow(*window, guardian);
    // An unsaved edit travels into the new file.
    news->Folder().Descr = "unsaved";
    window->WriteCategory(*news);

    const std::string other = (dir / "other.lyx").string();
    window->ChooseSaveFile = [&](const QString&) { return QString::fromStdString(other); };
    window->Action("acSaveAs")->trigger();
    ASSERT_EQ(window->LastError(), "");
    ASSERT_EQ(window->DataFile()->FileName(), other);
    EXPECT_FALSE(window->DataFile()->Modified());
    EXPECT_EQ(window->SelectedNode(), news);
    EXPECT_TRUE(tree->isExpanded(model.IndexOf(news)));
    EXPECT_EQ(travel->Image(), NodeImage::Excluded) << "exclusion lives only in the tree";
    EXPECT_EQ(window->SelectedIds(), std::vector<std::uint32_t>{guardian});

    // The next Delete acts on the shortcut that is still selected, in the new file.
    window->AskYesNo = [](const QString&) { return true; };
    window->ListView()->setFocus();
    window->acUpdateCtrls();
    window->Action("acDelete")->trigger();
    EXPECT_EQ(news->Folder().Shortcuts.FindItemID(guardian), nullptr);
    EXPECT_EQ(news->Folder().Shortcuts.Count(), 4u);
    window->Action("acSave")->trigger();
    window->SavePrompt = [] { return int(QMessageBox::No); };
    ASSERT_TRUE(window->CloseFile());

    auto file = OpenDataFile(other, false);
    CategoryTree saved;
    LoadCategoryTree(file, saved);
    const CategoryNode* stored = saved.FindCategoryByName("News", 1);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->Folder().Descr, "unsaved");
    EXPECT_EQ(stored->Folder().Shortcuts.Count(), 4u);
    EXPECT_EQ(IdOf(stored->Folder(), "The Guardian"), 0u);
    EXPECT_EQ(saved.ShortcutCount(), 36u);
}
