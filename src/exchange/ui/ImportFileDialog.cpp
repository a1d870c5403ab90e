#include "exchange/ui/ImportFileDialog.h"

namespace lynkora {

ImportFileDialog::ImportFileDialog(QWidget* parent, std::function<bool(const QString&)> refuse)
    : QFileDialog(parent, tr("Import from file")), m_refuse(std::move(refuse)) {
    setObjectName("OpenDialogImport");
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    // Patterns are separated by blanks here; a ";" would become part of the first one.
    setNameFilters({tr("HTML files (*.html *.htm)"), tr("Lynkora 3.x datafiles (*.ldb)"),
                    tr("Lynkora 4.x datafiles (*.lyx)")});
    // Our own accept() must see the choice, so the dialog is never native.
    setOption(QFileDialog::DontUseNativeDialog, true);
}

QString ImportFileDialog::ChosenPath() const {
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : files.front();
}

void ImportFileDialog::accept() {
    const QString path = ChosenPath();
    if (!path.isEmpty() && m_refuse && m_refuse(path))
        return;
    QFileDialog::accept();
}

} // namespace lynkora
