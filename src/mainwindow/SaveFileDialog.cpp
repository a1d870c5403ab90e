#include "SaveFileDialog.h"

namespace lynkora {

SaveFileDialog::SaveFileDialog(QWidget* parent, const QString& title, std::function<bool(const QString&)> refuse)
    : QFileDialog(parent, title), m_refuse(std::move(refuse)) {
    setAcceptMode(QFileDialog::AcceptSave);
    setNameFilter(tr("Lynkora files (*.lyx)"));
    setDefaultSuffix("lyx");
    // Our own accept() must run before the overwrite question, so the dialog is never native.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setOption(QFileDialog::DontConfirmOverwrite, false);
}

QString SaveFileDialog::ChosenPath() const {
    const QStringList files = selectedFiles();
    if (files.isEmpty())
        return {};
    QString path = files.front();
    if (!path.endsWith(".lyx", Qt::CaseInsensitive))
        path += ".lyx";
    return path;
}

void SaveFileDialog::accept() {
    const QString path = ChosenPath();
    if (!path.isEmpty() && m_refuse && m_refuse(path))
        return;
    QFileDialog::accept();
}

} // namespace lynkora
