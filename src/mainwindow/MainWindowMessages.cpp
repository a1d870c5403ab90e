// The window's message boxes and its one place where errors are reported.
#include "MainWindow.h"

#include "companions/Companions.h"
#include "store/Errors.h"
#include "store/StorageErrorText.h"

#include <QMessageBox>

namespace lynkora {

void TfrmMainLynkora::ShowBox(QMessageBox& box) {
    // The box runs an event loop: the document stays as it is until the user has answered.
    const DocumentLeases::Lease lease = HoldDocument();
    if (!qEnvironmentVariableIsSet("LYNKORA_NO_DIALOGS"))
        box.exec();
}

void TfrmMainLynkora::ShowErrorBox(const QString& text) {
    m_lastError = text;
    QMessageBox box(QMessageBox::Critical, kTitle, text, QMessageBox::Ok, this);
    ShowBox(box);
}

void TfrmMainLynkora::ReportError(std::exception_ptr error) {
    QString text;
    try {
        std::rethrow_exception(error);
    } catch (const EStorageError& e) {
        text = QString::fromStdString(StorageErrorText(e.code()));
    } catch (const std::exception& e) {
        text = QString::fromStdString(e.what());
    }
    LogEvent(text.toStdString(), 1012);
    ShowErrorBox(text);
}

void TfrmMainLynkora::Guarded(const std::function<void()>& command) {
    try {
        command();
    } catch (...) {
        ReportError(std::current_exception());
    }
}

void TfrmMainLynkora::ShowWarningBox(const QString& text, QWidget* owner) {
    m_lastInfo = text;
    QMessageBox box(QMessageBox::Warning, kTitle, text, QMessageBox::Ok, owner ? owner : this);
    ShowBox(box);
}

void TfrmMainLynkora::ShowInfoBox(const QString& text) {
    m_lastInfo = text;
    QMessageBox box(QMessageBox::Information, kTitle, text, QMessageBox::Ok, this);
    ShowBox(box);
}

} // namespace lynkora
