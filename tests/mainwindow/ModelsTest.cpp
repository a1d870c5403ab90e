#include "support/QtTestApp.h"

#include "mainwindow/CategoryTreeModel.h"
#include "mainwindow/ShortcutListModel.h"

#include <gtest/gtest.h>

using namespace lynkora;

namespace {

TISFolder& Fill(TISFolder& f) {
    const char* names[] = {"beta", "Alpha", "gamma", "alpha two"};
    const char* urls[] = {"http://d/", "http://b/", "http://a/", "http://c/"};
    const int counts[] = {5, 1, 9, 3};
    for (int i = 0; i < 4; ++i) {
        TIShortcut& s = f.Shortcuts.Add();
        s.Name = names[i];
        s.URL = urls[i];
        s.Count = counts[i];
        s.Added = 46000 + i;
    }
    return f;
}

std::vector<std::string> Names(const ShortcutListModel& m) {
    std::vector<std::string> out;
    for (int r = 0; r < m.rowCount(); ++r)
        out.push_back(m.CellText(r, 0).toStdString());
    return out;
}

} // namespace

TEST(ShortcutList, SortOrders) {
    test::EnsureQtApp();
    TISFolder folder;
    Fill(folder);
    ShortcutListModel model;
    model.FillList(&folder);
    EXPECT_EQ(Names(model), (std::vector<std::string>{"Alpha", "alpha two", "beta", "gamma"}));
    model.SortList(201);
    EXPECT_EQ(Names(model), (std::vector<std::string>{"gamma", "beta", "alpha two", "Alpha"}));
    model.SortList(202);
    EXPECT_EQ(Names(model), (std::vector<std::string>{"gamma", "Alpha", "alpha two", "beta"}));
    model.SortList(203);
    EXPECT_EQ(Names(model).front(), "beta");
    model.SortList(204);
    EXPECT_EQ(Names(model), (std::vector<std::string>{"Alpha", "alpha two", "beta", "gamma"}));
    model.SortList(205);
    EXPECT_EQ(Names(model).front(), "gamma");
    model.SortList(0); // never set: by name ascending
    EXPECT_EQ(Names(model).front(), "Alpha");
}

TEST(ShortcutList, ColumnsCellsAndRows) {
    test::EnsureQtApp();
    TISFolder folder;
    Fill(folder);
    folder.Shortcuts[0].VerState = vsQueued;
    ShortcutListModel model;
    TLVColumns columns; // Name only, then make Visits and Last visited visible, URL hidden
    columns[TLVColumns::Visits].Visible = true;
    columns[TLVColumns::LastVisited].Visible = true;
    model.SetColumns(columns);
    model.SetNewItems(46001.5, QColor(255, 0, 0));
    model.FillList(&folder);
    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.ColumnCaption(1), "Last Visited") << "hidden columns shift the rest left";
    EXPECT_EQ(model.ColumnCaption(2), "Visits");
    const int beta = model.RowOf(0);
    EXPECT_EQ(model.CellText(beta, 1), "N/A");
    EXPECT_EQ(model.CellText(beta, 2), "5");
    EXPECT_TRUE(model.data(model.index(beta, 0), ShortcutListModel::CutRole).toBool());
    EXPECT_FALSE(model.data(model.index(model.RowOf(1), 0), Qt::ForegroundRole).isValid())
        << "added before the last session";
    EXPECT_EQ(model.data(model.index(model.RowOf(2), 0), Qt::ForegroundRole).value<QColor>(),
              QColor(255, 0, 0));
    // A deleted shortcut's row reads as empty, never as another shortcut.
    folder.Shortcuts.Delete(folder.Shortcuts.IndexOf(*folder.Shortcuts.FindItemID(3)));
    EXPECT_EQ(model.CellText(model.RowOf(3), 0), "");
    model.FillList(nullptr);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(CategoryTreeModelTest, MirrorsTheTree) {
    test::EnsureQtApp();
    CategoryTree tree;
    auto root = std::make_unique<TISFolder>();
    root->FolderName = "Root";
    CategoryNode& r = tree.SetRoot(std::move(root));
    auto a = std::make_unique<TISFolder>();
    a->FolderName = "A";
    CategoryNode& na = tree.AddChild(r, std::move(a));
    auto b = std::make_unique<TISFolder>();
    b->FolderName = "B";
    tree.AddChild(na, std::move(b));
    CategoryTreeModel model;
    EXPECT_EQ(model.rowCount(), 0);
    model.SetTree(&tree);
    ASSERT_EQ(model.rowCount(), 1);
    const QModelIndex rootIndex = model.index(0, 0);
    EXPECT_EQ(model.data(rootIndex, Qt::DisplayRole).toString(), "Root");
    ASSERT_EQ(model.rowCount(rootIndex), 1);
    const QModelIndex ai = model.index(0, 0, rootIndex);
    EXPECT_EQ(model.NodeAt(ai), &na);
    EXPECT_EQ(model.parent(ai), rootIndex);
    EXPECT_EQ(model.IndexOf(&na.Child(0)).parent(), ai);
    EXPECT_EQ(model.data(model.index(0, 0, ai), Qt::DisplayRole).toString(), "B");
}
