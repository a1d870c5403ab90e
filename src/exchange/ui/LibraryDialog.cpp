#include "exchange/ui/LibraryDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lynkora {

namespace {

// The file dialog each type browses with: default extension, filter, title.
struct FileChoice {
    const char* extension;
    const char* filter;
    const char* title;
};
const FileChoice kChoices[4] = {{"", "", ""},
                                {"htm", "Bookmark file (*.htm)", "Browse for Netscape bookmark file"},
                                {"html", "Bookmarks file (*.html)", "Browse for Netscape bookmark file"},
                                {"adr", "Hotlist file (*.adr)", "Browse for Opera Hotlist file"}};

QString ChooseWithDialogs(QWidget* parent, int type, const QString& start) {
    // A favourites folder, or a browser's profile folder.
    if (type <= 0 || type >= 4)
        return QFileDialog::getExistingDirectory(parent, QObject::tr("Set library path"), start);
    const FileChoice& c = kChoices[type];
    QFileDialog dialog(parent, QObject::tr(c.title), start, QObject::tr(c.filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(c.extension);
    if (!start.isEmpty())
        dialog.selectFile(start);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().front()
                                                                                   : QString();
}

} // namespace

TfrmLib::TfrmLib(QWidget* parent, const QString& caption) : QDialog(parent) {
    setObjectName("frmLib");
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    cbFound = new QComboBox(this);
    cbFound->setObjectName("cbFound");
    m_foundLabel = new QLabel(tr("Profiles found:"), this);
    m_foundLabel->setBuddy(cbFound);
    cbLibType = new QComboBox(this);
    cbLibType->setObjectName("cbLibType");
    for (const char* type : kLibraryTypes)
        cbLibType->addItem(QString::fromUtf8(type));
    edPath = new QLineEdit(this);
    edPath->setObjectName("edPath");
    edPath->setMinimumWidth(320);
    BtnBrowse = new QPushButton(tr("Bro&wse..."), this);
    BtnOK = new QPushButton(tr("&OK"), this);
    BtnCancel = new QPushButton(tr("Ca&ncel"), this);
    BtnOK->setDefault(true);
    BtnBrowse->setAutoDefault(false);
    BtnCancel->setAutoDefault(false);

    auto* typeLabel = new QLabel(tr("Library type:"), this);
    typeLabel->setBuddy(cbLibType);
    auto* pathLabel = new QLabel(tr("Library path:"), this);
    pathLabel->setBuddy(edPath);
    auto* form = new QFormLayout;
    form->addRow(m_foundLabel, cbFound);
    form->addRow(typeLabel, cbLibType);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(edPath, 1);
    pathRow->addWidget(BtnBrowse);
    form->addRow(pathLabel, pathRow);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnOK);
    buttons->addWidget(BtnCancel);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(form);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    m_foundLabel->hide();
    cbFound->hide();
    connect(cbFound, &QComboBox::activated, this, [this](int index) {
        if (index > 0 && static_cast<std::size_t>(index) <= m_found.size())
            SetLibrary(m_found[static_cast<std::size_t>(index - 1)]);
    });
    Choose = [this](int type, const QString& start) { return ChooseWithDialogs(this, type, start); };
    connect(BtnBrowse, &QPushButton::clicked, this, [this] { BrowseClick(); });
    connect(BtnOK, &QPushButton::clicked, this, [this] { OkClick(); });
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmLib::SetLibrary(const TLibrary& library) {
    cbLibType->setCurrentIndex(LibraryTypeIndex(library.Type));
    edPath->setText(QString::fromStdString(library.Path));
}

void TfrmLib::SetProposals(std::vector<TLibrary> found) {
    m_found = std::move(found);
    cbFound->clear();
    cbFound->addItem(tr("(choose a profile)"));
    for (const TLibrary& l : m_found)
        cbFound->addItem(QString::fromStdString(l.Type + ": " + l.Path));
    m_foundLabel->setVisible(!m_found.empty());
    cbFound->setVisible(!m_found.empty());
}

TLibrary TfrmLib::Library() const {
    return {cbLibType->currentText().toStdString(), edPath->text().toStdString()};
}

void TfrmLib::BrowseClick() {
    const QString chosen = Choose(cbLibType->currentIndex(), edPath->text());
    if (!chosen.isEmpty())
        edPath->setText(QString::fromStdString(FullPath(chosen.toStdString())));
}

void TfrmLib::OkClick() {
    if (edPath->text().trimmed().isEmpty()) {
        QApplication::beep();
        edPath->setFocus();
        return;
    }
    edPath->setText(QString::fromStdString(FullPath(edPath->text().trimmed().toStdString())));
    accept();
}

} // namespace lynkora
