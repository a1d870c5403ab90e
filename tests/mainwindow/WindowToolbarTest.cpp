// The main tool bar: its default buttons, "Customize toolbar..." driven through its window, the
// layout stored and brought back at the next start, and the Open button's drop-down.
#include "WindowFixture.h"

#include "mainwindow/ToolbarController.h"
#include "settings/ToolbarLayout.h"
#include "settings/ui/ToolbarDialog.h"
#include "store/ObjectStream.h"

#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

using namespace lynkora;
using lynkora::test::MainWindowTest;

namespace {

// The tool bar as the user sees it: command names, "|" for separators, "text:" for buttons that
// show their caption.
QStringList Buttons(const QToolBar* bar) {
    QStringList out;
    for (QAction* a : bar->actions()) {
        if (a->isSeparator())
            out << "|";
        else if (auto* w = qobject_cast<QWidgetAction*>(a))
            out << "text:" + qobject_cast<QToolButton*>(w->defaultWidget())->defaultAction()->objectName();
        else
            out << a->objectName();
    }
    return out;
}

void ClickRow(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << text.toStdString();
    list->scrollToItem(found.front());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.front()).center());
}

const QStringList kDefault = {"acOpen", "|", "acNewFolder", "acNewShort", "|", "acProp", "acDelete"};

} // namespace

class WindowToolbar : public MainWindowTest {
protected:
    // Opens "Customize toolbar...", lets `edit` work in its window, then Save (or Cancel).
    void Customize(const std::function<void(TfrmTool&)>& edit, bool save = true) {
        window->RunDialog = [&, save](QDialog& d) {
            auto* tool = dynamic_cast<TfrmTool*>(&d);
            if (!tool)
                return false;
            tool->show();
            edit(*tool);
            QTest::mouseClick(save ? tool->BtnSave : tool->BtnCancel, Qt::LeftButton);
            return tool->result() == QDialog::Accepted;
        };
        window->Action("acCustom")->trigger();
        window->RunDialog = nullptr;
    }
    void Restart() {
        window.reset();
        window = std::make_unique<TfrmMainLynkora>(*registry, env);
        window->InitializeMainWindow("");
    }
};

TEST_F(WindowToolbar, TheDefaultButtonsWithTheirMenus) {
    EXPECT_EQ(Buttons(window->ToolBar()), kDefault);
    EXPECT_FALSE(registry->ValueExists("", "Toolbar"));
    auto* open = qobject_cast<QToolButton*>(window->ToolBar()->widgetForAction(window->Action("acOpen")));
    ASSERT_NE(open, nullptr);
    ASSERT_NE(open->menu(), nullptr);
    EXPECT_EQ(open->menu()->objectName(), "popHistory");
    EXPECT_EQ(open->popupMode(), QToolButton::MenuButtonPopup);
    auto* popTool = window->findChild<QMenu*>("popTool");
    ASSERT_NE(popTool, nullptr);
    EXPECT_EQ(popTool->actions(), QList<QAction*>{window->Action("acCustom")});
    window->show();
    QApplication::processEvents();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(150, 5), window->ToolBar()->mapToGlobal(QPoint(150, 5)));
    QApplication::sendEvent(window->ToolBar(), &rightClick);
    EXPECT_TRUE(popTool->isVisible()) << "the tool bar's own menu, not Qt's list of bars";
    popTool->close();

    // The history drop-down holds what the Reopen menu holds, the open file checked.
    const std::string path = Sample();
    window->OpenDocument(path);
    window->AddToHistory(path);
    ASSERT_EQ(open->menu()->actions().size(), 1);
    EXPECT_TRUE(open->menu()->actions()[0]->isChecked());
    EXPECT_EQ(open->menu()->actions()[0]->text(), window->HistoryMenu()->actions()[0]->text());
}

TEST_F(WindowToolbar, ASavedLayoutComesBackAtTheNextStart) {
    window->show();
    QPixmap picture;
    Customize([&](TfrmTool& t) {
        EXPECT_EQ(t.windowTitle(), "Customize toolbar");
        EXPECT_FALSE(t.btnAdd->isEnabled() || t.BtnDel->isEnabled() || t.BtnUp->isEnabled() || t.BtnDown->isEnabled());
        EXPECT_FALSE(t.BtnUp->icon().isNull()) << "the resource library's arrow";
        EXPECT_EQ(t.listTool->count(), 7);
        ClickRow(t.ListBox1, "File");
        ClickRow(t.ListView1, "Close");
        EXPECT_TRUE(t.btnAdd->isEnabled());
        QTest::mouseClick(t.btnAdd, Qt::LeftButton);
        EXPECT_TRUE(t.ListView1->findItems("Close", Qt::MatchExactly).isEmpty());
        ClickRow(t.ListView1, "Separator");
        QTest::mouseClick(t.btnAdd, Qt::LeftButton);
        ClickRow(t.ListBox1, "Tools");
        EXPECT_TRUE(t.ListView1->findItems("Synchronize...", Qt::MatchExactly).size() == 1);
        ClickRow(t.ListView1, "Open");
        QTest::mouseClick(t.btnAdd, Qt::LeftButton);
        ClickRow(t.listTool, "Open");
        EXPECT_FALSE(t.BtnDown->isEnabled()) << "the last entry";
        QTest::mouseClick(t.BtnUp, Qt::LeftButton);
        EXPECT_EQ(t.listTool->currentRow(), 8);
        EXPECT_TRUE(t.BtnDown->isEnabled());
        ClickRow(t.listTool, "Delete");
        QTest::mouseClick(t.BtnDel, Qt::LeftButton);
        EXPECT_FALSE(t.BtnDel->isEnabled());
        ClickRow(t.ListBox1, "Edit");
        EXPECT_EQ(t.ListView1->findItems("Delete", Qt::MatchExactly).size(), 1) << "back among the commands";
        picture = t.grab();
    });
    picture.save(Shot("toolbar-dialog.png"));
    const QStringList expected = {"acOpen", "|", "acNewFolder", "acNewShort", "|", "acProp",
                                  "text:acClose", "acOpenBrowser", "|"};
    EXPECT_EQ(Buttons(window->ToolBar()), expected);
    auto* close = qobject_cast<QToolButton*>(
        qobject_cast<QWidgetAction*>(window->ToolBar()->actions()[6])->defaultWidget());
    EXPECT_EQ(close->text(), "Close");
    EXPECT_EQ(close->width(), close->fontMetrics().horizontalAdvance("Close") + 12);
    EXPECT_EQ(close->autoRaise(), window->Settings().FlatToolBtn);
    QApplication::processEvents();
    EXPECT_TRUE(close->isVisible());
    window->grab(QRect(0, 0, window->width(), window->ToolBar()->geometry().bottom() + 1))
        .save(Shot("toolbar-customised.png"));

    ASSERT_TRUE(registry->ValueExists("", "Toolbar"));
    const std::string stored = registry->ReadBinary("", "Toolbar");
    Restart();
    EXPECT_EQ(Buttons(window->ToolBar()), expected) << "the same buttons in the same order";
    EXPECT_EQ(ObjectStream::WriteObject(window->Toolbar().Layout()), stored) << "byte for byte";
    auto* open = qobject_cast<QToolButton*>(window->ToolBar()->widgetForAction(window->Action("acOpen")));
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->menu(), window->HistoryDropDown()) << "the drop-down re-attached";
    window.reset();
    EXPECT_EQ(registry->ReadBinary("", "Toolbar"), stored) << "closing leaves the layout alone";
}

TEST_F(WindowToolbar, CancelLeavesTheToolbarAlone) {
    Customize([&](TfrmTool& t) {
        ClickRow(t.listTool, "Open...");
        QTest::mouseClick(t.BtnDel, Qt::LeftButton);
        EXPECT_EQ(t.listTool->count(), 6);
    }, false);
    EXPECT_EQ(Buttons(window->ToolBar()), kDefault);
    EXPECT_FALSE(registry->ValueExists("", "Toolbar"));
    // Opened again, the layout is the tool bar's, not the cancelled copy.
    Customize([&](TfrmTool& t) { EXPECT_EQ(t.listTool->count(), 7); }, false);
}

TEST_F(WindowToolbar, AStoredLayoutThatDoesNotReadLeavesTheDefault) {
    TToolBar foreign;
    foreign.AddImageButton("acOpen", "&Open...", 10);
    std::string bytes = ObjectStream::WriteObject(foreign);
    bytes.replace(bytes.find("TToolButton"), 11, "TMenuButton");
    registry->WriteBinary("", "Toolbar", bytes);
    registry->Sync();
    Restart();
    EXPECT_EQ(Buttons(window->ToolBar()), kDefault);
    EXPECT_EQ(window->LastError(), "Class TMenuButton not found");
    EXPECT_EQ(registry->ReadBinary("", "Toolbar"), bytes) << "kept until the user saves a layout";
}

TEST_F(WindowToolbar, TheDesktopFontOnTheTreeAndTheList) {
    const QFont general = QApplication::font();
    QFont desktop = general;
    desktop.setPointSize(general.pointSize() + 5);
    QApplication::setFont(desktop, "QAbstractItemView");
    Restart();
    ASSERT_TRUE(window->Settings().UseIconFont);
    EXPECT_EQ(window->TreeView()->font().pointSize(), desktop.pointSize());
    window->Settings().UseIconFont = false;
    window->Settings().SaveAll();
    Restart();
    EXPECT_EQ(window->TreeView()->font().pointSize(), general.pointSize());
    EXPECT_EQ(window->findChild<QTreeView*>("ListView1")->font().pointSize(), general.pointSize());
    QApplication::setFont(general, "QAbstractItemView");
}
