#include "tools/ui/SearchDialog.h"

#include "tools/Find.h"
#include "widgets/ContextHelp.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lynkora {

TfrmSearch::TfrmSearch(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Find"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint);
    edFind = new QLineEdit(this);
    edFind->setObjectName("edFind");
    auto* label = new QLabel(tr("Text to find:"), this);
    label->setBuddy(edFind);

    auto* GroupBox1 = new QGroupBox(tr(" Search for "), this);
    GroupBox1->setObjectName("GroupBox1");
    auto* searchIn = new QVBoxLayout(GroupBox1);
    rbNames = new QRadioButton(tr("N&ames"), GroupBox1);
    rbURL = new QRadioButton(tr("&URL's"), GroupBox1);
    rbDescr = new QRadioButton(tr("D&escriptions"), GroupBox1);
    rbKeywords = new QRadioButton(tr("&Keywords"), GroupBox1);
    rbAll = new QRadioButton(tr("&All"), GroupBox1);
    for (QRadioButton* b : {rbNames, rbURL, rbDescr, rbKeywords, rbAll})
        searchIn->addWidget(b);

    auto* GroupBox2 = new QGroupBox(tr(" Origin "), this);
    GroupBox2->setObjectName("GroupBox2");
    auto* origin = new QVBoxLayout(GroupBox2);
    rbFile = new QRadioButton(tr("En&tire file"), GroupBox2);
    rbSelection = new QRadioButton(tr("&Selection"), GroupBox2);
    origin->addWidget(rbFile);
    origin->addWidget(rbSelection);
    origin->addStretch(1);
    chCase = new QCheckBox(tr("Case sensitive"), this);

    BtnFind = new QPushButton(tr("&Find"), this);
    BtnCancel = new QPushButton(tr("Ca&ncel"), this);
    connect(BtnFind, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(edFind, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });

    auto* text = new QHBoxLayout;
    text->addWidget(label);
    text->addWidget(edFind, 1);
    auto* groups = new QHBoxLayout;
    groups->addWidget(GroupBox1, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(GroupBox2, 1);
    right->addWidget(chCase);
    groups->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnFind);
    buttons->addWidget(BtnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(text);
    layout->addLayout(groups);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    edFind->setMinimumWidth(240);

    SetHelpContext(edFind, 1400);
    SetHelpContext(GroupBox1, 1401);
    SetHelpContext(GroupBox2, 1402);
    SetHelpContext(chCase, 1403);
    InstallContextHelp(this);
    rbNames->setChecked(true);
    rbFile->setChecked(true);
    UpdateButtons();
}

void TfrmSearch::UpdateButtons() {
    const bool text = !edFind->text().isEmpty();
    BtnFind->setEnabled(text);
    BtnFind->setDefault(text);
    BtnCancel->setDefault(!text);
}

void TfrmSearch::LoadOptions(const TSearchOptions& o) {
    (o.Origin == 0 ? rbSelection : rbFile)->setChecked(true);
    QRadioButton* fields[] = {rbNames, rbURL, rbDescr, rbKeywords, rbAll};
    if (o.SearchIn >= sfNames && o.SearchIn <= sfAll)
        fields[o.SearchIn]->setChecked(true);
    chCase->setChecked(o.CaseSensitive);
    edFind->setText(QString::fromStdString(o.FindText));
    UpdateButtons();
}

void TfrmSearch::StoreOptions(TSearchOptions& o, int selectedPosition) const {
    o.Reset();
    o.Origin = rbSelection->isChecked() ? 0 : 1;
    const QRadioButton* fields[] = {rbNames, rbURL, rbDescr, rbKeywords, rbAll};
    for (int i = sfNames; i <= sfAll; ++i)
        if (fields[i]->isChecked())
            o.SearchIn = i;
    o.CaseSensitive = chCase->isChecked();
    o.StartCategory = o.Origin == 0 ? std::max(selectedPosition, 0) : 0;
    o.StartShortcut = 0;
    o.FindText = edFind->text().toStdString();
}

} // namespace lynkora
