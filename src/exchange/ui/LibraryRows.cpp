#include "exchange/ui/LibraryRows.h"

#include "exchange/ui/LibraryDialog.h"

#include <QHBoxLayout>
#include <QObject>
#include <QPushButton>
#include <QVBoxLayout>

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

LibraryButtons::LibraryButtons(QWidget* parent, const QString& commandText) {
    auto button = [parent](const QString& text) {
        auto* b = new QPushButton(text, parent);
        b->setAutoDefault(false);
        return b;
    };
    add = button(QObject::tr("&Add..."));
    properties = button(QObject::tr("&Properties..."));
    remove = button(QObject::tr("Re&move"));
    command = button(commandText);
    close = button(QObject::tr("&Close"));
    help = button(QObject::tr("&Help"));
    command->setDefault(true);
    side = new QVBoxLayout;
    side->addWidget(add);
    side->addWidget(properties);
    side->addWidget(remove);
    side->addStretch();
    bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(command);
    bottom->addWidget(close);
    bottom->addWidget(help);
}

} // namespace lynkora
