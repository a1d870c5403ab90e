#include "support/QtTestApp.h"
#include "support/TestPaths.h"
#include "WindowFixture.h"

#include "companions/CompanionLibrary.h"
#include "mainwindow/CategoryDialog.h"
#include "mainwindow/CategoryTreeModel.h"
#include "mainwindow/KeywordEditor.h"
#include "mainwindow/ShortcutDialog.h"
#include "mainwindow/MainWindow.h"
#include "platform/StoredText.h"
#include "settings/SettingsEnvironment.h"
#include "store/Compaction.h"
#include "store/DataFileStorage.h"
#include "store/FileReplace.h"
#include "store/TextTools.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QStatusTipEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QDesktopServices>
#include <QTimer>
#include <QUrl>
#include <QDropEvent>
#include <QTabWidget>
#include <QLabel>
#include <QPushButton>
#include <QMimeData>
#include <QMessageBox>
#include <QHeaderView>
#include <QSplitter>
#include <QTreeView>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace lynkora;
using lynkora::test::MainWindowTest;
namespace fs = std::filesystem;


TEST_F(MainWindowTest, NoFileThenTheSampleCollection) {
    EXPECT_EQ(window->StatusText(), "Lynkora 4.0");
    window->show();
    window->resize(900, 560);
    QApplication::processEvents();
    const std::string shots = std::string(LYNKORA_BINARY_DIR) + "/";
    window->grab().save(QString::fromStdString(shots + "main-window-empty.png"));
    EXPECT_FALSE(window->Action("acClose")->isEnabled());
    EXPECT_FALSE(window->Action("acSave")->isEnabled());
    EXPECT_EQ(window->Action("acOpen")->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(window->Action("acNewFile")->statusTip(), "Create a new Lynkora datafile");

    ASSERT_TRUE(window->OpenDocument(Sample()));
    EXPECT_EQ(window->StatusText(), "37 internet shortcuts; 11 categories");
    EXPECT_EQ(window->HeaderCaption(), "My Internet Shortcuts");
    EXPECT_EQ(window->HeaderRecord(), "3 shortcuts");
    EXPECT_TRUE(window->Action("acClose")->isEnabled());
    EXPECT_FALSE(window->Action("acSave")->isEnabled());

    // An empty category says "0 shortcuts"; a nested one shows its path.
    CategoryNode* science = window->Tree().FindCategoryByName("Science", 2);
    ASSERT_NE(science, nullptr);
    window->SelectNode(science);
    EXPECT_EQ(window->HeaderCaption(), "My Internet Shortcuts\\News\\Science");
    EXPECT_EQ(window->HeaderRecord(), "4 shortcuts");
    AddEmptyCategory();
    EXPECT_TRUE(window->Action("acSave")->isEnabled()) << "a change enables Save";

    window->show();
    window->resize(900, 560);
    window->SelectNode(window->Tree().FindCategoryByName("Development", 1));
    QApplication::processEvents();
    window->grab().save(QString::fromStdString(shots + "main-window.png"));
    window->Action("acViewLarge")->trigger();
    window->SelectNode(window->Tree().FindCategoryByName("News", 1));
    QApplication::processEvents();
    window->grab().save(QString::fromStdString(shots + "main-window-large.png"));
    EXPECT_EQ(window->Settings().ListViewStyle, lvsLarge);
}

TEST_F(MainWindowTest, SavePromptAnswers) {
    const std::string path = Sample();
    const std::string before = ReadFileBytes(path);
    ASSERT_TRUE(window->OpenDocument(path));
    CategoryNode& root = *window->Tree().RootNode();
    root.Folder().Descr = "changed";
    window->WriteCategory(root);
    window->SavePrompt = [] { return int(QMessageBox::Cancel); };
    EXPECT_FALSE(window->CloseFile());
    EXPECT_NE(window->DataFile(), nullptr) << "Cancel keeps the file open";
    window->SavePrompt = [] { return int(QMessageBox::No); };
    EXPECT_TRUE(window->CloseFile());
    EXPECT_EQ(ReadFileBytes(path), before) << "No leaves the file as it was saved";

    ASSERT_TRUE(window->OpenDocument(path));
    window->Tree().RootNode()->Folder().Descr = "kept";
    window->WriteCategory(*window->Tree().RootNode());
    window->SavePrompt = [] { return int(QMessageBox::Yes); };
    EXPECT_TRUE(window->CloseFile());
    ASSERT_TRUE(window->OpenDocument(path));
    EXPECT_EQ(window->Tree().RootNode()->Folder().Descr, "kept");
}

TEST_F(MainWindowTest, ALargeCollectionOpensWhileTheWindowGoesOnAnswering) {
    const std::string big = Sample("big.lyx"), second = Sample("second.lyx");
    ASSERT_TRUE(window->OpenDocument(big));
    CategoryNode& root = *window->Tree().RootNode();
    for (int i = 0; i < 40000; ++i) {
        TIShortcut& s = root.Folder().Shortcuts.Add();
        s.Name = "shortcut " + std::to_string(i);
        s.URL = "https://example.org/" + std::to_string(i);
    }
    window->WriteCategory(root);
    window->DataFile()->Save();
    ASSERT_TRUE(window->CloseFile());
    window->show();

    // While the file is read, timers run: a file handed over then waits for the open to end,
    // and the window refuses to close under it.
    int ticks = 0;
    bool closed = true;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++ticks == 1) {
            window->HandleCommandLine(QString::fromStdString(second));
            closed = window->close();
        }
    });
    timer.start();
    ASSERT_TRUE(window->OpenDocument(big));
    timer.stop();
    EXPECT_GT(ticks, 0) << "the window handled its events during the open";
    EXPECT_FALSE(closed);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->DataFile()->FileName(), big);
    EXPECT_EQ(window->StatusText(), "40037 internet shortcuts; 11 categories");
    EXPECT_EQ(window->Tree().RootNode()->Folder().Shortcuts.Count(), 40003u);

    QApplication::processEvents(); // the file handed over is opened now
    ASSERT_NE(window->DataFile(), nullptr);
    EXPECT_EQ(window->DataFile()->FileName(), second);
    EXPECT_EQ(window->StatusText(), "37 internet shortcuts; 11 categories");

    // A file that does not read is reported as before, with nothing left open.
    const std::string broken = (dir / "broken.lyx").string();
    std::ofstream(broken) << "not a data file";
    ASSERT_TRUE(window->CloseFile());
    EXPECT_ANY_THROW(window->OpenDocument(broken));
    EXPECT_EQ(window->DataFile(), nullptr);
    EXPECT_EQ(window->Tree().RootNode(), nullptr);
}

TEST_F(MainWindowTest, SaveAsRefusesTheOpenFile) {
    const std::string path = Sample();
    ASSERT_TRUE(window->OpenDocument(path));
    window->ChooseSaveFile = [&](const QString&) { return QString::fromStdString(path); };
    window->Action("acSaveAs")->trigger();
    EXPECT_EQ(window->DataFile()->FileName(), path) << "refused: still the same file";
    const std::string other = (dir / "other.lyx").string();
    window->ChooseSaveFile = [&](const QString&) { return QString::fromStdString(other); };
    window->Action("acSaveAs")->trigger();
    ASSERT_NE(window->DataFile(), nullptr);
    EXPECT_EQ(window->DataFile()->FileName(), other);
    EXPECT_EQ(window->Settings().History.front(), other);
}

TEST_F(MainWindowTest, ReopenHistory) {
    window->Settings().MaxHistory = 4;
    std::vector<std::string> files;
    for (int i = 0; i < 5; ++i) {
        files.push_back(Sample("f" + std::to_string(i) + ".lyx"));
        ASSERT_TRUE(window->OpenDocument(files.back()));
        window->AddToHistory(files.back());
    }
    auto& h = window->Settings().History;
    ASSERT_EQ(h.size(), 4u) << "the oldest entry drops out";
    EXPECT_EQ(h.front(), files[4]);
    window->AddToHistory(files[2]);
    EXPECT_EQ(h.front(), files[2]);
    EXPECT_EQ(h.size(), 4u) << "no duplicate";
    ASSERT_EQ(window->HistoryMenu()->actions().size(), 4);
    EXPECT_TRUE(window->HistoryMenu()->actions()[0]->text().startsWith("&1 "));
    // files[4] is open: its item (the second now) is the checked one.
    EXPECT_FALSE(window->HistoryMenu()->actions()[0]->isChecked());
    EXPECT_TRUE(window->HistoryMenu()->actions()[1]->isChecked());
    window->show();
    window->HistoryMenu()->popup(window->mapToGlobal(QPoint(40, 40)));
    QApplication::processEvents();
    window->HistoryMenu()->grab().save(QString::fromStdString(std::string(LYNKORA_BINARY_DIR) + "/reopen-menu.png"));
    window->HistoryMenu()->hide();
    fs::remove(files[3]);
    window->RebuildHistoryMenus();
    EXPECT_EQ(h.size(), 3u) << "a deleted file leaves the history";
}

TEST_F(MainWindowTest, CommandEnabling) {
    for (const char* name : {"acClose", "acSaveAs", "acVerFile", "acFind", "acNewFolder", "CopyURL1", "acBackup"})
        EXPECT_FALSE(window->Action(name)->isEnabled()) << name << " without a file";
    EXPECT_TRUE(window->Action("acNewFile")->isEnabled());
    EXPECT_TRUE(window->Action("acOpen")->isEnabled());
    ASSERT_TRUE(window->OpenDocument(Sample()));
    for (const char* name : {"acClose", "acSaveAs", "acVerFile", "acVerError", "acFind", "acNewFolder", "acNewShort"})
        EXPECT_TRUE(window->Action(name)->isEnabled()) << name << " with a file";
    EXPECT_FALSE(window->Action("acExportFolder")->isEnabled()) << "the root is selected";
    EXPECT_FALSE(window->Action("CopyURL1")->isEnabled()) << "no list selection";
    EXPECT_FALSE(window->Action("acVerSkip")->isEnabled());
    window->SelectNode(window->Tree().FindCategoryByName("News", 1));
    EXPECT_TRUE(window->Action("acExportFolder")->isEnabled());
    EXPECT_TRUE(window->Action("acClose")->isEnabled());
}

TEST_F(MainWindowTest, ArrangeMenusAndSelectionTexts) {
    ASSERT_TRUE(window->OpenDocument(Sample()));
    // ListSortOrder 0: by name, ascending, both checked.
    auto arrange = window->ListMenu()->actions()[4]->menu();  // Open, Open in, -, View, Arrange
    ASSERT_NE(arrange, nullptr);
    EXPECT_TRUE(arrange->actions()[0]->isChecked());
    EXPECT_TRUE(arrange->actions()[4]->isChecked());
    arrange->actions()[1]->trigger(); // by URL
    EXPECT_EQ(window->Settings().ListSortOrder, 202);
    arrange->actions()[5]->trigger(); // descending
    EXPECT_EQ(window->Settings().ListSortOrder, 203);
    // The Name header twice: by name, then back to ascending.
    window->TreeView(); // the list is the details view
    auto* header = window->findChild<QTreeView*>("ListView1")->header();
    emit header->sectionClicked(0);
    const int first = window->Settings().ListSortOrder;
    emit header->sectionClicked(0);
    EXPECT_NE(window->Settings().ListSortOrder, first);
    emit header->sectionClicked(0);
    EXPECT_EQ(window->Settings().ListSortOrder, first);

    // Selection texts of the header.
    window->SelectNode(window->Tree().FindCategoryByName("News", 1));
    auto* list = window->findChild<QTreeView*>("ListView1");
    list->selectAll();
    EXPECT_EQ(window->HeaderRecord(), "5 items selected");
    list->clearSelection();
    EXPECT_EQ(window->HeaderRecord(), "5 shortcuts");
    list->selectionModel()->select(list->model()->index(0, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_TRUE(window->HeaderRecord().startsWith("https://")) << window->HeaderRecord().toStdString();
    EXPECT_TRUE(window->Action("CopyURL1")->isEnabled());
    EXPECT_EQ(TfrmMainLynkora::AboutTexts().size(), 14u);
}

TEST_F(MainWindowTest, CommandLinesHistoryAndVersions) {
    const std::string first = Sample("first.lyx");
    // "/m" with an empty history opens nothing.
    window->Settings().StartOpenLast = true;
    window->HandleCommandLine("/m");
    EXPECT_EQ(window->DataFile(), nullptr);
    window->AddToHistory(first);
    window->HandleCommandLine("/M");
    ASSERT_NE(window->DataFile(), nullptr);
    EXPECT_EQ(window->DataFile()->FileName(), first);
    EXPECT_TRUE(window->HistoryMenu()->actions()[0]->isChecked());
    // Choosing the checked item does nothing.
    TDataFile* open = window->DataFile();
    window->HistoryMenu()->actions()[0]->trigger();
    EXPECT_EQ(window->DataFile(), open);

    // A newer file is refused and leaves no file open; an older one is stamped.
    const std::string newer = (dir / "newer.lyx").string();
    {
        TDataFile f(newer, true);
        WriteAppVersion(f.WorkStorage(), "4.1.0.7");
    }
    window->HandleCommandLine(QString::fromStdString("\"" + newer + "\""));
    EXPECT_EQ(window->DataFile(), nullptr);
    const std::string older = (dir / "older.lyx").string();
    {
        TDataFile f(older, true);
        WriteAppVersion(f.WorkStorage(), "3.5.0.0");
    }
    ASSERT_TRUE(window->OpenDocument(older));
    EXPECT_EQ(ReadAppVersion(window->DataFile()->WorkStorage()), "4.0.2.312");
}

TEST_F(MainWindowTest, NoAtThePromptKeepsOnlyTheUsageData) {
    const std::string path = Sample();
    ASSERT_TRUE(window->OpenDocument(path));
    CategoryNode& root = *window->Tree().RootNode();
    TIShortcut& s = root.Folder().Shortcuts[0];
    const std::string name = s.Name;
    s.Count = 1234;
    window->WriteBackUsage(root);
    root.Folder().Descr = "unsaved edit";
    window->WriteCategory(root);
    window->SavePrompt = [] { return int(QMessageBox::No); };
    ASSERT_TRUE(window->CloseFile());
    auto file = OpenDataFile(path, false);
    CategoryTree tree;
    LoadCategoryTree(file, tree);
    EXPECT_NE(tree.RootNode()->Folder().Descr, "unsaved edit");
    bool found = false;
    for (const auto& sc : tree.RootNode()->Folder().Shortcuts)
        if (sc->Name == name)
            found = sc->Count == 1234;
    EXPECT_TRUE(found) << "visits reach the file without a save";
}

TEST_F(MainWindowTest, DirectModeHasNoSaveAndNoPrompt) {
    window.reset();
    registry->WriteInteger("", "FileEditMode", femDirect);
    registry->Sync();
    window = std::make_unique<TfrmMainLynkora>(*registry, env);
    window->InitializeMainWindow("");
    EXPECT_FALSE(window->Action("acSave")->isVisible());
    const std::string path = Sample();
    ASSERT_TRUE(window->OpenDocument(path));
    window->Tree().RootNode()->Folder().Descr = "at once";
    window->WriteCategory(*window->Tree().RootNode());
    bool asked = false;
    window->SavePrompt = [&] {
        asked = true;
        return int(QMessageBox::Cancel);
    };
    ASSERT_TRUE(window->CloseFile());
    EXPECT_FALSE(asked);
    WaitForCompaction(path);
    auto file = OpenDataFile(path, false);
    CategoryTree tree;
    LoadCategoryTree(file, tree);
    EXPECT_EQ(tree.RootNode()->Folder().Descr, "at once");
}

TEST_F(MainWindowTest, SummariesHintsAndTreeOrders) {
    // A new file with one shortcut in the root: both counts singular.
    const std::string path = (dir / "one.lyx").string();
    ASSERT_TRUE(window->OpenDocument(path));
    TIShortcut& s = window->Tree().RootNode()->Folder().Shortcuts.Add();
    s.Name = "only";
    window->WriteCategory(*window->Tree().RootNode());
    EXPECT_EQ(window->StatusText(), "1 internet shortcut; 1 category");
    CategoryNode& node = AddEmptyCategory();
    window->SelectNode(&node);
    EXPECT_EQ(window->HeaderRecord(), "0 shortcuts");
    window->SelectNode(window->Tree().RootNode());
    EXPECT_EQ(window->HeaderRecord(), "1 shortcut");

    // A command's hint shows in panel 0 with the hint icon; an empty one brings the summary back.
    QStatusTipEvent hint("Open an existing Lynkora datafile");
    QApplication::sendEvent(window.get(), &hint);
    EXPECT_EQ(window->StatusText(), "Open an existing Lynkora datafile");
    EXPECT_TRUE(window->StatusIconShown());
    QStatusTipEvent none("");
    QApplication::sendEvent(window.get(), &none);
    EXPECT_EQ(window->StatusText(), "1 internet shortcut; 2 categories");
    EXPECT_FALSE(window->StatusIconShown());

    // Tree orders 100-103 with their check marks; an unknown value shows the defaults.
    auto arrange = window->TreeMenu()->actions()[0]->menu();
    ASSERT_NE(arrange, nullptr);
    EXPECT_TRUE(arrange->actions()[0]->isChecked());
    EXPECT_TRUE(arrange->actions()[3]->isChecked());
    arrange->actions()[1]->trigger(); // by access
    EXPECT_EQ(window->Settings().TreeSortOrder, 102);
    arrange->actions()[4]->trigger(); // descending
    EXPECT_EQ(window->Settings().TreeSortOrder, 103);
}

TEST_F(MainWindowTest, WindowAndTreeSizesComeBackAfterARestart) {
    window->show();
    window->resize(820, 540);
    auto* split = window->findChild<QSplitter*>();
    ASSERT_NE(split, nullptr);
    split->setSizes({230, 590});
    QApplication::processEvents();
    const int tree = split->sizes().at(0);
    ASSERT_TRUE(window->close());
    window.reset();
    registry->Sync();

    window = std::make_unique<TfrmMainLynkora>(*registry, env);
    window->InitializeMainWindow("");
    window->show();
    QApplication::processEvents();
    EXPECT_EQ(window->size(), QSize(820, 540));
    EXPECT_EQ(window->findChild<QSplitter*>()->sizes().at(0), tree);
}

TEST_F(MainWindowTest, OpenInAConfiguredBrowserCountsTheVisit) {
    const fs::path out = dir / "opened.txt";
    const fs::path script = dir / "surfer";
    std::ofstream(script) << "#!/bin/sh\necho \"$@\" > \"" << out.string() << ".part\"\nmv \"" << out.string()
                          << ".part\" \"" << out.string() << "\"\n";
    fs::permissions(script, fs::perms::owner_all);
    TBrowsers& browsers = window->Settings().BrowserList.Browsers;
    ASSERT_GE(browsers.Count(), 1u);
    ASSERT_TRUE(browsers.Items(0).IsDefault);
    TBrowser& surfer = browsers.Add();
    surfer.Name = "Surfer";
    surfer.Path = script.string();
    surfer.Command = "--tab=%s";
    window->BuildBrowserMenu();
    ASSERT_EQ(window->BrowserMenu()->actions().size(), 1) << "the default entry is not offered";
    EXPECT_EQ(window->BrowserMenu()->actions()[0]->text(), "Surfer");
    EXPECT_FALSE(window->BrowserMenu()->menuAction()->isVisible()) << "no shortcut selected";

    const std::string path = Sample();
    ASSERT_TRUE(window->OpenDocument(path));
    CategoryNode& root = *window->Tree().RootNode();
    window->SelectNode(&root);
    auto* list = window->findChild<QTreeView*>("ListView1");
    list->selectionModel()->select(list->model()->index(0, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_TRUE(window->BrowserMenu()->menuAction()->isVisible());
    // With the Open button on the tool bar, it drops down the browsers.
    window->ToolBar()->addAction(window->Action("acOpenBrowser"));
    window->acUpdateCtrls();
    auto* openButton = qobject_cast<QToolButton*>(window->ToolBar()->widgetForAction(window->Action("acOpenBrowser")));
    ASSERT_NE(openButton, nullptr);
    ASSERT_NE(openButton->menu(), nullptr);
    EXPECT_EQ(openButton->menu()->actions().size(), 1);
    EXPECT_EQ(openButton->popupMode(), QToolButton::MenuButtonPopup);
    TIShortcut* opened = nullptr;
    for (auto& s : root.Folder().Shortcuts)
        if (window->HeaderRecord().toStdString() == DecodeStoredText(s->URL).toStdString())
            opened = s.get();
    ASSERT_NE(opened, nullptr);
    const int visits = opened->Count;
    const int access = root.Folder().AccessCount;
    window->BrowserMenu()->actions()[0]->trigger();
    for (int i = 0; i < 500 && !fs::exists(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(out);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "--tab=" + window->HeaderRecord().toStdString());
    EXPECT_EQ(opened->Count, visits + 1);
    EXPECT_EQ(root.Folder().AccessCount, access + 1);
    EXPECT_FALSE(window->DataFile()->Modified());

    // A browser that cannot start: the launch error, nothing counted.
    surfer.Path = (dir / "gone").string();
    window->BuildBrowserMenu();
    window->BrowserMenu()->actions()[0]->trigger();
    EXPECT_EQ(opened->Count, visits + 1);
    EXPECT_TRUE(window->LastError().endsWith("Error 2: No such file or directory")) << window->LastError().toStdString();
}

TEST_F(MainWindowTest, DeletingAndExcluding) {
    const std::string path = Sample();
    ASSERT_TRUE(window->OpenDocument(path));
    std::vector<QString> questions;
    bool answer = false;
    window->AskYesNo = [&](const QString& text) {
        questions.push_back(text);
        return answer;
    };
    CategoryNode* root = window->Tree().RootNode();
    CategoryNode* news = window->Tree().FindCategoryByName("News", 1);
    ASSERT_NE(news, nullptr);
    ASSERT_GT(news->ChildCount(), 0u);
    CategoryNode* science = &news->Child(0);

    // Three shortcuts: one question in the plural; No keeps them, Yes removes them.
    window->SelectNode(root);
    auto* list = window->findChild<QTreeView*>("ListView1");
    list->selectAll();
    ASSERT_EQ(root->Folder().Shortcuts.Count(), 3u);
    window->Action("acDelete")->trigger();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], "The selected shortcuts will be removed.\nDo you want to continue?");
    EXPECT_EQ(root->Folder().Shortcuts.Count(), 3u);
    answer = true;
    window->Action("acDelete")->trigger();
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(root->Folder().Shortcuts.Count(), 0u);
    EXPECT_EQ(window->HeaderRecord(), "0 shortcuts");
    EXPECT_TRUE(window->DataFile()->Modified());

    // Exclusion: the root alone, a branch as a whole, and back.
    window->SelectNode(root);
    window->Action("acExclude")->trigger();
    EXPECT_EQ(root->Image(), NodeImage::Excluded);
    EXPECT_EQ(news->Image(), NodeImage::Normal);
    window->Action("acExclude")->trigger();
    EXPECT_EQ(root->Image(), NodeImage::Normal);
    window->SelectNode(news);
    window->Action("acExclude")->trigger();
    EXPECT_EQ(news->Image(), NodeImage::Excluded);
    EXPECT_EQ(science->Image(), NodeImage::Excluded);
    window->Action("acExclude")->trigger();
    EXPECT_EQ(science->Image(), NodeImage::Normal);

    // A category with its sub-category leaves the tree and, once saved, the file.
    window->Action("acDelete")->trigger();
    ASSERT_EQ(questions.size(), 3u);
    EXPECT_EQ(questions[2], "The category \"News\" will be removed.\nDo you want to continue?");
    EXPECT_EQ(window->Tree().FindCategoryByName("News", 1), nullptr);
    EXPECT_EQ(window->SelectedNode(), root);
    window->Action("acSave")->trigger(); // waits for the deletion
    ASSERT_TRUE(window->CloseFile());
    auto file = OpenDataFile(path, false);
    CategoryTree tree;
    LoadCategoryTree(file, tree);
    EXPECT_EQ(tree.FindCategoryByName("News", 1), nullptr);
    EXPECT_EQ(tree.FindCategoryByName("Science", 2), nullptr);
    EXPECT_EQ(tree.RootNode()->Folder().Shortcuts.Count(), 0u);
    EXPECT_NE(tree.FindCategoryByName("Cooking", 1), nullptr);
}

TEST_F(MainWindowTest, RenamingInPlace) {
    ASSERT_TRUE(window->OpenDocument(Sample()));
    auto* treeView = window->TreeView();
    auto* treeModel = treeView->model();
    CategoryNode* news = window->Tree().FindCategoryByName("News", 1);
    ASSERT_NE(news, nullptr);
    window->SelectNode(news);
    const QModelIndex newsIndex = treeView->currentIndex();
    EXPECT_FALSE(treeModel->flags(treeModel->index(0, 0)).testFlag(Qt::ItemIsEditable)) << "the root";
    EXPECT_TRUE(treeModel->flags(newsIndex).testFlag(Qt::ItemIsEditable));

    treeModel->setData(newsIndex, "COOKING");
    EXPECT_EQ(news->Text(), "News");
    EXPECT_EQ(window->LastError(),
              "Cannot rename \"News\" to \"COOKING\":\n\nA category with the name you specified already exists.");
    treeModel->setData(newsIndex, "NEWS");
    EXPECT_EQ(news->Text(), "NEWS") << "a change of case";
    treeModel->setData(newsIndex, "");
    EXPECT_EQ(news->Text(), "NEWS");
    treeModel->setData(newsIndex, "Headlines");
    EXPECT_EQ(news->Text(), "Headlines");
    EXPECT_TRUE(window->DataFile()->Modified());

    window->SelectNode(window->Tree().RootNode());
    auto* list = window->findChild<QTreeView*>("ListView1");
    auto* listModel = list->model();
    auto rowOf = [&](const QString& name) {
        for (int r = 0; r < listModel->rowCount(); ++r)
            if (listModel->index(r, 0).data().toString() == name)
                return r;
        return -1;
    };
    ASSERT_GE(rowOf("Debian"), 0);
    const QString before = window->LastError();
    listModel->setData(listModel->index(rowOf("Debian"), 0), "");
    EXPECT_EQ(window->LastError(), before) << "an empty name is dropped silently";
    listModel->setData(listModel->index(rowOf("Debian"), 0), "wikipedia");
    EXPECT_TRUE(window->LastError().endsWith("A shortcut with the name you specified already exists."));
    EXPECT_GE(rowOf("Debian"), 0);
    listModel->setData(listModel->index(rowOf("Debian"), 0), "Zebra");
    EXPECT_EQ(rowOf("Debian"), -1);
    EXPECT_EQ(rowOf("Zebra"), listModel->rowCount() - 1) << "sorted again";
}

TEST_F(MainWindowTest, MovingByDragAndDrop) {
    const std::string path = Sample();
    ASSERT_TRUE(window->OpenDocument(path));
    CategoryTree& tree = window->Tree();
    CategoryNode* root = tree.RootNode();
    CategoryNode* news = tree.FindCategoryByName("News", 1);
    CategoryNode* travel = tree.FindCategoryByName("Travel", 1);
    ASSERT_TRUE(news && travel && news->ChildCount() > 0);
    const std::string sub = news->Child(0).Text();
    auto* model = static_cast<CategoryTreeModel*>(window->TreeView()->model());
    auto drag = [&](CategoryNode* node) {
        return std::unique_ptr<QMimeData>(model->mimeData({model->IndexOf(node)}));
    };
    auto indexOf = [&](CategoryNode* node) { return model->IndexOf(node); };

    EXPECT_EQ(model->mimeData({model->index(0, 0)}), nullptr) << "the root cannot be dragged";
    // Between two items there is no target.
    EXPECT_FALSE(model->canDropMimeData(drag(news).get(), Qt::MoveAction, 0, 0, indexOf(travel)));
    // News with its sub-category under Travel; then, after a save, in the file too.
    model->dropMimeData(drag(news).get(), Qt::MoveAction, -1, -1, indexOf(travel));
    EXPECT_EQ(news->Parent(), travel);
    // Back up onto the empty space below the tree: directly under the root.
    model->dropMimeData(drag(news).get(), Qt::MoveAction, -1, -1, QModelIndex());
    EXPECT_EQ(news->Parent(), root);
    EXPECT_EQ(&root->Child(root->ChildCount() - 1), news);
    model->dropMimeData(drag(news).get(), Qt::MoveAction, -1, -1, indexOf(travel));
    ASSERT_EQ(news->Parent(), travel);
    // Onto its own sub-category: ignored.
    model->dropMimeData(drag(news).get(), Qt::MoveAction, -1, -1, indexOf(&news->Child(0)));
    EXPECT_EQ(news->Parent(), travel);

    // Two shortcuts of the root onto Travel; not onto the category they come from.
    for (auto& s : root->Folder().Shortcuts) {
        s->Keywords.Add("kept");
        s->verResponse = "200 OK";
        s->IgnoreDup = true;
    }
    window->SelectNode(root);
    auto* list = window->findChild<QTreeView*>("ListView1");
    list->selectAll();
    list->selectionModel()->select(list->model()->index(0, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    std::unique_ptr<QMimeData> shortcuts(list->model()->mimeData(list->selectionModel()->selectedIndexes()));
    EXPECT_FALSE(model->canDropMimeData(shortcuts.get(), Qt::MoveAction, -1, -1, indexOf(root)));
    const std::size_t before = travel->Folder().Shortcuts.Count();
    model->dropMimeData(shortcuts.get(), Qt::MoveAction, -1, -1, indexOf(travel));
    EXPECT_EQ(travel->Folder().Shortcuts.Count(), before + 2);
    EXPECT_EQ(root->Folder().Shortcuts.Count(), 1u);
    EXPECT_TRUE(window->DataFile()->Modified());

    window->Action("acSave")->trigger();
    ASSERT_TRUE(window->CloseFile());
    auto file = OpenDataFile(path, false);
    CategoryTree reread;
    LoadCategoryTree(file, reread);
    CategoryNode* movedNews = reread.FindCategoryByName("News", 2);
    ASSERT_NE(movedNews, nullptr);
    EXPECT_EQ(movedNews->Parent()->Text(), "Travel");
    ASSERT_GT(movedNews->ChildCount(), 0u);
    EXPECT_EQ(movedNews->Child(0).Text(), sub) << "the sub-category came along";
    EXPECT_EQ(reread.FindCategoryByName("News", 1), nullptr);
    EXPECT_EQ(reread.FindCategoryByName("Travel", 1)->Folder().Shortcuts.Count(), before + 2);
    EXPECT_EQ(reread.RootNode()->Folder().Shortcuts.Count(), 1u);
    for (const auto& s : reread.FindCategoryByName("Travel", 1)->Folder().Shortcuts)
        if (s->verResponse == "200 OK") {
            EXPECT_GE(s->Keywords.IndexOf("kept"), 0);
            EXPECT_TRUE(s->IgnoreDup);
        }
}

TEST_F(MainWindowTest, CategoryDialogRules) {
    ASSERT_TRUE(window->OpenDocument(Sample()));
    CategoryNode* root = window->Tree().RootNode();
    CategoryNode* cooking = window->Tree().FindCategoryByName("Cooking", 1);
    ASSERT_TRUE(cooking && cooking->ChildCount() > 0);
    const std::string ownChild = cooking->Child(0).Text();

    // The dialog as a user drives it: a name typed, OK pressed; what happened is reported.
    QString typed;
    bool accepted = false;
    QString title;
    std::function<void(TfrmCat&)> extra;
    window->RunDialog = [&](QDialog& d) {
        auto& dialog = static_cast<TfrmCat&>(d);
        title = dialog.windowTitle();
        if (!typed.isNull())
            dialog.edName->setText(typed);
        if (extra)
            extra(dialog);
        dialog.BtnOK->click();
        accepted = dialog.result() == QDialog::Accepted;
        return accepted;
    };
    window->SelectNode(root);
    const std::size_t children = root->ChildCount();
    window->Action("acNewFolder")->trigger();
    window->Action("acNewFolder")->trigger();
    EXPECT_EQ(title, "New category");
    ASSERT_EQ(root->ChildCount(), children + 2) << "the initial name is never checked";
    EXPECT_EQ(root->Child(children + 1).Text(), "New Category");
    EXPECT_FALSE(root->Child(children).Folder().FolderID.empty());
    EXPECT_NE(root->Child(children).Folder().FolderID, root->Child(children + 1).Folder().FolderID);

    typed = "COOKING";
    window->Action("acNewFolder")->trigger();
    EXPECT_FALSE(accepted);
    EXPECT_EQ(root->ChildCount(), children + 2);
    EXPECT_EQ(window->LastError(),
              "Cannot create category \"COOKING\":\n\nA category with the name you specified already exists.");

    // Properties: a sibling's name is refused, its own sub-category's name is fine.
    window->SelectNode(cooking);
    typed = "music";
    window->Action("acProp")->trigger();
    EXPECT_EQ(title, "Category properties");
    EXPECT_FALSE(accepted);
    EXPECT_EQ(window->LastError(),
              "Cannot rename \"Cooking\" to \"music\":\n\nA category with the name you specified already exists.");
    typed = QString::fromStdString(ownChild);
    extra = [](TfrmCat& d) {
        d.edDescr->setText("Recipes");
        d.Keywords->KeyEdit()->setText("food");
        EXPECT_TRUE(d.Keywords->AddButton()->isEnabled());
        EXPECT_TRUE(d.Keywords->AddButton()->isDefault()) << "Enter adds while a keyword is typed";
        EXPECT_FALSE(d.BtnOK->isDefault());
        d.Keywords->AddButton()->click();
        EXPECT_TRUE(d.Keywords->KeyEdit()->text().isEmpty());
        EXPECT_TRUE(d.BtnOK->isDefault());
        d.Keywords->KeyEdit()->setText("dinner");
        d.Keywords->AddButton()->click();
        d.Keywords->KeyEdit()->setText("zzz");
        d.Keywords->AddButton()->click();
        EXPECT_FALSE(d.Keywords->RemoveButton()->isEnabled());
        d.Keywords->List()->item(2)->setSelected(true);
        EXPECT_TRUE(d.Keywords->RemoveButton()->isEnabled());
        d.Keywords->RemoveButton()->click();
        EXPECT_FALSE(d.Keywords->RemoveButton()->isEnabled());
        EXPECT_EQ(d.Keywords->Keywords(), (std::vector<std::string>{"food", "dinner"}));
    };
    window->Action("acProp")->trigger();
    EXPECT_TRUE(accepted);
    EXPECT_EQ(cooking->Text(), ownChild);
    EXPECT_EQ(cooking->Folder().Descr, "Recipes");
    EXPECT_EQ(cooking->Folder().Keywords.Items(), (std::vector<std::string>{"dinner", "food"})) << "sorted";

    // An empty name beeps and keeps the dialog open.
    int beeps = 0;
    typed = "";
    extra = [&](TfrmCat& d) { d.Beep = [&] { ++beeps; }; };
    window->Action("acProp")->trigger();
    EXPECT_FALSE(accepted);
    EXPECT_EQ(beeps, 1);
}

TEST_F(MainWindowTest, ShortcutDialogNewPropertiesAndDroppedLinks) {
    ASSERT_TRUE(window->OpenDocument(Sample()));
    CategoryNode* root = window->Tree().RootNode();
    CategoryNode* travel = window->Tree().FindCategoryByName("Travel", 1);
    ASSERT_NE(travel, nullptr);
    window->SelectNode(root);

    std::function<void(TfrmShort&)> fill;
    bool accepted = false;
    QString title, name, url, visits, visited, added;
    window->RunDialog = [&](QDialog& d) {
        auto& dialog = static_cast<TfrmShort&>(d);
        title = dialog.windowTitle();
        name = dialog.edName->text();
        url = dialog.edURL->text();
        visits = dialog.lbNumVisit->text();
        visited = dialog.lbVisit->text();
        added = dialog.lbAdded->text();
        if (fill)
            fill(dialog);
        dialog.BtnOK->click();
        accepted = dialog.result() == QDialog::Accepted;
        return accepted;
    };

    // From the menu: empty initial name, so even a name in the list is taken.
    int beeps = 0;
    fill = [&](TfrmShort& d) {
        d.Beep = [&] { ++beeps; };
        d.edName->setText("DEBIAN");
        d.BtnOK->click(); // no URL yet
        EXPECT_EQ(beeps, 1);
        EXPECT_EQ(d.PageControl1->currentIndex(), 0);
        d.edURL->setText("https://www.debian.org/News/");
    };
    window->Action("acNewShort")->trigger();
    EXPECT_EQ(title, "New Internet shortcut");
    EXPECT_EQ(added, ": N/A");
    EXPECT_EQ(visits, ": N/A");
    EXPECT_TRUE(accepted);
    ASSERT_EQ(root->Folder().Shortcuts.Count(), 4u);
    const TIShortcut& made = root->Folder().Shortcuts[3];
    EXPECT_EQ(made.Name, "DEBIAN");
    EXPECT_GT(made.Added, 0.0);
    EXPECT_EQ(window->findChild<QTreeView*>("ListView1")->model()->rowCount(), 4) << "the list shows it";

    // A link dragged in from a browser opens the dialog with its title and address.
    fill = [&](TfrmShort& d) { d.edName->setText("wikipedia"); };
    QMimeData link;
    const QString dropped = "https://example.org/travel\nExample Travel";
    link.setData("text/x-moz-url", QByteArray(reinterpret_cast<const char*>(dropped.utf16()), dropped.size() * 2));
    auto* viewport = window->findChild<QTreeView*>("ListView1")->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::LinkAction, &link, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::LinkAction, &link, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    QApplication::processEvents();
    EXPECT_EQ(name, "Example Travel");
    EXPECT_EQ(url, "https://example.org/travel");
    EXPECT_FALSE(accepted) << "renamed to a name in the list";
    EXPECT_EQ(window->LastError(),
              "Cannot create shortcut \"wikipedia\":\n\nA shortcut with the name you specified already exists.");

    // Properties: the details, and a new category moves the shortcut.
    auto* list = window->findChild<QTreeView*>("ListView1");
    list->clearSelection();
    list->selectionModel()->select(list->model()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const std::size_t travelBefore = travel->Folder().Shortcuts.Count();
    fill = [&](TfrmShort& d) {
        d.SelectCategory(travel);
        EXPECT_EQ(d.lbSelection->text(), "My Internet Shortcuts\\Travel");
    };
    window->SelectNode(root); // neither view focused, the root selected: the shortcut's properties
    list->selectionModel()->select(list->model()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    window->Action("acProp")->trigger();
    EXPECT_EQ(title, "Internet shortcut properties");
    EXPECT_TRUE(visits.startsWith(": ")) << visits.toStdString();
    EXPECT_TRUE(accepted);
    EXPECT_EQ(travel->Folder().Shortcuts.Count(), travelBefore + 1);
    EXPECT_EQ(root->Folder().Shortcuts.Count(), 3u);
}

TEST_F(MainWindowTest, DialogPictures) {
    ASSERT_TRUE(window->OpenDocument(Sample()));
    const std::string out = std::string(LYNKORA_BINARY_DIR) + "/";
    TfrmCat cat(window.get(), "Category properties");
    cat.SetInitialName("Cooking");
    cat.edDescr->setText("Recipes and kitchen tips");
    TKeywords k;
    k.Add("food");
    k.Add("recipes");
    cat.Keywords->SetKeywords(k);
    cat.show();
    QApplication::processEvents();
    cat.grab().save(QString::fromStdString(out + "category-dialog.png"));
    for (int page = 0; page < 3; ++page) {
        TfrmShort s(window.get(), "Internet shortcut properties", window->Tree(), {});
        s.SelectCategory(window->Tree().FindCategoryByName("Travel", 1));
        s.SetInitialName("OpenStreetMap");
        s.edURL->setText("https://www.openstreetmap.org/");
        TISFolder holder;
        TIShortcut& sample = holder.Shortcuts.Add();
        sample.Added = 45000.5;
        sample.Count = 3;
        sample.verResponse = "HTTP/1.1 200 OK";
        s.ShowDetails(&sample, true, nullptr);
        s.PageControl1->setCurrentIndex(page);
        s.show();
        QApplication::processEvents();
        s.grab().save(QString::fromStdString(out + "shortcut-dialog-" + std::to_string(page) + ".png"));
    }
    SUCCEED();
}

namespace {
// Stands in for the desktop's URL opener.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened.push_back(url); }
};
} // namespace

TEST_F(MainWindowTest, ActivatingAListItemOpensAndCounts) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "Open");
    ASSERT_TRUE(window->OpenDocument(Sample()));
    window->Settings().DefaultAction = 1;
    CategoryNode* root = window->Tree().RootNode();
    window->SelectNode(root);
    auto* list = window->findChild<QTreeView*>("ListView1");
    const QModelIndex first = list->model()->index(0, 0);
    list->selectionModel()->select(first, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const int access = root->Folder().AccessCount;
    emit list->doubleClicked(first);
    ASSERT_EQ(catcher.opened.size(), 1u);
    EXPECT_EQ(root->Folder().AccessCount, access + 1) << "counted once, not twice";
    window->Action("acOpenBrowser")->trigger();
    EXPECT_EQ(catcher.opened.size(), 2u);
    EXPECT_EQ(root->Folder().AccessCount, access + 2);
    QDesktopServices::unsetUrlHandler("https");

    // The tree menu's caption follows the node's state.
    window->SelectNode(root);
    EXPECT_EQ(window->Action("acExclude")->text(), "Exclu&de");
    window->Action("acExclude")->trigger();
    EXPECT_EQ(window->Action("acExclude")->text(), "Inclu&de");
}

TEST_F(MainWindowTest, EnterRunsTheDefaultActionAndTheWebsiteOpens) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "Open");
    ASSERT_TRUE(window->OpenDocument(Sample()));
    window->show();
    QApplication::setActiveWindow(window.get());
    auto* list = window->findChild<QTreeView*>("ListView1");
    CategoryNode* root = window->Tree().RootNode();
    const TIShortcut* first = window->ListModel().ShortcutAt(0);
    const int visits = first->Count;
    list->setFocus();
    list->selectionModel()->setCurrentIndex(list->model()->index(0, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    window->Settings().DefaultAction = 1;
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_EQ(catcher.opened.size(), 1u);
    EXPECT_EQ(catcher.opened[0].toString().toStdString(), first->URL);
    EXPECT_EQ(first->Count, visits + 1);
    EXPECT_EQ(root->Folder().AccessCount > 0, true);

    // With the properties as the default action, Enter shows them.
    window->Settings().DefaultAction = 0;
    bool shown = false;
    window->RunDialog = [&](QDialog&) { return shown = true, false; };
    QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(shown);
    EXPECT_EQ(catcher.opened.size(), 1u);

    window->Action("LynkoraWeb1")->trigger();
    ASSERT_EQ(catcher.opened.size(), 2u);
    EXPECT_EQ(catcher.opened[1].host(), "www.lynkora.net");
    QDesktopServices::unsetUrlHandler("https");
}

#include "MainWindowTest.moc"
