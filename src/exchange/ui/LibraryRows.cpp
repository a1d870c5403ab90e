#include "exchange/ui/LibraryRows.h"

#include "exchange/ui/LibraryDialog.h"

#include <QObject>

namespace lynkora {

std::optional<TLibrary> LibraryRows::Edit(QWidget* parent, const TLibrary* current) const {
    TfrmLib dialog(parent, current ? QObject::tr("Library properties") : QObject::tr("New library"));
    if (current)
        dialog.SetLibrary(*current);
    else if (Proposals)
        dialog.SetProposals(Proposals());
    const bool ok = RunDialog ? RunDialog(dialog) : dialog.exec() == QDialog::Accepted;
    if (!ok)
        return std::nullopt;
    return dialog.Library();
}

bool LibraryRows::ConfirmRemove(const TLibrary& library) const {
    const QString text = QObject::tr("The library \"%1\" will be removed.      \nDo you want to continue?")
                             .arg(QString::fromStdString(library.Type));
    return AskYesNo && AskYesNo(text);
}

} // namespace lynkora
