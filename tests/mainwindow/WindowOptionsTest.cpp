// The options window driven as the user drives it: its controls, the browser page's dialogs and
// what OK applies to the running window.
#include "WindowFixture.h"

#include "settings/ui/BrowserDialog.h"
#include "settings/ui/OptionsDialog.h"
#include "store/DataFile.h"
#include "widgets/ColorButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

#include <filesystem>
#include <fstream>

using namespace lynkora;
using lynkora::test::MainWindowTest;

class WindowOptions : public MainWindowTest {
protected:
    void SetUp() override {
        env.autostart = (test::FreshDir("options-autostart") / "autostart" / "lynkora.desktop").string();
        MainWindowTest::SetUp();
        window->AskYesNo = [this](const QString& text) {
            questions.push_back(text);
            return true;
        };
    }
    // Opens Options, lets `edit` work in the window, then presses OK (or Cancel).
    void Options(const std::function<void(TfrmOptions&)>& edit, bool ok = true) {
        window->RunDialog = [&, ok](QDialog& d) {
            if (auto* o = dynamic_cast<TfrmOptions*>(&d)) {
                o->show(); // laid out as the user sees it, so clicks land on the controls
                edit(*o);
                QTest::mouseClick(ok ? o->BtnOK : o->BtnCancel, Qt::LeftButton);
                return o->result() == QDialog::Accepted;
            }
            return inner ? inner(d) : false;
        };
        window->Action("Options1")->trigger();
    }
    std::function<bool(QDialog&)> inner; // the browser dialogs opened from the options window
    QStringList questions;
};

TEST_F(WindowOptions, StorageModeMessageOnceAndClearedWhenSwitchedBack) {
    TSettings& s = window->Settings();
    ASSERT_EQ(s.FileEditMode, femWorkingCopy);
    Options([](TfrmOptions& o) { EXPECT_TRUE(o.rbTransact->isChecked()); });
    EXPECT_TRUE(window->LastInfo().isEmpty());
    EXPECT_EQ(s.PendingFileEditMode, 0);
    Options([](TfrmOptions& o) { o.rbDirect->click(); });
    EXPECT_EQ(window->LastInfo(), "The file edit-mode change will take effect      \nafter you have restarted Lynkora.");
    EXPECT_EQ(s.PendingFileEditMode, femDirect);
    EXPECT_EQ(s.FileEditMode, femWorkingCopy) << "the mode never changes while the program runs";
    window->ShowInfoBox("");
    Options([](TfrmOptions& o) {
        EXPECT_TRUE(o.rbTransact->isChecked());
        o.rbTransact->click();
    });
    EXPECT_TRUE(window->LastInfo().isEmpty());
    EXPECT_EQ(s.PendingFileEditMode, 0);
}

TEST_F(WindowOptions, ProxyValuesStayWhileTheProxyIsOff) {
    Options([](TfrmOptions& o) {
        o.ShowPage(4);
        EXPECT_FALSE(o.proxyPanel->isEnabled());
        o.chUseProxy->click();
        EXPECT_TRUE(o.proxyPanel->isEnabled());
        o.edProxyServer->setText("proxy.example");
        o.edProxyPort->setText("3128");
        EXPECT_EQ(o.edProxyPass->echoMode(), QLineEdit::Password);
    });
    TSettings& s = window->Settings();
    EXPECT_TRUE(s.UseProxy);
    EXPECT_EQ(s.ProxyServer, "proxy.example");
    Options([](TfrmOptions& o) { o.chUseProxy->click(); });
    EXPECT_FALSE(s.UseProxy);
    EXPECT_EQ(s.ProxyServer, "proxy.example");
    EXPECT_EQ(s.ProxyPort, "3128");
    Options([](TfrmOptions& o) {
        EXPECT_TRUE(o.edProxyServer->text().isEmpty());
        o.chUseProxy->click();
        EXPECT_EQ(o.edProxyServer->text(), "proxy.example");
        EXPECT_EQ(o.edProxyPort->text(), "3128");
    });
    EXPECT_TRUE(s.UseProxy);
}

TEST_F(WindowOptions, BrowserPage) {
    TSettings& s = window->Settings();
    const std::size_t before = s.BrowserList.Browsers.Count();
    ASSERT_GE(before, 1u);
    const std::string exe = (dir / "mybrowser").string();
    std::ofstream(exe) << "#!/bin/sh\n";
    std::filesystem::permissions(exe, std::filesystem::perms::owner_all);
    inner = [&](QDialog& d) {
        auto* b = dynamic_cast<TfrmBrowser*>(&d);
        if (!b)
            return false;
        EXPECT_EQ(b->windowTitle(), "New browser");
        b->ChooseExecutable(exe);
        b->NameEdit()->setText("My Browser");
        b->CommandEdit()->setText("  --new-tab  ");
        QTest::mouseClick(b->OkButton(), Qt::LeftButton);
        return b->result() == QDialog::Accepted;
    };
    // Cancel after Add keeps the browser, and "Open in" gets it.
    Options([&](TfrmOptions& o) {
        o.ShowPage(3);
        EXPECT_EQ(o.ListBrowse->item(0)->text(), "Default browser");
        EXPECT_FALSE(o.BtnRemove->isEnabled()) << "the default entry cannot be removed";
        QTest::mouseClick(o.BtnAdd, Qt::LeftButton);
        EXPECT_EQ(o.ListBrowse->count(), static_cast<int>(before) + 1);
        EXPECT_EQ(o.ListBrowse->item(o.ListBrowse->count() - 1)->text(), "My Browser");
    }, false);
    ASSERT_EQ(s.BrowserList.Browsers.Count(), before + 1);
    EXPECT_EQ(s.BrowserList.Browsers.Items(before).Command, "--new-tab");
    bool listed = false;
    for (QAction* a : window->BrowserMenu()->actions())
        listed = listed || a->text() == "My Browser";
    EXPECT_TRUE(listed);

    // Properties of the default entry: read-only; Remove of another entry asks first.
    inner = [&](QDialog& d) {
        auto* b = dynamic_cast<TfrmBrowser*>(&d);
        EXPECT_EQ(b->windowTitle(), "Browser properties");
        EXPECT_EQ(b->NameEdit()->text(), "Default browser");
        EXPECT_FALSE(b->OkButton()->isEnabled());
        return false;
    };
    Options([&](TfrmOptions& o) {
        o.ListBrowse->setCurrentRow(0);
        QTest::mouseClick(o.BtnEdit, Qt::LeftButton);
        o.ListBrowse->setCurrentRow(o.ListBrowse->count() - 1);
        EXPECT_TRUE(o.BtnRemove->isEnabled());
        QTest::mouseClick(o.BtnRemove, Qt::LeftButton);
    });
    ASSERT_FALSE(questions.isEmpty());
    EXPECT_EQ(questions.back(), "The browser configuration \"My Browser\" will be       \nremoved. Do you want to continue?");
    EXPECT_EQ(s.BrowserList.Browsers.Count(), before);
}

TEST_F(WindowOptions, LaunchAtStartupAndClearMenuAndColumns) {
    TSettings& s = window->Settings();
    Options([](TfrmOptions& o) {
        EXPECT_FALSE(o.chMinimized->isEnabled());
        o.chLaunch->click();
        EXPECT_TRUE(o.chMinimized->isEnabled());
        o.chMinimized->click();
    });
    EXPECT_TRUE(s.Autostart);
    EXPECT_TRUE(s.AutostartMinimized);
    EXPECT_TRUE(std::filesystem::exists(env.autostart));
    Options([](TfrmOptions& o) {
        o.chLaunch->click();
        EXPECT_FALSE(o.chMinimized->isEnabled());
        EXPECT_FALSE(o.chMinimized->isChecked());
    });
    EXPECT_FALSE(s.Autostart);
    EXPECT_FALSE(s.AutostartMinimized);
    EXPECT_FALSE(std::filesystem::exists(env.autostart));

    // Clear menu empties the Reopen menu at once, even when the window is then cancelled.
    ASSERT_TRUE(window->OpenDocument(Sample()));
    window->AddToHistory(Sample("other.lyx"));
    ASSERT_FALSE(window->HistoryMenu()->isEmpty());
    Options([&](TfrmOptions& o) {
        EXPECT_TRUE(o.BtnClear->isEnabled());
        QTest::mouseClick(o.BtnClear, Qt::LeftButton);
        EXPECT_FALSE(o.BtnClear->isEnabled());
        EXPECT_TRUE(window->HistoryMenu()->isEmpty());
    }, false);
    EXPECT_TRUE(s.History.empty());

    // The URL column goes when its box is unchecked.
    window->SelectNode(window->Tree().FindCategoryByName("News", 1));
    auto hasUrlColumn = [&] {
        for (int c = 0; c < window->ListModel().columnCount(); ++c)
            if (window->ListModel().ColumnCaption(c) == "URL")
                return true;
        return false;
    };
    ASSERT_TRUE(hasUrlColumn());
    Options([](TfrmOptions& o) {
        EXPECT_TRUE(o.chCol[0]->isChecked());
        EXPECT_FALSE(o.chCol[0]->isEnabled());
        o.chCol[1]->click();
        o.BtnColor->SetColor(QColor(0, 128, 0));
        o.cbDefault->setCurrentIndex(1);
        o.rbWeb->click();
        o.edConnections->setValue(3);
    });
    EXPECT_FALSE(hasUrlColumn());
    EXPECT_EQ(window->ListModel().rowCount(), 5) << "the list was refilled";
    EXPECT_EQ(s.NewItemColor, 0x008000);
    EXPECT_EQ(s.DefaultAction, 1);
    EXPECT_EQ(s.InterfaceStyle, isWeb);
    EXPECT_EQ(s.VerifyConnections, 3);
}

TEST_F(WindowOptions, ToolbarAndHeaderFollowTheBoxes) {
    Options([](TfrmOptions& o) {
        o.chTool->click();
        o.chHeader->click();
        o.chFlat->click();
    });
    EXPECT_FALSE(window->Action("Toolbar2")->isChecked());
    EXPECT_FALSE(window->Action("Header1")->isChecked());
    EXPECT_FALSE(window->ToolBar()->isVisibleTo(window.get()));
    for (QToolButton* b : window->ToolBar()->findChildren<QToolButton*>())
        EXPECT_FALSE(b->autoRaise());
}

TEST_F(WindowOptions, PicturesOfEveryPage) {
    window->show();
    Options([](TfrmOptions& o) {
        o.show();
        for (int page = 0; page < 6; ++page) {
            o.ShowPage(page);
            QApplication::processEvents();
            EXPECT_EQ(o.stCat->text(), o.opTree->topLevelItem(page)->text(0));
            o.grab().save(Shot(("options-page-" + std::to_string(page + 1) + ".png").c_str()));
        }
    }, false);
}
