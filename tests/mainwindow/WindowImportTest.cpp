// Import from file, import from browsers and Synchronize, driven through their windows: the
// library lists, the marks, the confirmation with its boxes, and what reaches the data file.
#include "SecondStart.h"
#include "WindowFixture.h"
#include "support/TestFiles.h"

#include "exchange/LibraryList.h"
#include "exchange/ui/ConfirmDialog.h"
#include "exchange/ui/ImportBrowsersDialog.h"
#include "exchange/ui/ImportFileDialog.h"
#include "exchange/ui/LibraryDialog.h"
#include "exchange/ui/SyncDialog.h"
#include "store/DataFile.h"
#include "store/FileReplace.h"
#include "widgets/CheckTree.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace lynkora;
using lynkora::test::MainWindowTest;

namespace {

using test::ReadFile;
using test::WriteFile;

std::size_t ShortcutsIn(const std::string& path) {
    TDataFile file(path, false);
    CategoryTree tree;
    file.LoadTree(tree);
    return tree.ShortcutCount();
}

// Types the path into the file dialog's name box and presses Open, as the user does.
void Type(ImportFileDialog& files, const std::string& path) {
    auto* name = files.findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    name->setText(QString::fromStdString(path));
    files.accept();
}

// Clicks the Import or Export cell of a row as the user does.
void ClickMark(TfrmImport& d, int row, int column) {
    d.StringGrid1->scrollTo(d.StringGrid1->model()->index(row, column));
    const QRect cell = d.StringGrid1->visualRect(d.StringGrid1->model()->index(row, column));
    QTest::mouseClick(d.StringGrid1->viewport(), Qt::LeftButton, {}, cell.center());
}

} // namespace

class WindowImport : public MainWindowTest {
protected:
    void SetUp() override {
        home = test::FreshDir("import-window");
        env.favorites = (home / "Favorites").string();
        std::filesystem::create_directories(env.favorites);
        MainWindowTest::SetUp();
        window->AskYesNo = [this](const QString& text) {
            questions << text;
            return true;
        };
        window->RunDialog = [this](QDialog& d) {
            d.show();
            QApplication::processEvents();
            const bool known = dynamic_cast<TfrmImport*>(&d) || dynamic_cast<TfrmImpBrowse*>(&d) ||
                               dynamic_cast<TfrmLib*>(&d) || dynamic_cast<TfrmConfirm*>(&d) ||
                               dynamic_cast<ImportFileDialog*>(&d);
            EXPECT_TRUE(known) << d.metaObject()->className();
            if (act)
                act(d);
            return d.result() == QDialog::Accepted;
        };
        path = Sample();
        window->OpenDocument(path);
    }
    std::string Library(const std::string& name, const std::string& text) {
        const std::string p = (home / name).string();
        WriteFile(p, text);
        return p;
    }
    // A new window in direct mode on the same file, its windows going to `act`.
    void ReopenInDirectMode() {
        window.reset();
        registry->WriteInteger("", "FileEditMode", femDirect);
        registry->Sync();
        window = std::make_unique<TfrmMainLynkora>(*registry, env);
        window->InitializeMainWindow("");
        window->AskYesNo = [](const QString&) { return true; };
        window->RunDialog = [this](QDialog& d) {
            d.show();
            if (act)
                act(d);
            return d.result() == QDialog::Accepted;
        };
        window->OpenDocument(path);
    }
    std::function<void(QDialog&)> act;
    QStringList questions;
    std::filesystem::path home;
    std::string path;
};

TEST_F(WindowImport, FirstUseAndTheOnlyLibraryRemovedInEachWindow) {
    bool shown = false;
    act = [&](QDialog& d) {
        auto& sync = dynamic_cast<TfrmImport&>(d);
        ASSERT_EQ(sync.StringGrid1->rowCount(), 1);
        EXPECT_EQ(sync.StringGrid1->item(0, 0)->text(), "Internet Explorer");
        EXPECT_EQ(sync.StringGrid1->item(0, 1)->text().toStdString(), env.favorites);
        EXPECT_EQ(sync.windowTitle(), "Synchronize");
        sync.StringGrid1->selectRow(0);
        EXPECT_TRUE(sync.BtnRemove->isEnabled());
        QTest::mouseClick(sync.BtnRemove, Qt::LeftButton);
        EXPECT_TRUE(sync.StringGrid1->isHidden()) << "the grid goes with the last row";
        EXPECT_FALSE(sync.BtnProps->isEnabled());
        shown = true;
        sync.reject();
    };
    window->Action("acLibraries")->trigger();
    ASSERT_TRUE(shown);
    EXPECT_EQ(questions.value(0), "The library \"Internet Explorer\" will be removed.      \nDo you want to continue?");
    EXPECT_FALSE(registry->OpenKey("Import", false)) << "the stored list stays as it was";

    shown = false;
    act = [&](QDialog& d) {
        auto& browse = dynamic_cast<TfrmImpBrowse&>(d);
        ASSERT_EQ(browse.ImportList->topLevelItemCount(), 1) << "the library is back";
        EXPECT_EQ(browse.ImportList->topLevelItem(0)->checkState(0), Qt::Unchecked);
        QTest::mouseClick(browse.BtnImport, Qt::LeftButton);
        EXPECT_EQ(window->LastInfo(), "Please select at least one library to import.      ");
        EXPECT_TRUE(browse.isVisible());
        browse.ImportList->setCurrentItem(browse.ImportList->topLevelItem(0));
        QTest::mouseClick(browse.BtnRemove, Qt::LeftButton);
        EXPECT_EQ(browse.ImportList->topLevelItemCount(), 0);
        shown = true;
        browse.reject();
    };
    window->Action("acImportBrowser")->trigger();
    ASSERT_TRUE(shown);
    EXPECT_TRUE(LoadLibraries(*registry, env.favorites).empty()) << "here the stored list is emptied";
}

TEST_F(WindowImport, OneLibraryMarkedBothRebuildsTheDocumentUntilSaved) {
    const std::string before = ReadFile(path);
    const std::string lib = Library("bookmarks.html",
                                    "<DL><DT><H3>Reading</H3><DL><DT><A HREF=\"http://one.example/\">One</A>"
                                    "<DT><A HREF=\"http://two.example/\">Two</A></DL></DL>");
    SaveLibraries(*registry, {{"Netscape 4.x", lib}});
    QPixmap picture;
    act = [&](QDialog& d) {
        auto& sync = dynamic_cast<TfrmImport&>(d);
        QTest::mouseClick(sync.BtnSync, Qt::LeftButton);
        EXPECT_EQ(window->LastInfo(), "Please select at least one library to import and/or export.      ");
        EXPECT_TRUE(sync.isVisible());
        ClickMark(sync, 0, 2);
        ClickMark(sync, 0, 3);
        ClickMark(sync, 0, 3);
        ClickMark(sync, 0, 3);
        const auto rows = sync.Libraries();
        EXPECT_TRUE(rows[0].import && rows[0].exportTo) << "each click toggles";
        picture = sync.grab();
        QTest::mouseClick(sync.BtnSync, Qt::LeftButton);
    };
    window->Action("acLibraries")->trigger();
    picture.save(Shot("sync-window.png"));
    EXPECT_TRUE(window->TreeView()->isExpanded(window->TreeView()->model()->index(0, 0)))
        << "the new tree opens as a file does";
    EXPECT_EQ(window->Tree().ShortcutCount(), 2u) << "exactly the library's bookmarks";
    EXPECT_EQ(window->Tree().NodeCount(), 2u);
    EXPECT_NE(ReadFile(lib).find("http://two.example/"), std::string::npos) << "written back in our own format";
    EXPECT_NE(ReadFile(lib).find("<!DOCTYPE NETSCAPE-Bookmark-file-1>"), std::string::npos);
    EXPECT_EQ(ReadFile(path), before) << "the file keeps the old collection until Save";
    EXPECT_TRUE(window->DataFile()->Modified());
    EXPECT_EQ(window->StatusText(), window->StatusSummary());

    // Closing without saving gives the old collection back.
    window->SavePrompt = [] { return int(QMessageBox::No); };
    window->CloseFile();
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(ShortcutsIn(path), 37u);
}

TEST_F(WindowImport, ExportMarksOnlyLeaveTheDocumentAlone) {
    const std::string out = (home / "out.adr").string();
    SaveLibraries(*registry, {{"Opera Hotlist", out}});
    act = [&](QDialog& d) {
        auto& sync = dynamic_cast<TfrmImport&>(d);
        ClickMark(sync, 0, 3);
        QTest::mouseClick(sync.BtnSync, Qt::LeftButton);
    };
    window->Action("acLibraries")->trigger();
    EXPECT_EQ(window->Tree().ShortcutCount(), 37u);
    EXPECT_NE(ReadFile(out).find("Opera Hotlist version 2.0"), std::string::npos);
    EXPECT_NE(ReadFile(out).find("BBC News"), std::string::npos);
}

TEST_F(WindowImport, AReaderFailingHalfWayLosesNothing) {
    const std::string good = Library("good.adr", "Opera Hotlist version 2.0\n\n#URL\n\tNAME=Three\n\tURL=http://three/\n");
    SaveLibraries(*registry, {{"Opera Hotlist", good}, {"Netscape 4.x", (home / "gone.html").string()}});
    const std::string before = ReadFile(path);
    act = [&](QDialog& d) {
        auto& sync = dynamic_cast<TfrmImport&>(d);
        ClickMark(sync, 0, 2);
        ClickMark(sync, 1, 2);
        QTest::mouseClick(sync.BtnSync, Qt::LeftButton);
    };
    window->Action("acLibraries")->trigger();
    EXPECT_NE(window->LastError().indexOf("The specified file could not be found!"), -1) << window->LastError().toStdString();
    EXPECT_EQ(window->Tree().ShortcutCount(), 1u) << "what was read before the failure is shown";
    EXPECT_EQ(ReadFile(path), before) << "byte for byte";
}

TEST_F(WindowImport, DirectModeKeepsTheOldCollectionInTheBackup) {
    ReopenInDirectMode();
    ASSERT_TRUE(window->DataFile()->DirectMode());
    SaveLibraries(*registry, {{"Netscape 4.x", (home / "gone.html").string()}});
    act = [&](QDialog& d) {
        auto& sync = dynamic_cast<TfrmImport&>(d);
        ClickMark(sync, 0, 2);
        QTest::mouseClick(sync.BtnSync, Qt::LeftButton);
    };
    window->Action("acLibraries")->trigger();
    const std::string backup = ChangeFileExt(path, ".ly_");
    EXPECT_NE(window->LastError().indexOf(QString::fromStdString("kept in " + backup)), -1)
        << window->LastError().toStdString();
    window->CloseFile();
    window->WaitForDeletion();
    EXPECT_EQ(ShortcutsIn(backup), 37u);
}

TEST_F(WindowImport, AnHtmlPageThroughTheFileDialogAndTheConfirmation) {
    const auto folder = home / "site.htm.d";
    std::filesystem::create_directories(folder);
    const std::string page = (folder / "links.txt").string();
    WriteFile(page, "<a href=\"http://a.example/\">A</a><a href=\"http://b.example/\">B</a><a href=\"mailto:m@x\">m</a>");
    window->SelectNode(window->Tree().FindCategoryByName("News", 1));
    const std::size_t news = window->SelectedNode()->Folder().Shortcuts.Count();
    QPixmap picture;
    act = [&](QDialog& d) {
        if (auto* files = dynamic_cast<ImportFileDialog*>(&d)) {
            EXPECT_EQ(files->windowTitle(), "Import from file");
            Type(*files, path);
            EXPECT_EQ(window->LastInfo(), "Lynkora cannot import from the currently opened data file!      ");
            EXPECT_NE(files->result(), QDialog::Accepted) << "the dialog stays open";
            Type(*files, page);
            return;
        }
        auto& confirm = dynamic_cast<TfrmConfirm&>(d);
        EXPECT_EQ(confirm.windowTitle(), "Confirm Import");
        EXPECT_TRUE(confirm.chSelCat->isVisible());
        EXPECT_TRUE(confirm.chSelCat->isChecked());
        EXPECT_GE(confirm.width(), 382);
        EXPECT_GE(confirm.height(), 403);
        CheckTreeModel& m = confirm.ConfirmTree->Model();
        ASSERT_EQ(m.Count(), 3) << "the file and its two links: a path with .htm in a folder is a page";
        EXPECT_EQ(m.State(0), Qt::Checked);
        // Space on the file entry clears everything; Import then asks for a choice.
        confirm.ConfirmTree->setFocus();
        confirm.ConfirmTree->setCurrentIndex(m.IndexOf(0));
        QTest::keyClick(confirm.ConfirmTree, Qt::Key_Space);
        EXPECT_EQ(m.State(2), Qt::Unchecked);
        QTest::mouseClick(confirm.BtnImport, Qt::LeftButton);
        EXPECT_EQ(window->LastError(), "Please select one or more items to import!      ");
        EXPECT_TRUE(confirm.isVisible());
        confirm.ConfirmTree->setCurrentIndex(m.IndexOf(2));
        QTest::keyClick(confirm.ConfirmTree, Qt::Key_Space);
        EXPECT_EQ(m.State(0), Qt::PartiallyChecked);
        picture = confirm.grab();
        confirm.move(40, 50);
        QTest::mouseClick(confirm.BtnImport, Qt::LeftButton);
    };
    window->Action("acImportFile")->trigger();
    picture.save(Shot("confirm-window.png"));
    const TISFolder& folder2 = window->SelectedNode()->Folder();
    ASSERT_EQ(folder2.Shortcuts.Count(), news + 1) << "into the selected category, the ticked link only";
    EXPECT_EQ(folder2.Shortcuts[folder2.Shortcuts.Count() - 1].Name, "http://b.example/");
    EXPECT_EQ(window->SelectedNode()->Image(), NodeImage::NewByImport);
    EXPECT_EQ(window->Settings().ConWinPos.rfind("40,", 0), 0u) << window->Settings().ConWinPos;

    // With the box cleared the links go to the root; a page without links says so.
    act = [&](QDialog& d) {
        if (auto* files = dynamic_cast<ImportFileDialog*>(&d)) {
            Type(*files, page);
            return;
        }
        auto& confirm = dynamic_cast<TfrmConfirm&>(d);
        EXPECT_EQ(confirm.pos(), QPoint(40, 50)) << "where it was closed";
        confirm.chSelCat->click();
        QTest::mouseClick(confirm.BtnImport, Qt::LeftButton);
    };
    const std::size_t root = window->Tree().RootNode()->Folder().Shortcuts.Count();
    window->Action("acImportFile")->trigger();
    EXPECT_EQ(window->Tree().RootNode()->Folder().Shortcuts.Count(), root + 2);
    const std::string empty = (home / "mail.html").string();
    WriteFile(empty, "<a href=\"mailto:m@x\">m</a><a href=\"#top\">top</a>");
    act = [&](QDialog& d) {
        auto* files = dynamic_cast<ImportFileDialog*>(&d);
        ASSERT_NE(files, nullptr) << "no confirmation without links";
        Type(*files, empty);
    };
    window->Action("acImportFile")->trigger();
    EXPECT_EQ(window->LastInfo().toStdString(), "Lynkora did not find any URL's in the file:      \n\n" + empty);
}

TEST_F(WindowImport, ADataFileMergedWithAPartlyTickedCategory) {
    // Another data file: "news" at the top with two shortcuts and a sub-category.
    const std::string other = (home / "other.lyx").string();
    {
        TDataFile file(other, false);
        CategoryTree tree;
        file.LoadTree(tree);
        auto add = [&](CategoryNode& parent, const char* name, std::vector<const char*> names) -> CategoryNode& {
            auto folder = std::make_unique<TISFolder>();
            folder->FolderID = file.NewFolderID();
            folder->FolderName = name;
            for (const char* n : names) {
                TIShortcut& s = folder->Shortcuts.Add();
                s.Name = n;
                s.URL = std::string("http://") + n + "/";
            }
            CategoryNode& node = tree.AddChild(parent, std::move(folder));
            file.WriteCategory(node);
            return node;
        };
        CategoryNode& news = add(*tree.RootNode(), "news", {"BBC News", "Fresh"});
        add(news, "Local", {"Town"});
        file.Save();
    }
    const std::size_t newsBefore = window->Tree().FindCategoryByName("News", 1)->Folder().Shortcuts.Count();
    QPixmap picture;
    act = [&](QDialog& d) {
        if (auto* files = dynamic_cast<ImportFileDialog*>(&d)) {
            Type(*files, other);
            return;
        }
        auto& confirm = dynamic_cast<TfrmConfirm&>(d);
        EXPECT_TRUE(confirm.chSelCat->isHidden());
        CheckTreeModel& m = confirm.ConfirmTree->Model();
        // file, news, BBC News, Fresh, Local, Town
        ASSERT_EQ(m.Count(), 6);
        confirm.ConfirmTree->setFocus();
        for (int shortcut : {2, 3}) {
            confirm.ConfirmTree->setCurrentIndex(m.IndexOf(shortcut));
            QTest::keyClick(confirm.ConfirmTree, Qt::Key_Space);
        }
        EXPECT_EQ(m.State(1), Qt::PartiallyChecked) << "its own shortcuts cleared, its sub-category ticked";
        picture = confirm.grab();
        QTest::mouseClick(confirm.BtnImport, Qt::LeftButton);
    };
    window->Action("acImportFile")->trigger();
    CategoryNode* news = window->Tree().FindCategoryByName("News", 1);
    ASSERT_NE(news, nullptr);
    EXPECT_EQ(news->Folder().Shortcuts.Count(), newsBefore) << "merged without shortcuts";
    EXPECT_GE(news->Folder().Keywords.IndexOf("Lynkora 4"), 0);
    CategoryNode* local = window->Tree().FindCategoryByName("Local", 2);
    ASSERT_NE(local, nullptr);
    EXPECT_EQ(local->Parent(), news);
    EXPECT_EQ(local->Image(), NodeImage::NewByImport);
    window->Settings().ConWinPos.clear();
    // Saved, the merge is in the file.
    window->Action("acSave")->trigger();
    window->CloseFile();
    EXPECT_EQ(ShortcutsIn(path), 38u) << "the sub-category's shortcut came in";
}

TEST_F(WindowImport, AddOffersTheBrowserProfilesFound) {
    const auto chromium = test::TempHome() / ".config" / "chromium" / "Profile 7";
    std::filesystem::create_directories(chromium);
    WriteFile((chromium / "Bookmarks").string(), R"({"roots": {"bookmark_bar": {"children": [{"id": "4",)"
                                                  R"( "name": "Docs", "type": "url", "url": "https://docs.example/"}],)"
                                                  R"( "id": "1", "type": "folder"}}, "version": 1})");
    act = [&](QDialog& d) {
        if (auto* lib = dynamic_cast<TfrmLib*>(&d)) {
            EXPECT_EQ(lib->cbLibType->count(), 6);
            EXPECT_EQ(lib->cbLibType->itemText(5), "Chromium");
            ASSERT_TRUE(lib->cbFound->isVisible());
            const int row = lib->cbFound->findText(QString::fromStdString("Chromium: " + chromium.string()));
            ASSERT_GT(row, 0);
            lib->cbFound->setFocus();
            for (int i = 0; i < row; ++i)
                QTest::keyClick(lib->cbFound, Qt::Key_Down); // the user's choice with the keyboard
            EXPECT_EQ(lib->cbLibType->currentText(), "Chromium");
            EXPECT_EQ(lib->edPath->text().toStdString(), chromium.string());
            QTest::mouseClick(lib->BtnOK, Qt::LeftButton);
            return;
        }
        auto& browse = dynamic_cast<TfrmImpBrowse&>(d);
        QTest::mouseClick(browse.BtnAdd, Qt::LeftButton);
        browse.ImportList->topLevelItem(1)->setCheckState(0, Qt::Checked);
        QTest::mouseClick(browse.BtnImport, Qt::LeftButton);
    };
    window->Action("acImportBrowser")->trigger();
    std::filesystem::remove_all(chromium.parent_path());
    CategoryNode* bar = window->Tree().FindCategoryByName("Bookmarks bar", 1);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Folder().Shortcuts[0].URL, "https://docs.example/");
}

TEST_F(WindowImport, BrowserLibrariesReadStraightIn) {
    const std::string lib = Library("hot.adr", "Opera Hotlist version 2.0\n\n#FOLDER\n\tNAME=Hot\n\n#URL\n\tNAME=Three\n"
                                               "\tURL=http://three/\n\n-\n");
    QPixmap lists, properties;
    act = [&](QDialog& d) {
        if (auto* lib2 = dynamic_cast<TfrmLib*>(&d)) {
            EXPECT_EQ(lib2->windowTitle(), "New library");
            EXPECT_EQ(lib2->cbLibType->currentIndex(), 0);
            QTest::mouseClick(lib2->BtnOK, Qt::LeftButton);
            EXPECT_TRUE(lib2->isVisible()) << "an empty path is refused";
            lib2->cbLibType->setCurrentIndex(3);
            lib2->Choose = [&](int type, const QString&) {
                EXPECT_EQ(type, 3);
                return QString::fromStdString(lib);
            };
            QTest::mouseClick(lib2->BtnBrowse, Qt::LeftButton);
            properties = lib2->grab();
            QTest::mouseClick(lib2->BtnOK, Qt::LeftButton);
            return;
        }
        auto& browse = dynamic_cast<TfrmImpBrowse&>(d);
        QTest::mouseClick(browse.BtnAdd, Qt::LeftButton);
        ASSERT_EQ(browse.ImportList->topLevelItemCount(), 2);
        EXPECT_EQ(browse.ImportList->topLevelItem(1)->text(0), "Opera Hotlist");
        browse.ImportList->topLevelItem(1)->setCheckState(0, Qt::Checked);
        lists = browse.grab();
        QTest::mouseClick(browse.BtnImport, Qt::LeftButton);
    };
    window->Action("acImportBrowser")->trigger();
    lists.save(Shot("import-browsers-window.png"));
    properties.save(Shot("library-window.png"));
    EXPECT_EQ(LoadLibraries(*registry, {}).size(), 2u) << "the new library was stored at once";
    CategoryNode* hot = window->Tree().FindCategoryByName("Hot", 1);
    ASSERT_NE(hot, nullptr);
    EXPECT_EQ(hot->Folder().Shortcuts.Count(), 1u);
    EXPECT_EQ(window->Tree().ShortcutCount(), 38u);
}

// A second start hands a file over while Synchronize, the confirmation of an import and the
// browsers' import are open, each then accepted: the command finishes on the file the user chose,
// and the file handed over opens afterwards, untouched.
TEST_F(WindowImport, FilesHandedOverWhileImportWindowsAreOpenWaitForThem) {
    ReopenInDirectMode();
    ASSERT_TRUE(window->DataFile()->DirectMode());
    test::SecondStart start(*window);
    const std::string handed = Sample("handed.lyx");
    const std::string handedBytes = ReadFile(handed);

    const std::string lib = Library("sync.html", "<DL><DT><A HREF=\"http://one.example/\">One</A></DL>");
    SaveLibraries(*registry, {{"Netscape 4.x", lib}});
    act = [&](QDialog& d) {
        auto& sync = dynamic_cast<TfrmImport&>(d);
        ClickMark(sync, 0, 2);
        EXPECT_TRUE(start.HandOver(handed));
        QTest::mouseClick(sync.BtnSync, Qt::LeftButton);
    };
    window->Action("acLibraries")->trigger();
    EXPECT_EQ(window->LastError(), "");
    EXPECT_EQ(window->DataFile()->FileName(), path);
    EXPECT_EQ(window->Tree().ShortcutCount(), 1u) << "the chosen file was rebuilt from the library";
    ASSERT_TRUE(test::WaitUntilOpen(*window, handed));
    EXPECT_EQ(window->Tree().ShortcutCount(), 37u);

    const std::string page = Library("links.html", "<a href=\"http://a.example/\">A</a>");
    window->OpenDocument(path);
    act = [&](QDialog& d) {
        if (auto* files = dynamic_cast<ImportFileDialog*>(&d)) {
            Type(*files, page);
            return;
        }
        auto& confirm = dynamic_cast<TfrmConfirm&>(d);
        EXPECT_TRUE(start.HandOver(handed));
        QTest::mouseClick(confirm.BtnImport, Qt::LeftButton);
    };
    window->Action("acImportFile")->trigger();
    EXPECT_EQ(window->LastError(), "");
    EXPECT_EQ(window->DataFile()->FileName(), path);
    EXPECT_EQ(window->Tree().ShortcutCount(), 2u) << "the link went into the chosen file";
    ASSERT_TRUE(test::WaitUntilOpen(*window, handed));

    window->OpenDocument(path);
    act = [&](QDialog& d) {
        auto& browsers = dynamic_cast<TfrmImpBrowse&>(d);
        EXPECT_TRUE(start.HandOver(handed));
        browsers.reject();
    };
    window->Action("acImportBrowser")->trigger();
    ASSERT_TRUE(test::WaitUntilOpen(*window, handed));
    window->CloseFile();
    window->WaitForDeletion();
    EXPECT_EQ(ShortcutsIn(handed), 37u) << "the file handed over kept its collection";
    EXPECT_EQ(ShortcutsIn(path), 2u);
}
