#include "settings/ui/OptionsDialog.h"

#include "companions/HelpWindow.h"
#include "platform/StoredText.h"
#include "settings/BrowserDetection.h"
#include "settings/BrowserLaunch.h"
#include "settings/Settings.h"
#include "settings/ui/BrowserDialog.h"
#include "store/DataFile.h"
#include "widgets/ColorButton.h"
#include "widgets/ContextHelp.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lynkora {

namespace {

const char* const kPages[] = {"General", "Display", "Interface", "Browsers", "Proxy", "Advanced"};
const char* const kTopics[] = {"topicOptionGen",     "topicOptionsDis",   "topicOptionsInt",
                               "topicOptionsBrowse", "topicOptionsProxy", "topicOptionsAdv"};

QGroupBox* Group(const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    new QVBoxLayout(box);
    return box;
}

QLabel* Note(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QIcon IconOf(const TBrowser& b) {
    QPixmap image;
    if (!b.Icon.Empty())
        image.loadFromData(reinterpret_cast<const uchar*>(b.Icon.Data.data()), static_cast<uint>(b.Icon.Data.size()));
    return QIcon(image);
}

// The executable's small icon as image bytes, as a browser entry keeps it.
std::string SmallIconBytes(const std::string& path) {
    const QPixmap pixmap = QFileIconProvider().icon(QFileInfo(QString::fromStdString(path))).pixmap(16, 16);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!pixmap.isNull())
        pixmap.save(&buffer, "PNG");
    return bytes.toStdString();
}

} // namespace

TfrmOptions::TfrmOptions(QWidget* parent, TSettings& settings) : QDialog(parent), m_s(settings) {
    setWindowTitle(tr("Options"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint);
    opTree = new QTreeWidget(this);
    opTree->setObjectName("opTree");
    opTree->setHeaderHidden(true);
    opTree->setRootIsDecorated(false);
    opTree->setIndentation(4);
    opTree->setFixedWidth(110);
    for (const char* page : kPages)
        new QTreeWidgetItem(opTree, {tr(page)});
    stCat = new QLabel(this);
    stCat->setObjectName("stCat");
    QFont bold = stCat->font();
    bold.setBold(true);
    stCat->setFont(bold);
    stCat->setFrameShape(QFrame::Panel);
    stCat->setFrameShadow(QFrame::Sunken);
    stCat->setAutoFillBackground(true);
    stCat->setBackgroundRole(QPalette::ToolTipBase);
    stCat->setForegroundRole(QPalette::ToolTipText);
    stCat->setContentsMargins(4, 2, 4, 2);
    opPages = new QStackedWidget(this);
    for (QWidget* page : {GeneralPage(), DisplayPage(), InterfacePage(), BrowsersPage(), ProxyPage(), AdvancedPage()})
        opPages->addWidget(page);

    BtnOK = new QPushButton(tr("&OK"), this);
    BtnOK->setDefault(true);
    BtnCancel = new QPushButton(tr("Ca&ncel"), this);
    BtnHelp = new QPushButton(tr("&Help"), this);
    connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtnHelp, &QPushButton::clicked, this, [this] {
        const int page = Page();
        ShowHelpTopic(page >= 0 && page < 6 ? kTopics[page] : "topicOptions");
    });
    connect(opTree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { ShowPage(item ? opTree->indexOfTopLevelItem(item) : 0); });

    auto* right = new QVBoxLayout;
    right->addWidget(stCat);
    right->addWidget(opPages, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(opTree);
    top->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {BtnOK, BtnCancel, BtnHelp})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    setMinimumSize(560, 420);
    InstallContextHelp(this);
    opTree->setCurrentItem(opTree->topLevelItem(0));
    ShowPage(0);
}

QWidget* TfrmOptions::GeneralPage() {
    auto* page = new QWidget(this);
    auto* storage = Group(tr(" Storage mode "), page);
    rbDirect = new QRadioButton(tr("&Automatic"), storage);
    rbTransact = new QRadioButton(tr("U&ser control"), storage);
    storage->layout()->addWidget(rbDirect);
    storage->layout()->addWidget(rbTransact);
    SetHelpContext(storage, 1600);

    auto* reopen = new QGroupBox(tr(" Reopen "), page);
    auto* row = new QHBoxLayout(reopen);
    udMaxHist = new QSpinBox(reopen);
    udMaxHist->setRange(2, 8);
    udMaxHist->findChild<QLineEdit*>()->setReadOnly(true);
    auto* allow = new QLabel(tr("Allow"), reopen);
    auto* items = new QLabel(tr("items on the &Reopen-menu."), reopen);
    items->setBuddy(udMaxHist);
    BtnClear = new QPushButton(tr("Cle&ar menu"), reopen);
    row->addWidget(allow);
    row->addWidget(udMaxHist);
    row->addWidget(items, 1);
    row->addWidget(BtnClear);
    SetHelpContext(udMaxHist, 1601);
    SetHelpContext(BtnClear, 1602);
    connect(BtnClear, &QPushButton::clicked, this, [this] {
        BtnClear->setEnabled(false);
        m_s.History.clear();
        if (HistoryCleared)
            HistoryCleared();
    });

    chOpenLast = new QCheckBox(tr("Open last &used file at startup"), page);
    SetHelpContext(chOpenLast, 1603);
    auto* misc = Group(tr(" Miscellaneous "), page);
    chLaunch = new QCheckBox(tr("&Launch Lynkora at Windows startup"), misc);
    chMinimized = new QCheckBox(tr("Launch &minimized"), misc);
    chAuto = new QCheckBox(tr("&Auto-expand Category list"), misc);
    auto* indented = new QHBoxLayout;
    indented->addSpacing(20);
    indented->addWidget(chMinimized);
    misc->layout()->addWidget(chLaunch);
    static_cast<QVBoxLayout*>(misc->layout())->addLayout(indented);
    misc->layout()->addWidget(chAuto);
    SetHelpContext(chLaunch, 1604);
    SetHelpContext(chMinimized, 16041);
    SetHelpContext(chAuto, 16042);
    connect(chLaunch, &QCheckBox::toggled, this, [this](bool on) {
        chMinimized->setEnabled(on);
        if (!on)
            chMinimized->setChecked(false);
    });

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(storage);
    layout->addWidget(reopen);
    layout->addWidget(chOpenLast);
    layout->addWidget(misc);
    layout->addStretch(1);
    return page;
}

QWidget* TfrmOptions::DisplayPage() {
    auto* page = new QWidget(this);
    auto* columns = new QGroupBox(tr(" Internet shortcut display "), page);
    auto* grid = new QGridLayout(columns);
    const char* names[8] = {"Name", "URL", "Description", "Added", "Last visited", "Visits", "Last verified", "Result"};
    for (int i = 0; i < 8; ++i) {
        chCol[i] = new QCheckBox(tr(names[i]), columns);
        chCol[i]->setObjectName(QStringLiteral("chCol%1").arg(i + 1));
        grid->addWidget(chCol[i], i % 4, i / 4);
    }
    chCol[0]->setEnabled(false);
    SetHelpContext(columns, 1605);

    auto* misc = new QGroupBox(tr(" Miscellaneous "), page);
    auto* form = new QGridLayout(misc);
    BtnColor = new ColorButton(misc);
    BtnColor->setObjectName("BtnColor");
    auto* colorLabel = new QLabel(tr("New item color:"), misc);
    colorLabel->setBuddy(BtnColor);
    chCenter = new QCheckBox(tr("Ce&nter in screen"), misc);
    chDesktop = new QCheckBox(tr("&Use desktop font"), misc);
    chTool = new QCheckBox(tr("Show &toolbar"), misc);
    chHeader = new QCheckBox(tr("Show &header"), misc);
    chToolTip = new QCheckBox(tr("Show toolbar t&ooltips"), misc);
    chFlat = new QCheckBox(tr("Flat tool&buttons"), misc);
    auto* color = new QHBoxLayout;
    color->addWidget(colorLabel);
    color->addWidget(BtnColor);
    color->addStretch(1);
    form->addLayout(color, 0, 0, 1, 2);
    form->addWidget(chCenter, 1, 0);
    form->addWidget(chDesktop, 2, 0);
    form->addWidget(chFlat, 3, 0);
    form->addWidget(chTool, 1, 1);
    form->addWidget(chHeader, 2, 1);
    form->addWidget(chToolTip, 3, 1);
    SetHelpContext(chCenter, 1606);
    SetHelpContext(chDesktop, 1607);
    SetHelpContext(chFlat, 1608);
    SetHelpContext(chToolTip, 1609);
    SetHelpContext(chTool, 1610);
    SetHelpContext(chHeader, 1611);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(columns);
    layout->addWidget(misc);
    layout->addStretch(1);
    return page;
}

QWidget* TfrmOptions::InterfacePage() {
    auto* page = new QWidget(this);
    auto* styles = Group(tr(" Interface Styles "), page);
    rbClassic = new QRadioButton(tr("&Classic Style"), styles);
    rbWeb = new QRadioButton(tr("&Web Style"), styles);
    styles->layout()->addWidget(rbClassic);
    styles->layout()->addWidget(Note(tr("Standard display type. Double-click on Internet Shortcut initiates the default action."), styles));
    styles->layout()->addWidget(rbWeb);
    styles->layout()->addWidget(Note(tr("Items are highlighted when the mouse passes over them. Single-click on Internet Shortcuts initiates the default action."), styles));
    cbDefault = new QComboBox(page);
    cbDefault->addItem(tr("Display internet shortcut Properties-dialog"));
    cbDefault->addItem(tr("Open internet shortcut in default browser"));
    auto* label = new QLabel(tr("De&fault action:"), page);
    label->setBuddy(cbDefault);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(styles);
    layout->addWidget(label);
    layout->addWidget(cbDefault);
    layout->addStretch(1);
    return page;
}

QWidget* TfrmOptions::BrowsersPage() {
    auto* page = new QWidget(this);
    ListBrowse = new QListWidget(page);
    ListBrowse->setObjectName("ListBrowse");
    ListBrowse->setIconSize(QSize(16, 16));
    ListBrowse->setUniformItemSizes(true);
    BtnAdd = new QPushButton(tr("&Add..."), page);
    BtnEdit = new QPushButton(tr("P&roperties..."), page);
    BtnRemove = new QPushButton(tr("Re&move"), page);
    BtnDetect = new QPushButton(tr("A&uto-detect"), page);
    SetHelpContext(ListBrowse, 1612);
    SetHelpContext(BtnAdd, 1613);
    SetHelpContext(BtnEdit, 1614);
    SetHelpContext(BtnRemove, 1615);
    SetHelpContext(BtnDetect, 1620);
    connect(ListBrowse, &QListWidget::currentRowChanged, this, [this] { BrowserSelected(); });
    connect(ListBrowse, &QListWidget::itemDoubleClicked, this, [this] { EditBrowser(); });
    connect(BtnAdd, &QPushButton::clicked, this, [this] { AddBrowser(); });
    connect(BtnEdit, &QPushButton::clicked, this, [this] { EditBrowser(); });
    connect(BtnRemove, &QPushButton::clicked, this, [this] { RemoveBrowser(); });
    connect(BtnDetect, &QPushButton::clicked, this, [this] { DetectBrowsersNow(); });
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {BtnAdd, BtnEdit, BtnRemove, BtnDetect})
        buttons->addWidget(b);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(ListBrowse, 1);
    layout->addLayout(buttons);
    return page;
}

QWidget* TfrmOptions::ProxyPage() {
    auto* page = new QWidget(this);
    auto* group = Group(tr(" Proxy server "), page);
    chUseProxy = new QCheckBox(tr("&Use a HTTP Proxy"), group);
    SetHelpContext(chUseProxy, 1616);
    proxyPanel = new QWidget(group);
    auto* form = new QFormLayout(proxyPanel);
    edProxyServer = new QLineEdit(proxyPanel);
    edProxyPort = new QLineEdit(proxyPanel);
    edProxyUser = new QLineEdit(proxyPanel);
    edProxyPass = new QLineEdit(proxyPanel);
    edProxyPass->setEchoMode(QLineEdit::Password);
    form->addRow(tr("Server address:"), edProxyServer);
    form->addRow(tr("Port:"), edProxyPort);
    form->addRow(tr("Username:"), edProxyUser);
    form->addRow(tr("Password:"), edProxyPass);
    group->layout()->addWidget(chUseProxy);
    group->layout()->addWidget(proxyPanel);
    connect(chUseProxy, &QCheckBox::toggled, this, [this](bool on) {
        proxyPanel->setEnabled(on);
        // Values kept while the proxy was off come back when it is turned on again.
        if (on && edProxyServer->text().isEmpty() && edProxyPort->text().isEmpty()) {
            edProxyServer->setText(DecodeStoredText(m_s.ProxyServer));
            edProxyPort->setText(DecodeStoredText(m_s.ProxyPort));
            edProxyUser->setText(DecodeStoredText(m_s.ProxyUser));
            edProxyPass->setText(DecodeStoredText(m_s.ProxyPassword));
        }
    });
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Note(tr("These options are only required if you connect to the internet using a proxy server or "
                              "firewall. Leave these options off if you have a direct connection to the internet or if "
                              "you wish to use the default system settings."), page));
    layout->addWidget(group);
    layout->addStretch(1);
    return page;
}

QWidget* TfrmOptions::AdvancedPage() {
    auto* page = new QWidget(this);
    auto* css = new QGroupBox(tr(" CSS editor"), page);
    auto* grid = new QGridLayout(css);
    rbDefCSS = new QRadioButton(tr("Use default editor"), css);
    rbNotepad = new QRadioButton(tr("Use N&otepad"), css);
    rbCSSCustom = new QRadioButton(tr("Use a &custom editor:"), css);
    edCSS = new QLineEdit(css);
    BtnBrowse = new QPushButton(tr("Bro&wse..."), css);
    grid->addWidget(rbDefCSS, 0, 0, 1, 2);
    grid->addWidget(rbNotepad, 1, 0, 1, 2);
    grid->addWidget(rbCSSCustom, 2, 0, 1, 2);
    grid->addWidget(edCSS, 3, 0);
    grid->addWidget(BtnBrowse, 3, 1);
    SetHelpContext(css, 1617);
    SetHelpContext(BtnBrowse, 1618);
    for (QRadioButton* b : {rbDefCSS, rbNotepad, rbCSSCustom})
        connect(b, &QRadioButton::toggled, this, [this] { UpdateCss(); });
    connect(BtnBrowse, &QPushButton::clicked, this, [this] {
        const QString chosen = AskCssEditor ? AskCssEditor()
                                            : QFileDialog::getOpenFileName(this, tr("Select CSS Editor"), QString(),
                                                                           tr("Executables (*)"));
        if (!chosen.isEmpty())
            edCSS->setText(QFileInfo(chosen).absoluteFilePath());
    });

    auto* misc = Group(tr(" Miscellaneous "), page);
    chEnglish = new QCheckBox(tr("Use &English date format"), misc);
    SetHelpContext(chEnglish, 1619);
    misc->layout()->addWidget(chEnglish);
    auto* checks = new QHBoxLayout;
    edConnections = new QSpinBox(misc);
    edConnections->setObjectName("edConnections");
    edConnections->setRange(1, 32);
    auto* label = new QLabel(tr("Simultaneous checks:"), misc);
    label->setBuddy(edConnections);
    checks->addWidget(label);
    checks->addWidget(edConnections);
    checks->addStretch(1);
    static_cast<QVBoxLayout*>(misc->layout())->addLayout(checks);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(css);
    layout->addWidget(misc);
    layout->addStretch(1);
    return page;
}

void TfrmOptions::ShowPage(int page) {
    if (page < 0 || page >= opPages->count())
        page = 0;
    opPages->setCurrentIndex(page);
    stCat->setText(opTree->topLevelItem(page)->text(0));
    if (opTree->currentItem() != opTree->topLevelItem(page))
        opTree->setCurrentItem(opTree->topLevelItem(page));
}

int TfrmOptions::Page() const { return opPages->currentIndex(); }

void TfrmOptions::Fill() {
    TSettings& s = m_s;
    (s.FileEditMode == femDirect ? rbDirect : rbTransact)->setChecked(true);
    udMaxHist->setValue(s.MaxHistory);
    BtnClear->setEnabled(!s.History.empty());
    chOpenLast->setChecked(s.StartOpenLast);
    chLaunch->setChecked(s.Autostart);
    chMinimized->setEnabled(s.Autostart);
    chMinimized->setChecked(s.Autostart && s.AutostartMinimized);
    chAuto->setChecked(s.AutoExpandList);
    for (int i = 0; i < 8; ++i)
        chCol[i]->setChecked(i == 0 || s.Columns[static_cast<std::size_t>(i)].Visible);
    BtnColor->SetStoredColor(s.NewItemColor);
    chCenter->setChecked(s.CenterScreen);
    chDesktop->setChecked(s.UseIconFont);
    chTool->setChecked(s.ShowToolbar);
    chHeader->setChecked(s.ShowHeader);
    chToolTip->setChecked(s.ShowToolTip);
    chFlat->setChecked(s.FlatToolBtn);
    FillBrowsers();
    (s.InterfaceStyle == isClassic ? rbClassic : rbWeb)->setChecked(true);
    cbDefault->setCurrentIndex(s.DefaultAction == 1 ? 1 : 0);
    chUseProxy->setChecked(s.UseProxy);
    proxyPanel->setEnabled(s.UseProxy);
    // Unused proxy values stay out of sight, but stay stored.
    edProxyServer->setText(s.UseProxy ? DecodeStoredText(s.ProxyServer) : QString());
    edProxyPort->setText(s.UseProxy ? DecodeStoredText(s.ProxyPort) : QString());
    edProxyUser->setText(s.UseProxy ? DecodeStoredText(s.ProxyUser) : QString());
    edProxyPass->setText(s.UseProxy ? DecodeStoredText(s.ProxyPassword) : QString());
    rbDefCSS->setEnabled(s.CSSAssociation);
    if (s.UseDefaultCSS && s.CSSAssociation)
        rbDefCSS->setChecked(true);
    else if (s.UseNotepad)
        rbNotepad->setChecked(true);
    else if (!s.CSSEditor.empty()) {
        rbCSSCustom->setChecked(true);
        edCSS->setText(DecodeStoredText(s.CSSEditor));
    } else
        rbNotepad->setChecked(true);
    UpdateCss();
    chEnglish->setChecked(s.UseEnglishDate);
    edConnections->setValue(s.VerifyConnections);
}

void TfrmOptions::UpdateCss() {
    edCSS->setEnabled(rbCSSCustom->isChecked());
    BtnBrowse->setEnabled(rbCSSCustom->isChecked());
}

void TfrmOptions::FillBrowsers() {
    ListBrowse->clear();
    const TBrowsers& browsers = m_s.BrowserList.Browsers;
    for (std::size_t i = 0; i < browsers.Count(); ++i) {
        const TBrowser& b = browsers.Items(i);
        auto* item = new QListWidgetItem(IconOf(b), b.IsDefault ? tr("Default browser") : DecodeStoredText(b.Name));
        item->setSizeHint(QSize(0, 20));
        ListBrowse->addItem(item);
    }
    if (ListBrowse->count() > 0)
        ListBrowse->setCurrentRow(0);
    BrowserSelected();
}

void TfrmOptions::BrowserSelected() {
    const int row = ListBrowse->currentRow();
    BtnEdit->setEnabled(row >= 0);
    BtnRemove->setEnabled(row > 0); // the default entry is always the first row
}

bool TfrmOptions::Run(QDialog& dialog) { return RunDialog ? RunDialog(dialog) : dialog.exec() == QDialog::Accepted; }

void TfrmOptions::AddBrowser() {
    TfrmBrowser dialog(this, tr("New browser"));
    if (!Run(dialog))
        return;
    TBrowser& b = m_s.BrowserList.Browsers.Add();
    b.Path = dialog.Path();
    b.Version = dialog.Version();
    b.Name = dialog.Name();
    b.Command = dialog.Command();
    b.Icon.Data = SmallIconBytes(b.Path);
    b.IsDefault = false;
    BrowsersChanged = true;
    auto* item = new QListWidgetItem(IconOf(b), DecodeStoredText(b.Name));
    item->setSizeHint(QSize(0, 20));
    ListBrowse->addItem(item);
}

void TfrmOptions::EditBrowser() {
    const int row = ListBrowse->currentRow();
    TBrowsers& browsers = m_s.BrowserList.Browsers;
    if (row < 0 || static_cast<std::size_t>(row) >= browsers.Count())
        return;
    TBrowser& b = browsers.Items(static_cast<std::size_t>(row));
    TfrmBrowser dialog(this, tr("Browser properties"), b.IsDefault);
    dialog.SetBrowser(b.Path, b.Version, b.IsDefault ? tr("Default browser").toStdString() : b.Name, b.Command);
    if (!Run(dialog) || b.IsDefault)
        return;
    b.Name = dialog.Name();
    b.Path = dialog.Path();
    b.Command = NormalizeBrowserCommand(EncodeUserText(dialog.CommandEdit()->text())); // as typed, not trimmed
    b.Version = dialog.Version();
    b.Icon.Data = SmallIconBytes(b.Path);
    BrowsersChanged = true;
    QListWidgetItem* item = ListBrowse->item(row);
    item->setIcon(IconOf(b));
    item->setText(DecodeStoredText(b.Name));
    ListBrowse->setCurrentRow(row);
}

void TfrmOptions::RemoveBrowser() {
    const int row = ListBrowse->currentRow();
    TBrowsers& browsers = m_s.BrowserList.Browsers;
    if (row < 0 || static_cast<std::size_t>(row) >= browsers.Count())
        return;
    if (browsers.Items(static_cast<std::size_t>(row)).IsDefault) {
        const QString text = tr("You cannot remove the default browser configuration!      ");
        if (Warn)
            Warn(text);
        else
            QMessageBox::warning(this, tr("Lynkora 4.0"), text);
        return;
    }
    const QString text = tr("The browser configuration \"%1\" will be       \nremoved. Do you want to continue?")
                             .arg(ListBrowse->item(row)->text());
    const bool yes = AskYesNo ? AskYesNo(text)
                              : QMessageBox::question(this, tr("Lynkora 4.0"), text) == QMessageBox::Yes;
    if (!yes)
        return;
    browsers.Delete(static_cast<std::size_t>(row));
    delete ListBrowse->takeItem(row);
    BrowsersChanged = true;
    BrowserSelected();
}

void TfrmOptions::DetectBrowsersNow() {
    BrowsersChanged = true;
    if (Detect)
        Detect(m_s);
    else
        DetectBrowsers(m_s.BrowserList);
    FillBrowsers();
    if (ListBrowse->count() >= 2)
        ListBrowse->setCurrentRow(0);
}

bool TfrmOptions::Store() {
    TSettings& s = m_s;
    s.NewItemColor = BtnColor->StoredColor();
    s.CenterScreen = chCenter->isChecked();
    s.UseIconFont = chDesktop->isChecked();
    s.ShowToolbar = chTool->isChecked();
    s.ShowToolTip = chToolTip->isChecked();
    s.FlatToolBtn = chFlat->isChecked();
    s.StartOpenLast = chOpenLast->isChecked();
    s.AutoExpandList = chAuto->isChecked();
    s.UseDefaultCSS = rbDefCSS->isChecked();
    s.UseNotepad = rbNotepad->isChecked();
    s.UseEnglishDate = chEnglish->isChecked();
    s.MaxHistory = udMaxHist->value();
    for (std::size_t i = 1; i < 8; ++i)
        s.Columns[i].Visible = chCol[i]->isChecked();
    if (rbCSSCustom->isChecked())
        s.CSSEditor = EncodeUserText(edCSS->text());
    s.Autostart = chLaunch->isChecked();
    s.AutostartMinimized = s.Autostart && chMinimized->isChecked();
    if (chUseProxy->isChecked()) {
        s.ProxyServer = EncodeUserText(edProxyServer->text());
        s.ProxyPort = EncodeUserText(edProxyPort->text());
        s.ProxyUser = EncodeUserText(edProxyUser->text());
        s.ProxyPassword = EncodeUserText(edProxyPass->text());
    }
    s.UseProxy = chUseProxy->isChecked();
    s.ShowHeader = chHeader->isChecked();
    s.InterfaceStyle = rbClassic->isChecked() ? isClassic : isWeb;
    s.DefaultAction = cbDefault->currentIndex();
    s.VerifyConnections = edConnections->value();
    const int mode = rbDirect->isChecked() ? femDirect : femWorkingCopy;
    s.PendingFileEditMode = mode == s.FileEditMode ? 0 : mode;
    return s.PendingFileEditMode != 0;
}

} // namespace lynkora
