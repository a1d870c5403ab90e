#include "mainwindow/CategoryDialog.h"

#include "mainwindow/KeywordEditor.h"
#include "platform/StoredText.h"
#include "mainwindow/EditRules.h"
#include "widgets/ContextHelp.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lynkora {

TfrmCat::TfrmCat(QWidget* parent, const QString& title) : QDialog(parent) {
    setWindowTitle(title);
    edName = new QLineEdit(this);
    edName->setObjectName("edName");
    edDescr = new QLineEdit(this);
    edDescr->setObjectName("edDescr");
    auto* buttons = new QDialogButtonBox(this);
    BtnOK = buttons->addButton(tr("&OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(tr("Ca&ncel"), QDialogButtonBox::RejectRole);
    BtnOK->setDefault(true);
    Keywords = new KeywordEditor(this, BtnOK);

    auto* form = new QFormLayout;
    form->addRow(tr("&Name:"), edName);
    form->addRow(tr("&Description:"), edDescr);
    form->addRow(tr("&Keywords:"), Keywords);
    static_cast<QLabel*>(form->labelForField(Keywords))->setBuddy(Keywords->KeyEdit());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    edName->setMinimumWidth(300);

    setTabOrder(edName, edDescr);
    setTabOrder(edDescr, Keywords->KeyEdit());
    setTabOrder(Keywords->RemoveButton(), cancel);
    setTabOrder(cancel, BtnOK);
    SetHelpContext(edName, 1300);
    SetHelpContext(edDescr, 1301);
    SetHelpContext(Keywords, 1302);
    InstallContextHelp(this);

    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmCat::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfrmCat::reject);
    connect(edName, &QLineEdit::textEdited, this, [this] { BtnOK->setDefault(true); });
    Beep = [] { QApplication::beep(); };
}

void TfrmCat::SetInitialName(const std::string& name) {
    m_initialName = name;
    edName->setText(DecodeStoredText(name));
}

void TfrmCat::accept() {
    const std::string name = EncodeUserText(edName->text());
    if (name.empty()) {
        edName->setFocus();
        Beep();
        return;
    }
    if (!NeedsNameCheck(m_initialName, name) || !NameTaken || !NameTaken(name)) {
        QDialog::accept();
        return;
    }
    const std::string text = IsNew() ? CategoryCreateError(name) : CategoryRenameError(m_initialName, name);
    if (ShowError)
        ShowError(DecodeStoredText(text));
}

} // namespace lynkora
