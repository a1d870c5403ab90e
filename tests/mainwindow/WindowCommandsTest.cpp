// Commands as the user reaches them: keys, header clicks, pop-up menus, the save dialog, and
// what the window reports when something fails.
#include "WindowFixture.h"

#include "mainwindow/SaveFileDialog.h"
#include "store/Compaction.h"
#include "store/DataFileStorage.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <filesystem>
#include <fstream>
#include <thread>

using namespace lynkora;
using lynkora::test::MainWindowTest;
namespace fs = std::filesystem;

namespace {

QAction* ItemCalled(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

// Answers the first modal box or pop-up that opens, remembering its text.
class ModalWatcher {
public:
    explicit ModalWatcher(QMessageBox::StandardButton answer) {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this, answer] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.push_back(box->text());
                if (QAbstractButton* button = box->button(answer))
                    button->click();
                else
                    box->reject();
            }
        });
        m_timer.start();
    }
    std::vector<QString> texts;

private:
    QTimer m_timer;
};

} // namespace

TEST_F(MainWindowTest, KeysOfCommandsShownOnlyInPopUpMenusWork) {
    ASSERT_TRUE(window->OpenDocument(Sample()));
    window->show();
    QApplication::setActiveWindow(window.get());
    CategoryNode* travel = window->Tree().FindCategoryByName("Travel", 1);
    window->SelectNode(travel);
    window->TreeView()->setFocus();
    QApplication::processEvents();
    QTest::keyClick(window->TreeView(), Qt::Key_F6);
    EXPECT_EQ(travel->Image(), NodeImage::Excluded);
    EXPECT_EQ(window->Action("acExclude")->text(), "Inclu&de");
    QTest::keyClick(window->TreeView(), Qt::Key_F6);
    EXPECT_EQ(travel->Image(), NodeImage::Normal);
}

TEST_F(MainWindowTest, ClickingTheNameHeaderReversesTheNameOrder) {
    ASSERT_TRUE(window->OpenDocument(Sample()));
    auto* list = ShowCategory("News");
    QHeaderView* header = list->header();
    const QPoint name(header->sectionViewportPosition(0) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, name);
    EXPECT_EQ(window->Settings().ListSortOrder, 201);
    EXPECT_EQ(window->ListModel().CellText(0, 0), "The Guardian");
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, name);
    EXPECT_EQ(window->Settings().ListSortOrder, 200);
    EXPECT_EQ(window->ListModel().CellText(0, 0), "Ars Technica");
    // Another header does nothing.
    const QPoint url(header->sectionViewportPosition(1) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, url);
    EXPECT_EQ(window->Settings().ListSortOrder, 200);
}

TEST_F(MainWindowTest, PopUpMenusNameTheirVerifyItemsAndRunTheCommands) {
    ASSERT_TRUE(window->OpenDocument(Sample()));
    QAction* listVerify = ItemCalled(window->ListMenu(), "&Verify");
    QAction* treeVerify = ItemCalled(window->TreeMenu(), "&Verify");
    ASSERT_NE(listVerify, nullptr);
    ASSERT_NE(treeVerify, nullptr);
    EXPECT_EQ(ItemCalled(window->ListMenu(), "S&hortcut"), nullptr);
    EXPECT_EQ(ItemCalled(window->TreeMenu(), "&Category"), nullptr);
    QSignalSpy category(window->Action("acVerCat"), &QAction::triggered);
    EXPECT_EQ(treeVerify->isEnabled(), window->Action("acVerCat")->isEnabled());
    // An empty category: the run has nothing to check and ends at once.
    CategoryNode& node = AddEmptyCategory();
    window->SelectNode(&node);
    window->acUpdateCtrls();
    ASSERT_TRUE(treeVerify->isEnabled());
    treeVerify->trigger();
    EXPECT_EQ(category.count(), 1);
    EXPECT_FALSE(listVerify->isEnabled()) << "no shortcut selected";
    QAction* expFolder = ItemCalled(window->TreeMenu(), "Export to &HTML");
    ASSERT_NE(expFolder, nullptr);
    EXPECT_FALSE(expFolder->isVisible());
}

TEST_F(MainWindowTest, CreateBackupStaysDisabledUntilTheNextWrite) {
    ASSERT_TRUE(window->OpenDocument(Sample()));
    ASSERT_TRUE(window->Action("acBackup")->isEnabled());
    window->Action("acBackup")->trigger();
    EXPECT_TRUE(fs::exists(dir / "sample.ly_"));
    EXPECT_FALSE(window->Action("acBackup")->isEnabled());
    window->SelectNode(window->Tree().FindCategoryByName("News", 1));
    window->acUpdateCtrls();
    EXPECT_FALSE(window->Action("acBackup")->isEnabled()) << "an enabling pass does not undo it";
    window->WriteCategory(*window->SelectedNode());
    EXPECT_TRUE(window->Action("acBackup")->isEnabled());
}

TEST_F(MainWindowTest, ACompactionThatFailsAfterADirectCloseIsReported) {
    window.reset();
    registry->WriteInteger("", "FileEditMode", femDirect);
    registry->Sync();
    window = std::make_unique<TfrmMainLynkora>(*registry, env);
    window->InitializeMainWindow("");
    const fs::path folder = dir / "locked";
    fs::create_directories(folder);
    const std::string path = (folder / "direct.lyx").string();
    fs::copy_file(std::string(LYNKORA_BINARY_DIR) + "/samples/sample.lyx", path);
    ASSERT_TRUE(window->OpenDocument(path));
    // The compaction cannot put its new file beside the old one in a read-only folder.
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    window->Action("acClose")->trigger();
    WaitForCompaction(path);
    for (int i = 0; i < 100 && window->LastError().isEmpty(); ++i) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_TRUE(window->LastError().startsWith("cpThreadID $")) << window->LastError().toStdString();
    EXPECT_TRUE(fs::exists(path));
}

TEST(SaveFileDialog, RefusesTheOpenFileBeforeAskingToReplaceIt) {
    test::EnsureQtApp();
    const fs::path folder = test::FreshDir("savedialog");
    const QString open = QString::fromStdString((folder / "open.lyx").string());
    const QString other = QString::fromStdString((folder / "other.lyx").string());
    std::ofstream(open.toStdString()) << "x";
    std::ofstream(other.toStdString()) << "y";
    int refusals = 0;
    // Types a name, as the user does, and presses Save; answers Yes if a question comes.
    auto save = [&](const QString& typed, std::vector<QString>& questions, QString& chosen) {
        SaveFileDialog dialog(nullptr, "Save datafile as", [&](const QString& path) {
            if (path != open)
                return false;
            ++refusals;
            return true;
        });
        dialog.setDirectory(QString::fromStdString(folder.string()));
        dialog.show();
        auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
        if (!name)
            return false;
        ModalWatcher watcher(QMessageBox::Yes);
        name->setText(typed);
        dialog.accept();
        QApplication::processEvents();
        questions = watcher.texts;
        chosen = dialog.ChosenPath();
        return dialog.result() == QDialog::Accepted && !dialog.isVisible();
    };
    std::vector<QString> questions;
    QString chosen;
    EXPECT_FALSE(save("open", questions, chosen)) << "the ending comes from the dialog";
    EXPECT_EQ(refusals, 1);
    EXPECT_TRUE(questions.empty()) << "no question to replace the open file";
    // Another existing file is asked about, and replaced when the user says Yes.
    EXPECT_TRUE(save("other.lyx", questions, chosen));
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(chosen, other);
    EXPECT_EQ(refusals, 1);
}

TEST_F(MainWindowTest, TheDesktopOpenerFailingGivesTheLaunchErrorText) {
    ASSERT_TRUE(window->OpenDocument(Sample()));
    CategoryNode* root = window->Tree().RootNode();
    TIShortcut& s = root->Folder().Shortcuts[0];
    const int visits = s.Count;
    auto* list = window->findChild<QTreeView*>("ListView1");
    const QModelIndex row = list->model()->index(window->ListModel().RowOf(s.ID()), 0);
    list->selectionModel()->select(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString((dir / "no-programs").string()));
    window->Action("acOpenBrowser")->trigger();
    qputenv("PATH", path);
    EXPECT_EQ(window->LastError(), "Lynkora encountered an error while attempting      \n"
                                   "to open the selected Internet Shortcut:\n\n"
                                   "Error 2: No such file or directory");
    EXPECT_EQ(s.Count, visits) << "no visit counted";

    s.URL = "";
    window->Action("acOpenBrowser")->trigger();
    EXPECT_TRUE(window->LastError().endsWith("Error 22: Invalid argument")) << window->LastError().toStdString();
}

TEST_F(MainWindowTest, TheAboutTextsAreTheProgramsOwn) {
    const std::vector<QString> expected = {
        "What did you do that for?", "Exuse me?", "Do you think that's funny?",
        "I'm sure you have something better to do.", "I say, what is it you're trying to do?",
        "Please stop doing that.", "Just how desperate are you?", "Please stop touching me",
        "Could you please stop touching me?",
        "Right! That does it! Touch me again and I'll....I'll....you...\nyou....uhmmm...just stop touching me!!!",
        "For the last time: stop touching me! I don't like to be touched!",
        "Got a good reason for doing this?", "Just what is your major malfunction?",
        "Ok, congratulations. You found the extra special\nhidden easter egg. Feel better now?"};
    EXPECT_EQ(TfrmMainLynkora::AboutTexts(), expected);
}

TEST_F(MainWindowTest, TheColumnHeaderOffersTheColumnsToShow) {
    ASSERT_TRUE(window->OpenDocument(Sample()));
    auto* list = ShowCategory("News");
    list->selectionModel()->select(list->model()->index(2, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const std::vector<std::uint32_t> selected = window->SelectedIds();
    ASSERT_FALSE(window->Settings().Columns[TLVColumns::Status].Visible);
    QStringList offered;
    QTimer::singleShot(50, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* a : menu->actions())
            offered << a->text();
        ItemCalled(menu, "Status")->trigger();
        menu->close();
    });
    QHeaderView* header = list->header();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, header->height() / 2),
                            header->mapToGlobal(QPoint(20, header->height() / 2)));
    QApplication::sendEvent(header->viewport(), &click);
    EXPECT_EQ(offered, QStringList({"URL", "Description", "Added", "Last Visited", "Visits", "Last verified", "Status"}));
    EXPECT_TRUE(window->Settings().Columns[TLVColumns::Status].Visible);
    const int last = window->ListModel().columnCount() - 1;
    EXPECT_EQ(window->ListModel().ColumnCaption(last), "Status");
    EXPECT_EQ(window->SelectedIds(), selected) << "the selection survives the new columns";
    // Stored as the options store them: the next window shows the column too.
    window.reset();
    registry->Sync();
    window = std::make_unique<TfrmMainLynkora>(*registry, env);
    window->InitializeMainWindow("");
    EXPECT_TRUE(window->Settings().Columns[TLVColumns::Status].Visible);
}
