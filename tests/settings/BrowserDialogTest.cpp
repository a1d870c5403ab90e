#include "support/QtTestApp.h"
#include "support/TestPaths.h"

#include "settings/ui/BrowserDialog.h"
#include "widgets/ContextHelp.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace lynkora;
namespace fs = std::filesystem;

namespace {

struct Dialog {
    explicit Dialog(bool readOnly = false) : dialog(nullptr, "New browser", readOnly) {
        dialog.Beep = [this] { ++beeps; };
        dialog.show();
        QApplication::processEvents();
    }
    TfrmBrowser dialog;
    int beeps = 0;
};

} // namespace

TEST(BrowserDialog, ValidatesBeforeClosing) {
    test::EnsureQtApp();
    const fs::path exe = test::FreshDir("browser-dialog") / "surfer";
    std::ofstream(exe) << "#!/bin/sh\n";
    fs::permissions(exe, fs::perms::owner_all);

    Dialog d;
    d.dialog.NameEdit()->setText("Surfer");
    d.dialog.OkButton()->click();
    EXPECT_EQ(d.beeps, 1) << "no executable chosen";
    EXPECT_EQ(d.dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(d.dialog.isVisible());

    d.dialog.AskExecutable = [&](const QString&) { return QString::fromStdString(exe.string()); };
    for (QPushButton* b : d.dialog.findChildren<QPushButton*>())
        if (b->text() == "Bro&wse...")
            b->click();
    EXPECT_EQ(d.dialog.Path(), exe.string());
    EXPECT_EQ(d.dialog.Version(), "0.0.0.0");
    EXPECT_EQ(d.dialog.NameEdit()->text(), "Surfer") << "named after the file";
    EXPECT_EQ(d.dialog.NameEdit()->selectedText(), "Surfer");

    d.dialog.NameEdit()->clear();
    d.dialog.OkButton()->click();
    EXPECT_EQ(d.beeps, 2) << "empty display name";
    EXPECT_TRUE(d.dialog.isVisible());

    d.dialog.NameEdit()->setText(QString(80, 'n'));
    EXPECT_EQ(d.dialog.Name().size(), 50u);
    d.dialog.CommandEdit()->setText("  -url %1  ");
    d.dialog.OkButton()->click();
    EXPECT_EQ(d.beeps, 2);
    EXPECT_EQ(d.dialog.result(), QDialog::Accepted);
    EXPECT_EQ(d.dialog.Command(), "-url %s");
    EXPECT_EQ(HelpContextOf(d.dialog.CommandEdit()), 1902);
}

TEST(BrowserDialog, TheDefaultEntryCannotBeConfirmed) {
    test::EnsureQtApp();
    Dialog d(true);
    d.dialog.SetBrowser("/usr/lib/a/very/long/path/to/some/browser/that/does/not/fit/the/label/surfer",
                        "", "Surfer", "--new-tab");
    d.dialog.grab().save(QString::fromStdString(std::string(LYNKORA_BINARY_DIR) + "/browser-dialog.png"));
    EXPECT_EQ(d.dialog.NameEdit()->text(), "Default browser");
    EXPECT_TRUE(d.dialog.NameEdit()->isReadOnly());
    EXPECT_TRUE(d.dialog.CommandEdit()->isReadOnly());
    EXPECT_FALSE(d.dialog.OkButton()->isEnabled());
    d.dialog.OkButton()->click(); // disabled: nothing happens
    QMetaObject::invokeMethod(&d.dialog, "accept"); // nor through the Enter key's path
    EXPECT_TRUE(d.dialog.isVisible());
    EXPECT_TRUE(d.dialog.ExecutableLabel()->text().contains(QChar(0x2026))) << "long paths are shortened";
    EXPECT_EQ(d.dialog.ExecutableLabel()->toolTip().toStdString(),
              "/usr/lib/a/very/long/path/to/some/browser/that/does/not/fit/the/label/surfer");
}
