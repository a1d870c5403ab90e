#include "ExportDialog.h"

#include "companions/Companions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lynkora {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QWidget* WithBrowse(QLineEdit* edit, QWidget* parent, const std::function<QString()>& choose) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit, 1);
    auto* browse = new QPushButton(QObject::tr("Browse..."), row);
    layout->addWidget(browse);
    QObject::connect(browse, &QPushButton::clicked, row, [edit, choose] {
        const QString path = choose();
        if (!path.isEmpty())
            edit->setText(path);
    });
    return row;
}

} // namespace

ExportDialog::ExportDialog(const std::string& categoryName, QWidget* parent) : QDialog(parent) {
    setWindowTitle(categoryName.empty() ? tr("Export to HTML")
                                        : tr("Export category \"%1\" to HTML").arg(Q(categoryName)));
    auto* main = new QVBoxLayout(this);

    auto* texts = new QGroupBox(tr("Page"), this);
    auto* form = new QFormLayout(texts);
    titleEdit = new QLineEdit(texts);
    generatorEdit = new QLineEdit(texts);
    contentsEdit = new QLineEdit(texts);
    backTopEdit = new QLineEdit(texts);
    tocCheck = new QCheckBox(tr("Include a table of &contents"), texts);
    form->addRow(tr("&Title:"), titleEdit);
    form->addRow(tr("Text before the &date:"), generatorEdit);
    form->addRow(tr("Contents &heading:"), contentsEdit);
    form->addRow(tr("&Back-to-top label:"), backTopEdit);
    form->addRow(QString(), tocCheck);
    main->addWidget(texts);

    auto* output = new QGroupBox(tr("Output file"), this);
    auto* outLayout = new QVBoxLayout(output);
    fileEdit = new QLineEdit(output);
    outLayout->addWidget(WithBrowse(fileEdit, output, [this] {
        return QFileDialog::getSaveFileName(this, tr("Export to"), fileEdit->text(),
                                            tr("HTML pages (*.html *.htm)"));
    }));
    main->addWidget(output);

    auto* style = new QGroupBox(tr("Style"), this);
    auto* styleLayout = new QVBoxLayout(style);
    predefinedRadio = new QRadioButton(tr("&Predefined style:"), style);
    sheetCombo = new QComboBox(style);
    sheetPreview = new QLabel(style);
    sheetPreview->setObjectName("sheetPreview");
    for (int n = 1;; ++n) {
        const auto sheet = PredefinedStyleSheet(n);
        if (!sheet)
            break;
        sheetCombo->addItem(Q(StyleSheetName(sheet->substr(0, sheet->find('\n')))), n);
    }
    ownSheetRadio = new QRadioButton(tr("&Style sheet file:"), style);
    sheetFileEdit = new QLineEdit(style);
    auto* predefinedRow = new QHBoxLayout;
    predefinedRow->addWidget(predefinedRadio);
    predefinedRow->addWidget(sheetCombo, 1);
    styleLayout->addLayout(predefinedRow);
    styleLayout->addWidget(sheetPreview);
    styleLayout->addWidget(ownSheetRadio);
    styleLayout->addWidget(WithBrowse(sheetFileEdit, style, [this] {
        return QFileDialog::getOpenFileName(this, tr("Style sheet"), sheetFileEdit->text(),
                                            tr("Style sheets (*.css)"));
    }));
    main->addWidget(style);
    if (sheetCombo->count() == 0) {
        predefinedRadio->setEnabled(false);
        sheetCombo->setEnabled(false);
    }
    connect(sheetCombo, &QComboBox::currentIndexChanged, this, [this] { UpdatePreview(); });
    connect(predefinedRadio, &QRadioButton::toggled, this, [this] { UpdatePreview(); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("&Export"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (!fileEdit->text().trimmed().isEmpty())
            accept();
        else
            fileEdit->setFocus();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    main->addWidget(buttons);
    resize(520, sizeHint().height());
}

void ExportDialog::UpdatePreview() {
    const bool predefined = predefinedRadio->isChecked() && sheetCombo->count() > 0;
    sheetCombo->setEnabled(predefined);
    sheetFileEdit->setEnabled(!predefined);
    sheetPreview->setText(predefined ? tr("The page will use the \"%1\" style.").arg(sheetCombo->currentText())
                                     : tr("The page will link the style sheet file."));
}

void ExportDialog::Load(const THTML& s) {
    titleEdit->setText(s.strTitle.empty() ? QStringLiteral("My Internet Shortcuts") : Q(s.strTitle));
    generatorEdit->setText(s.strGen.empty() ? tr("Created on") : Q(s.strGen));
    contentsEdit->setText(s.strTable.empty() ? tr("Contents") : Q(s.strTable));
    backTopEdit->setText(s.strBackTop.empty() ? tr("Back to top") : Q(s.strBackTop));
    tocCheck->setChecked(s.TOC);
    fileEdit->setText(s.Filename.empty() ? QDir::homePath() + "/lynkora.html" : Q(s.Filename));
    const bool ownFile = s.SelIdx == -1;
    if (s.Styles.Count() > 0)
        sheetFileEdit->setText(Q(s.Styles.Items(0).Path));
    const int at = sheetCombo->findData(s.SelIdx);
    sheetCombo->setCurrentIndex(at >= 0 ? at : 0);
    (ownFile || sheetCombo->count() == 0 ? ownSheetRadio : predefinedRadio)->setChecked(true);
    UpdatePreview();
}

void ExportDialog::Store(THTML& s) const {
    s.strTitle = titleEdit->text().toStdString();
    s.strGen = generatorEdit->text().toStdString();
    s.strTable = contentsEdit->text().toStdString();
    s.strBackTop = backTopEdit->text().toStdString();
    s.TOC = tocCheck->isChecked();
    s.Filename = fileEdit->text().trimmed().toStdString();
    s.Styles.Clear();
    if (predefinedRadio->isChecked() && sheetCombo->count() > 0) {
        s.SelIdx = sheetCombo->currentData().toInt();
    } else {
        s.SelIdx = -1;
        TCSS& css = s.Styles.Add();
        css.Path = sheetFileEdit->text().trimmed().toStdString();
        css.Selected = true;
    }
}

bool ExportDialog::TableOfContents() const { return tocCheck->isChecked(); }
QString ExportDialog::OutputFile() const { return fileEdit->text().trimmed(); }

} // namespace lynkora
