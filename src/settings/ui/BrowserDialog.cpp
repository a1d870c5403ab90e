#include "settings/ui/BrowserDialog.h"

#include "platform/FileInfo.h"
#include "platform/StoredText.h"
#include "settings/BrowserLaunch.h"
#include "widgets/ContextHelp.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lynkora {

TfrmBrowser::TfrmBrowser(QWidget* parent, const QString& caption, bool readOnly) : QDialog(parent) {
    setWindowTitle(caption);
    auto* group = new QGroupBox(tr("General"), this);
    auto* grid = new QGridLayout(group);
    m_exe = new QLabel(group);
    m_exe->setMinimumWidth(260);
    m_browse = new QPushButton(tr("Bro&wse..."), group);
    m_version = new QLabel(QStringLiteral("0.0.0.0"), group);
    m_name = new QLineEdit(group);
    m_name->setMaxLength(50);
    m_command = new QLineEdit(group);
    auto* nameLabel = new QLabel(tr("Display name:"), group);
    nameLabel->setBuddy(m_name);
    auto* commandLabel = new QLabel(tr("Commandline:"), group);
    commandLabel->setBuddy(m_command);
    grid->addWidget(new QLabel(tr("Executable:"), group), 0, 0);
    grid->addWidget(m_exe, 0, 1);
    grid->addWidget(m_browse, 0, 2);
    grid->addWidget(new QLabel(tr("Version:"), group), 1, 0);
    grid->addWidget(m_version, 1, 1, 1, 2);
    grid->addWidget(nameLabel, 2, 0);
    grid->addWidget(m_name, 2, 1, 1, 2);
    grid->addWidget(commandLabel, 3, 0);
    grid->addWidget(m_command, 3, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(tr("&OK"), QDialogButtonBox::AcceptRole);
    m_ok->setDefault(true);
    buttons->addButton(tr("Ca&ncel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmBrowser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfrmBrowser::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    SetHelpContext(m_browse, 1900);
    SetHelpContext(m_name, 1901);
    SetHelpContext(m_command, 1902);
    InstallContextHelp(this);
    setTabOrder(m_browse, m_name);
    setTabOrder(m_name, m_command);

    AskExecutable = [this](const QString& start) {
        QFileDialog dialog(this, tr("Select browser"), start);
        // Programs here carry no extension; any file may be chosen, only executables are taken.
        dialog.setNameFilter(tr("Applications (*)"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (!start.isEmpty())
            dialog.selectFile(start);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().front()
                                                                                       : QString();
    };
    Beep = [] { QApplication::beep(); };
    connect(m_browse, &QPushButton::clicked, this, &TfrmBrowser::Browse);

    if (readOnly) {
        m_name->setText(tr("Default browser"));
        for (QLineEdit* edit : {m_name, m_command}) {
            edit->setReadOnly(true);
            QPalette p = edit->palette();
            p.setColor(QPalette::Base, p.color(QPalette::Window));
            edit->setPalette(p);
        }
        m_browse->setEnabled(false);
        m_ok->setEnabled(false);
    }
}

void TfrmBrowser::SetBrowser(const std::string& path, const std::string& version, const std::string& name,
                             const std::string& command) {
    m_path = path;
    ShowPath();
    m_version->setText(DecodeStoredText(version.empty() ? "0.0.0.0" : version));
    if (!m_name->isReadOnly())
        m_name->setText(DecodeStoredText(name));
    m_command->setText(DecodeStoredText(command));
}

void TfrmBrowser::ChooseExecutable(const std::string& path) {
    m_path = path;
    ShowPath();
    m_version->setText(QString::fromStdString(FileVersion(path)));
    QString name = QString::fromStdString(FileDescription(path));
    if (name.isEmpty()) {
        // Programs here have no description; their file name is the best name there is.
        name = QFileInfo(QString::fromStdString(path)).fileName();
        if (!name.isEmpty())
            name[0] = name[0].toUpper();
    }
    m_name->setText(name.left(m_name->maxLength()));
    m_name->selectAll();
    m_name->setFocus();
}

std::string TfrmBrowser::Version() const {
    return m_version->text().toStdString();
}

std::string TfrmBrowser::Name() const {
    return EncodeUserText(m_name->text());
}

std::string TfrmBrowser::Command() const {
    return NormalizeBrowserCommand(EncodeUserText(m_command->text().trimmed()));
}

void TfrmBrowser::Browse() {
    const QString chosen = AskExecutable(QString::fromStdString(m_path));
    if (!chosen.isEmpty())
        ChooseExecutable(chosen.toStdString());
}

void TfrmBrowser::accept() {
    if (!m_ok->isEnabled())
        return;
    if (m_path.empty()) {
        Beep();
        m_name->setFocus();
        return;
    }
    if (m_name->text().isEmpty()) {
        Beep();
        m_name->setFocus();
        return;
    }
    QDialog::accept();
}

void TfrmBrowser::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    ShowPath();
}

void TfrmBrowser::ShowPath() {
    const QString full = QString::fromStdString(m_path);
    m_exe->setToolTip(full);
    m_exe->setText(m_exe->fontMetrics().elidedText(full, Qt::ElideMiddle, m_exe->width()));
}

} // namespace lynkora
