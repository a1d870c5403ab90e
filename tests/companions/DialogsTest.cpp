// The export options dialog and the wizard, driven on the offscreen platform.
#include "support/QtTestApp.h"
#include "support/TestPaths.h"

#include "companions/CompanionLibrary.h"
#include "companions/Companions.h"
#include "platform/Registry.h"
#include "settings/ExportSettings.h"
#include "store/ObjectStream.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QWizard>

#include <gtest/gtest.h>

using namespace lynkora;

namespace {

// Runs `act` on the modal window that opens next.
void WhenModalOpens(const std::function<void(QWidget*)>& act) {
    QTimer::singleShot(50, [act] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            WhenModalOpens(act);
            return;
        }
        act(w);
    });
}

template <class T>
T* Child(QWidget* w, int index = 0) {
    const auto all = w->findChildren<T*>();
    return index < all.size() ? all[index] : nullptr;
}

} // namespace

TEST(Dialogs, ExportOptionsAreStoredAndReturned) {
    test::EnsureQtApp();
    CompanionLibrary::SetDirectory(LYNKORA_BIN_DIR);
    const std::string shot = std::string(LYNKORA_BINARY_DIR) + "/export-dialog.png";
    WhenModalOpens([&](QWidget* w) {
        auto edits = w->findChildren<QLineEdit*>();
        ASSERT_GE(edits.size(), 6);
        edits[0]->setText("Links & more");
        w->findChildren<QCheckBox*>()[0]->setChecked(false);
        edits[4]->setText("/tmp/out.html");
        auto* combo = Child<QComboBox>(w);
        ASSERT_NE(combo, nullptr);
        EXPECT_GE(combo->count(), 4) << "the predefined sheets by name";
        combo->setCurrentIndex(1);
        w->grab().save(QString::fromStdString(shot));
        static_cast<QDialog*>(w)->accept();
    });
    EXPECT_EQ(ShowExportDlg("News", nullptr), "0/tmp/out.html");
    Registry registry;
    THTML stored;
    ObjectStream::ReadObject(registry.ReadBinary("", "ExportHTML"), stored);
    EXPECT_EQ(stored.strTitle, "Links & more");
    EXPECT_EQ(stored.SelIdx, 2);
    EXPECT_FALSE(stored.TOC);

    WhenModalOpens([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(ShowExportDlg("", nullptr), "") << "cancelled";

    // The wrong access text shows nothing.
    CompanionLibrary webstyle("webstyle");
    auto entry = webstyle.Entry<const char* (*)(const char*, const char*, void*)>("ShowExportDlg");
    ASSERT_NE(entry, nullptr);
    EXPECT_STREQ(entry("[00000000-0000-0000-0000-000000000000]", "", nullptr), "");
    CompanionLibrary::SetDirectory("");
}

TEST(Dialogs, TheWizardSendsTheChosenCommand) {
    test::EnsureQtApp();
    CompanionLibrary::SetDirectory(LYNKORA_BIN_DIR);
    WhenModalOpens([](QWidget* w) {
        auto* wizard = static_cast<QWizard*>(w);
        wizard->next();
        auto radios = wizard->findChildren<QRadioButton*>();
        ASSERT_EQ(radios.size(), 5);
        radios[4]->setChecked(true);
        wizard->accept();
    });
    struct Seen {
        int code = 0;
        long signature = 0;
    } seen;
    ShowWizard(nullptr, [](void* c, int code, long sig) {
        static_cast<Seen*>(c)->code = code;
        static_cast<Seen*>(c)->signature = sig;
    }, &seen);
    EXPECT_EQ(seen.code, kWizardLibraries);
    EXPECT_EQ(seen.signature, kWizardSignature);
    CompanionLibrary::SetDirectory("");
}
