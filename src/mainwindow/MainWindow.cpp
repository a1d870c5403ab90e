#include "MainWindow.h"

#include "BackgroundWork.h"
#include "CommandLine.h"

#include <QScreen>

#include "companions/Companions.h"
#include "companions/HelpWindow.h"
#include "platform/QtDateLocale.h"
#include "platform/StoredText.h"
#include "settings/BrowserLaunch.h"
#include "mainwindow/CategoryDialog.h"
#include "mainwindow/EditRules.h"
#include "mainwindow/KeywordEditor.h"
#include "mainwindow/ShortcutDialog.h"
#include "mainwindow/DroppedLink.h"
#include "store/Compaction.h"
#include "store/Errors.h"
#include "store/FileReplace.h"
#include "store/NameCollator.h"
#include "store/StorageErrorText.h"
#include "store/Version.h"
#include "widgets/TitleHeader.h"
#include "mainwindow/AboutDialog.h"
#include "mainwindow/SaveFileDialog.h"
#include "mainwindow/ViewDelegates.h"
#include "mainwindow/WindowErrorSink.h"
#include "mainwindow/VerificationController.h"
#include "mainwindow/ExportController.h"
#include "mainwindow/DuplicatesController.h"
#include "mainwindow/FindController.h"
#include "mainwindow/OptionsController.h"
#include "mainwindow/ToolbarController.h"
#include "mainwindow/ImportController.h"
#include "settings/ToolbarLayout.h"

#include <cerrno>
#include <cstring>
#include "platform/Clipboard.h"
#include "store/HtmlClipboard.h"
#include "tools/CompressThread.h"
#include "tools/DeleteThread.h"
#include "verify/Connectivity.h"
#include "verify/VerificationRun.h"
#include "verify/VerifyURL.h"

#include <QDesktopServices>
#include <QStandardPaths>
#include <QUrl>

#include <QAction>
#include <QToolButton>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QPointer>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QStatusTipEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <QStyledItemDelegate>
#include <QRandomGenerator>
#include <QTimer>

namespace lynkora {

namespace {

struct ActionEntry {
    const char* name;
    const char* caption;
    const char* shortcut;
    const char* hint;
    int image; // index in the small strip, -1 for none
    const char* category; // "_" first: the window's own, never offered for the tool bar
};

// The commands of this window with their captions, keys, hints, images and categories, in the
// order the tool bar customisation offers them.
const ActionEntry kActions[] = {
    {"acNewFile", "&New datafile...", "Ctrl+N", "Create a new Lynkora datafile", 9, "New"},
    {"acClose", "&Close", "Ctrl+W", "Close the current datafile", -1, "File"},
    {"acOpen", "&Open...", "Ctrl+O", "Open an existing Lynkora datafile", 10, "File"},
    {"acSave", "&Save", "Ctrl+S", "Save the changes made to the data file", 11, "File"},
    {"acSaveAs", "Sa&ve as...", "", "Save the current datafile under a new name", -1, "File"},
    {"acBackup", "Create backup", "", "Create a backup of the current datafile", -1, "_Window"},
    {"acExit", "E&xit", "Alt+F4", "Close Lynkora", -1, "File"},
    {"acSend", "S&end...", "", "Send the current data file via e-mail", 21, "File"},
    {"acWizard", "Import and Export...", "", "Import and export your internet shortcuts", -1, "File"},
    {"CopyURL1", "Copy URL", "Ctrl+C", "Copy the selected internet shortcut's URL to clipboard", -1, "_Window"},
    {"CopyURLHTML1", "Copy URL as &HTML", "Ctrl+H", "Copy the selected internet shortcut's URL to clipboard as HTML", -1, "_Window"},
    {"acDelete", "&Delete", "Del", "Delete the selected item", 15, "Edit"},
    {"acFind", "&Find...", "Ctrl+F", "Search the data file", 12, "Edit"},
    {"acFindNext", "Find &next", "F3", "Repeat the last search", 13, "Edit"},
    {"acRename", "Re&name", "F2", "Rename the selected item", -1, "_Window"},
    {"acSelectAll", "Select &all", "Ctrl+A", "", -1, "_Window"},
    {"acProp", "&Properties", "Alt+Return", "Display properties of the selected item", 16, "Edit"},
    {"acNewFolder", "&Category...", "Ctrl+Ins", "Add a new category", 17, "New"},
    {"acNewShort", "&Internet shortcut...", "Ins", "Add a new internet shortcut", 18, "New"},
    {"acExclude", "Excl&ude", "F6", "", -1, "_Window"},
    {"Toolbar2", "&Toolbar", "", "Show or hide the toolbar", -1, "_Window"},
    {"Header1", "&Header", "", "Show or hide the header", -1, "_Window"},
    {"acViewLarge", "&Large icons", "", "", 32, "_Window"},
    {"acViewSmall", "&Small icons", "", "", 33, "_Window"},
    {"acViewList", "&List", "", "", 34, "_Window"},
    {"acViewDetails", "&Details", "", "", 35, "_Window"},
    {"viewExpand", "&Expand tree", "Ctrl+F1", "", -1, "_Window"},
    {"viewCollapse", "&Collapse tree", "Ctrl+F2", "", -1, "_Window"},
    {"acRefresh", "Re&fresh", "F5", "", 30, "View"},
    {"acOpenBrowser", "Open", "", "Open the selected shortcut in the default browser", 20, "Tools"},
    {"acScanDup", "Scan for &duplicates", "F4", "Scan for duplicate URL's", 31, "_Window"},
    {"acLibraries", "Sync&hronize...", "F7", "Synchronize", 36, "Tools"},
    {"acVerShort", "S&hortcut", "F10", "Verify the selected internet shortcut", 22, "Verifiy"},
    {"acVerCat", "&Category", "F9", "Verify all internet shortcuts in the selected category", 23, "Verifiy"},
    {"acVerSkip", "S&kip shortcut", "F11", "Skip verification of the current internet shortcut", 25, "Verifiy"},
    {"acVerAbort", "A&bort all", "F12", "Abort the verification", 28, "Verifiy"},
    {"acVerFile", "E&ntire file", "F8", "Verify all internet shortcuts in the data file", 24, "Verifiy"},
    {"acVerError", "Re-verify errors", "", "", 29, "Verifiy"},
    {"acExport", "E&ntire file...", "", "Export the entire file to HTML", -1, "Export"},
    {"acExportFolder", "S&elected category...", "", "Export the selected category to HTML", -1, "Export"},
    {"acImportFile", "&File...", "", "Import URL's from file", -1, "Import"},
    {"acImportBrowser", "Bro&wsers...", "", "Import browser libraries", -1, "Import"},
    {"acCustom", "C&ustomize toolbar...", "", "Customize the toolbar", -1, "_Window"},
    {"Options1", "Opti&ons...", "", "Customize Lynkora", -1, "_Window"},
    {"acHelpTopics", "&Help topics", "F1", "Display Lynkora help topics", 19, "Help"},
    {"LynkoraWeb1", "Lynkora &website", "", "", -1, "_Window"},
    {"Helpindex1", "Help in&dex", "", "", -1, "_Window"},
    {"Credits1", "Credits...", "", "", -1, "_Window"},
    {"About1", "A&bout...", "", "", -1, "_Window"},
};

std::vector<QIcon> CutStrip(const QByteArray& small, const QByteArray& large) {
    std::vector<QIcon> icons;
    QImage s = QImage::fromData(small), l = QImage::fromData(large);
    if (s.isNull())
        return icons;
    // Fuchsia is the transparent colour of the strips.
    auto transparent = [](QImage img) {
        img = img.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixelColor(x, y) == QColor(255, 0, 255))
                    img.setPixelColor(x, y, Qt::transparent);
        return img;
    };
    s = transparent(s);
    if (!l.isNull())
        l = transparent(l);
    const int n = s.width() / 16;
    for (int i = 0; i < n; ++i) {
        QIcon icon(QPixmap::fromImage(s.copy(i * 16, 0, 16, 16)));
        if (!l.isNull() && (i + 1) * 32 <= l.width())
            icon.addPixmap(QPixmap::fromImage(l.copy(i * 32, 0, 32, 32)));
        icons.push_back(icon);
    }
    return icons;
}

} // namespace

TfrmMainLynkora::TfrmMainLynkora(Registry& registry, const SettingsEnvironment& environment, QWidget* parent)
    : QMainWindow(parent), m_registry(registry) {
    setWindowTitle(kTitle);
    m_settings = std::make_unique<TSettings>(registry, environment);
    m_locale = std::make_unique<QtDateLocale>();
    m_treeModel = new CategoryTreeModel(this);
    m_listModel = new ShortcutListModel(this);
    m_verification = new VerificationController(*this);
    // A file handed over while the document was held is opened once the command has returned.
    m_leases.OnFreed([this] { HandlePendingCommandLine(); });
    m_pendingRetry.setSingleShot(true);
    m_pendingRetry.setInterval(200);
    connect(&m_pendingRetry, &QTimer::timeout, this, [this] { HandlePendingCommandLine(); });
    m_export = new ExportController(*this);
    m_find = new FindController(*this);
    m_duplicates = new DuplicatesController(*this);
    m_options = new OptionsController(*this);
    m_listModel->ShownBusy = [this](std::uint32_t id) { return m_verification->MarkedBusy(id); };
    CreateActions();
    CreateViews();
    CreateMenusAndToolbar();
    CreateArrangeMenus();
    m_toolbarCtl = new ToolbarController(*this);
    m_import = new ImportController(*this);
}

const std::vector<QString>& TfrmMainLynkora::AboutTexts() {
    static const std::vector<QString> texts = {
        "What did you do that for?", "Exuse me?", "Do you think that's funny?",
        "I'm sure you have something better to do.", "I say, what is it you're trying to do?",
        "Please stop doing that.", "Just how desperate are you?", "Please stop touching me",
        "Could you please stop touching me?",
        "Right! That does it! Touch me again and I'll....I'll....you...\nyou....uhmmm...just stop touching me!!!",
        "For the last time: stop touching me! I don't like to be touched!",
        "Got a good reason for doing this?", "Just what is your major malfunction?",
        "Ok, congratulations. You found the extra special\nhidden easter egg. Feel better now?"};
    return texts;
}

void TfrmMainLynkora::CreateArrangeMenus() {
    // The list's context menu with its arrange radio groups.
    m_popList = new QMenu(this);
    m_defaultOpen = m_popList->addAction(tr("Open"), this, [this] { Guarded([this] { acOpenBrowserExecute(); }); });
    m_mnuBrowse = m_popList->addMenu(tr("Open in"));
    m_popBrowse = new QMenu(this);
    m_popList->addSeparator();
    QMenu* viewMenu = m_popList->addMenu(tr("&View"));
    for (const char* name : {"acViewLarge", "acViewSmall", "acViewList", "acViewDetails"})
        viewMenu->addAction(Action(name));
    QMenu* arrange = m_popList->addMenu(tr("&Arrange"));
    auto* byGroup = new QActionGroup(arrange);
    const char* listKeys[] = {"by &Name", "by &URL", "by &Visits"};
    for (int i = 0; i < 3; ++i) {
        m_listBy[i] = arrange->addAction(tr(listKeys[i]));
        m_listBy[i]->setCheckable(true);
        byGroup->addAction(m_listBy[i]);
        connect(m_listBy[i], &QAction::triggered, this, [this, i] {
            SetListOrder(200 + 2 * i + (m_listDir[1]->isChecked() ? 1 : 0));
        });
    }
    arrange->addSeparator();
    auto* dirGroup = new QActionGroup(arrange);
    const char* dirs[] = {"&Ascending", "&Descending"};
    for (int i = 0; i < 2; ++i) {
        m_listDir[i] = arrange->addAction(tr(dirs[i]));
        m_listDir[i]->setCheckable(true);
        dirGroup->addAction(m_listDir[i]);
        connect(m_listDir[i], &QAction::triggered, this, [this, i] {
            int key = 0;
            for (int k = 0; k < 3; ++k)
                if (m_listBy[k]->isChecked())
                    key = k;
            SetListOrder(200 + 2 * key + i);
        });
    }
    m_popList->addSeparator();
    QMenu* newMenu = m_popList->addMenu(tr("&New"));
    newMenu->addAction(Action("acNewFolder"));
    newMenu->addAction(Action("acNewShort"));
    m_popList->addSeparator();
    m_popList->addAction(Action("acDelete"));
    m_popList->addAction(Action("acRename"));
    MenuItemFor(m_popList, tr("&Verify"), Action("acVerShort"));
    m_popList->addSeparator();
    m_defaultProps = Action("acProp");
    m_popList->addAction(m_defaultProps);

    // The tree's context menu.
    m_popTree = new QMenu(this);
    QMenu* treeArrange = m_popTree->addMenu(tr("&Arrange"));
    auto* treeBy = new QActionGroup(treeArrange);
    const char* treeKeys[] = {"by &Name", "by A&ccess"};
    for (int i = 0; i < 2; ++i) {
        m_treeBy[i] = treeArrange->addAction(tr(treeKeys[i]));
        m_treeBy[i]->setCheckable(true);
        treeBy->addAction(m_treeBy[i]);
        connect(m_treeBy[i], &QAction::triggered, this, [this, i] {
            SetTreeOrder(100 + 2 * i + (m_treeDir[1]->isChecked() ? 1 : 0));
        });
    }
    treeArrange->addSeparator();
    auto* treeDir = new QActionGroup(treeArrange);
    for (int i = 0; i < 2; ++i) {
        m_treeDir[i] = treeArrange->addAction(tr(dirs[i]));
        m_treeDir[i]->setCheckable(true);
        treeDir->addAction(m_treeDir[i]);
        connect(m_treeDir[i], &QAction::triggered, this, [this, i] {
            SetTreeOrder(100 + (m_treeBy[1]->isChecked() ? 2 : 0) + i);
        });
    }
    m_popTree->addSeparator();
    QMenu* treeNew = m_popTree->addMenu(tr("&New"));
    treeNew->addAction(Action("acNewFolder"));
    treeNew->addAction(Action("acNewShort"));
    // Shown once the category export is wired to it.
    QAction* expFolder = MenuItemFor(m_popTree, tr("Export to &HTML"), Action("acExportFolder"));
    expFolder->setObjectName("expFolder");
    expFolder->setVisible(false);
    m_popTree->addSeparator();
    m_popTree->addAction(Action("acDelete"));
    m_popTree->addAction(Action("acRename"));
    m_popTree->addAction(Action("acExclude"));
    MenuItemFor(m_popTree, tr("&Verify"), Action("acVerCat"));
    m_popTree->addSeparator();
    m_popTree->addAction(Action("acProp"));

    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(m_detailsView), static_cast<QAbstractItemView*>(m_iconView)}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& p) { m_popList->popup(view->viewport()->mapToGlobal(p)); });
    }
    m_treeView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_treeView, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        const QModelIndex at = m_treeView->indexAt(p);
        if (at.isValid())
            m_treeView->setCurrentIndex(at); // a right click selects the node first
        m_popTree->popup(m_treeView->viewport()->mapToGlobal(p));
    });
}

void TfrmMainLynkora::SetListOrder(int order) {
    if (order < 200 || order > 205)
        order = 200;
    m_settings->ListSortOrder = order;
    m_listBy[(order - 200) / 2]->setChecked(true);
    m_listDir[(order - 200) % 2]->setChecked(true);
    m_listModel->SortList(order);
}

void TfrmMainLynkora::SetTreeOrder(int order) {
    if (order < 100 || order > 103)
        order = 100;
    m_settings->TreeSortOrder = order;
    m_treeBy[(order - 100) / 2]->setChecked(true);
    m_treeDir[(order - 100) % 2]->setChecked(true);
    m_treeModel->SortTree(order);
}

void TfrmMainLynkora::BuildBrowserMenu() {
    m_mnuBrowse->clear();
    m_popBrowse->clear();
    QAction* open = Action("acOpenBrowser");
    const TBrowsers& browsers = m_settings->BrowserList.Browsers;
    for (std::size_t i = 0; i < browsers.Count(); ++i) {
        const TBrowser& b = browsers.Items(i);
        QPixmap image;
        if (!b.Icon.Empty())
            image.loadFromData(reinterpret_cast<const uchar*>(b.Icon.Data.data()), static_cast<uint>(b.Icon.Data.size()));
        if (b.IsDefault) {
            if (!image.isNull())
                open->setIcon(QIcon(image));
            open->setStatusTip(tr("Open selected shortcut in default browser"));
            continue;
        }
        const QString name = DecodeStoredText(b.Name);
        const std::uint32_t id = b.ID();
        for (QMenu* menu : {m_mnuBrowse, m_popBrowse}) {
            QAction* item = menu->addAction(QIcon(image), name, this, [this, id] {
                Guarded([&] { HandleBrowser(id); });
            });
            item->setStatusTip(tr("Open selected shortcut in %1").arg(name));
            item->setData(id);
        }
    }
    acUpdateCtrls();
}

void TfrmMainLynkora::HandleBrowser(std::uint32_t browserId) {
    const TBrowser* browser = m_settings->BrowserList.Browsers.FindItemID(browserId);
    CategoryNode* node = SelectedNode();
    const auto ids = SelectedIds();
    if (!browser || !node || ids.empty())
        return;
    TIShortcut* s = node->Folder().Shortcuts.FindItemID(ids.front());
    if (!s)
        return;
    LaunchBrowser(browser->Path, BrowserParameters(browser->Command, s->URL));
    node->Folder().CountAccess();
    s->Access = NowDateTime();
    ++s->Count;
    // The row keeps its old cells until the list is filled again.
    WriteBackUsage(*node);
}

void TfrmMainLynkora::ListItemClick() {
    if (SelectedIds().empty())
        return;
    if (m_settings->DefaultAction != 0) {
        // Activation counts the category before the launch, so it counts even when that fails.
        if (CategoryNode* node = SelectedNode()) {
            node->Folder().CountAccess();
            m_categoryCounted = true;
        }
        Guarded([this] { acOpenBrowserExecute(); });
        m_categoryCounted = false;
    }
    else
        Action("acProp")->trigger();
}

void TfrmMainLynkora::ApplyInterfaceStyle() {
    const bool web = m_settings->InterfaceStyle == isWeb;
    for (const auto& c : m_activation)
        disconnect(c);
    m_activation.clear();
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(m_detailsView), static_cast<QAbstractItemView*>(m_iconView)}) {
        view->setMouseTracking(web);
        m_activation.push_back(connect(view, web ? &QAbstractItemView::clicked : &QAbstractItemView::doubleClicked,
                                       this, [this](const QModelIndex&) { ListItemClick(); }));
        view->setDragEnabled(!web);
        if (web) {
            // The item under the pointer becomes selected when the pointer rests on it.
            auto* timer = new QTimer(view);
            timer->setSingleShot(true);
            timer->setInterval(500);
            m_activation.push_back(connect(view, &QAbstractItemView::entered, timer, [timer, view](const QModelIndex& i) {
                timer->disconnect();
                QObject::connect(timer, &QTimer::timeout, view, [view, i] {
                    if (i.isValid())
                        view->setCurrentIndex(i);
                });
                timer->start();
            }));
        }
    }
    // The default action's item is the bold one of the list's menu.
    QFont bold = m_popList->font(), normal = m_popList->font();
    bold.setBold(true);
    m_defaultOpen->setFont(m_settings->DefaultAction != 0 ? bold : normal);
    m_defaultProps->setFont(m_settings->DefaultAction != 0 ? normal : bold);
}

void TfrmMainLynkora::StoreColumns() {
    TLVColumns& columns = m_settings->Columns;
    for (int i = TLVColumns::URL; i < TLVColumns::Count; ++i)
        columns[static_cast<std::size_t>(i)].Visible = false;
    for (int c = 0; c < m_listModel->columnCount(); ++c) {
        TLVColumn& column = columns[static_cast<std::size_t>(m_listModel->ColumnKind(c))];
        column.Visible = true;
        column.Width = m_detailsView->header()->sectionSize(c);
        column.Position = m_detailsView->header()->visualIndex(c);
    }
}

TfrmMainLynkora::~TfrmMainLynkora() {
    m_leases.OnFreed(nullptr); // a child giving its lease back later finds no window to call
    try {
        if (m_file)
            CloseDocument();
        WaitForAllCompactions(); // the one a Close started, before the program's end
        m_settings->WinMax = isMaximized();
        m_settings->SaveAll();
    } catch (...) {
        // Nothing can be shown any more.
    }
}

QAction* TfrmMainLynkora::Action(const std::string& name) const {
    auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

void TfrmMainLynkora::CreateActions() {
    for (const ActionEntry& entry : kActions) {
        auto* a = new QAction(tr(entry.caption), this);
        a->setObjectName(entry.name);
        if (*entry.shortcut)
            a->setShortcut(QKeySequence(entry.shortcut));
        a->setStatusTip(tr(entry.hint));
        a->setProperty("image", entry.image);
        m_actions[entry.name] = a;
    }
    // The commands that open, close or replace the document check that nothing holds it.
    auto on = [this](const char* name, auto f) {
        connect(Action(name), &QAction::triggered, this, [this, f] { Guarded([this, f] { (this->*f)(); }); });
    };
    // The others hold it while they run.
    auto holding = [this](const char* name, auto f) {
        connect(Action(name), &QAction::triggered, this, [this, f] {
            const DocumentLeases::Lease lease = HoldDocument();
            Guarded([this, f] { (this->*f)(); });
        });
    };
    on("acNewFile", &TfrmMainLynkora::acNewFileExecute);
    on("acOpen", &TfrmMainLynkora::acOpenExecute);
    on("acSave", &TfrmMainLynkora::acSaveExecute);
    on("acSaveAs", &TfrmMainLynkora::acSaveAsExecute);
    on("acBackup", &TfrmMainLynkora::acBackupExecute);
    on("acClose", &TfrmMainLynkora::acCloseExecute);
    connect(Action("acExit"), &QAction::triggered, this, &QWidget::close);
    connect(Action("acWizard"), &QAction::triggered, this, [this] {
        // The wizard drives the window with its command codes, checked by their signature.
        ShowWizard(this, [](void* context, int code, long signature) {
            auto* w = static_cast<TfrmMainLynkora*>(context);
            WizardActions a;
            a.importFile = [w] { w->Action("acImportFile")->trigger(); };
            a.importBrowser = [w] { w->Action("acImportBrowser")->trigger(); };
            a.exportFile = [w] { w->Action("acExport")->trigger(); };
            a.exportFolder = [w] { w->Action("acExportFolder")->trigger(); };
            a.exportFolderEnabled = [w] { return w->Action("acExportFolder")->isEnabled(); };
            a.libraries = [w] { w->Action("acLibraries")->trigger(); };
            DispatchWizardCommand(code, signature, a);
        }, this);
    });
    connect(Action("acSend"), &QAction::triggered, this, [this] {
        if (m_file)
            SendLynkoraFile(m_file->FileName());
    });
    for (const char* name : {"Toolbar2", "Header1"}) {
        Action(name)->setCheckable(true);
        Action(name)->setChecked(true);
    }
    connect(Action("Toolbar2"), &QAction::toggled, this, [this](bool on) {
        m_toolbar->setVisible(on);
        m_settings->ShowToolbar = on;
    });
    connect(Action("Header1"), &QAction::toggled, this, [this](bool on) {
        m_header->setVisible(on);
        m_settings->ShowHeader = on;
    });
    m_viewGroup = new QActionGroup(this);
    const std::pair<const char*, int> views[] = {{"acViewLarge", lvsLarge}, {"acViewSmall", lvsSmall},
                                                 {"acViewList", lvsList}, {"acViewDetails", lvsDetails}};
    for (const auto& [name, style] : views) {
        QAction* a = Action(name);
        a->setCheckable(true);
        m_viewGroup->addAction(a);
        const int s = style;
        connect(a, &QAction::triggered, this, [this, s] { SetViewStyle(s); });
    }
    on("viewExpand", &TfrmMainLynkora::viewExpandExecute);
    on("viewCollapse", &TfrmMainLynkora::viewCollapseExecute);
    on("acRefresh", &TfrmMainLynkora::acRefreshExecute);
    connect(Action("LynkoraWeb1"), &QAction::triggered, this, [this] {
        Guarded([] {
            if (!QDesktopServices::openUrl(QUrl(QString::fromLatin1(kWebSite))))
                throw ELynkora(LaunchErrorText(ENOENT, std::strerror(ENOENT)));
        });
    });
    connect(Action("acHelpTopics"), &QAction::triggered, this, [] { ShowHelpContents(); });
    connect(Action("CopyURL1"), &QAction::triggered, this, [this] { CopyUrl(false); });
    connect(Action("CopyURLHTML1"), &QAction::triggered, this, [this] { CopyUrl(true); });
    connect(Action("acSelectAll"), &QAction::triggered, this, [this] {
        if (m_listStack->currentWidget() == m_detailsView)
            m_detailsView->selectAll();
        else
            m_iconView->selectAll();
    });
    holding("acOpenBrowser", &TfrmMainLynkora::acOpenBrowserExecute);
    holding("acDelete", &TfrmMainLynkora::acDeleteExecute);
    holding("acRename", &TfrmMainLynkora::acRenameExecute);
    holding("acNewFolder", &TfrmMainLynkora::acNewFolderExecute);
    holding("acProp", &TfrmMainLynkora::acPropExecute);
    connect(Action("acNewShort"), &QAction::triggered, this, [this] {
        const DocumentLeases::Lease lease = HoldDocument();
        Guarded([this] { NewShortcut({}, {}); });
    });
    m_treeModel->OnRename = [this](CategoryNode& node, const QString& text) {
        Guarded([&] { CategoryEdited(node, text); });
    };
    m_treeModel->OnDropCategory = [this](CategoryNode& dragged, CategoryNode& target) {
        Guarded([&] { DropCategory(dragged, target); });
    };
    m_treeModel->OnDropShortcuts = [this](CategoryNode& target) { Guarded([&] { DropShortcuts(target); }); };
    m_treeModel->ListCategory = [this] { return SelectedNode(); };
    m_listModel->OnRename = [this](std::uint32_t id, const QString& text) {
        Guarded([&] { ShortcutEdited(id, text); });
    };
    holding("acExclude", &TfrmMainLynkora::acExcludeExecute);
    on("acSelectAll", &TfrmMainLynkora::acSelectAllExecute);
    ConnectDocumentCommand("acExport", m_export, &ExportController::ExportFile);
    ConnectDocumentCommand("acFind", m_find, &FindController::Find);
    ConnectDocumentCommand("acFindNext", m_find, &FindController::FindNext);
    ConnectDocumentCommand("acScanDup", m_duplicates, &DuplicatesController::Scan);
    ConnectDocumentCommand("Options1", m_options, &OptionsController::Options);
    ConnectDocumentCommand("acExportFolder", m_export, &ExportController::ExportFolder);
    // A verification run returns when its last check has ended: it holds the tree until then.
    ConnectDocumentCommand("acVerFile", m_verification, &VerificationController::VerifyEntireFile);
    ConnectDocumentCommand("acVerCat", m_verification, &VerificationController::VerifyCategory);
    ConnectDocumentCommand("acVerShort", m_verification, &VerificationController::VerifyShortcuts);
    ConnectDocumentCommand("acVerError", m_verification, &VerificationController::ReverifyErrors);
    connect(Action("acVerSkip"), &QAction::triggered, m_verification, &VerificationController::Skip);
    connect(Action("acVerAbort"), &QAction::triggered, m_verification, &VerificationController::AbortAll);
    connect(Action("Helpindex1"), &QAction::triggered, this, [] { ShowHelpIndex(); });
    connect(Action("About1"), &QAction::triggered, this, [this] {
        const auto mods = QApplication::keyboardModifiers();
        if ((mods & Qt::ControlModifier) && (mods & Qt::AltModifier)) {
            const auto& texts = AboutTexts();
            QMessageBox::information(this, kTitle, texts[QRandomGenerator::global()->bounded(int(texts.size()))]);
            return;
        }
        TAboutForm about(m_settings->ProgramVersion == "0.0.0.0" ? std::string(kProgramVersion)
                                                                  : m_settings->ProgramVersion,
                         this);
        Run(about);
    });
    connect(Action("Credits1"), &QAction::triggered, this, [this] {
        CreditsDialog credits(this);
        Run(credits);
    });
    // Every command's key works wherever the focus is, also those shown only in pop-up menus.
    for (auto& [name, action] : m_actions)
        addAction(action);
}

void TfrmMainLynkora::CreateViews() {
    m_workArea = new QStackedWidget(this);
    auto* empty = new QLabel(m_workArea);
    empty->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_workArea->addWidget(empty);

    auto* split = m_split = new QSplitter(m_workArea);
    m_treeView = new QTreeView(split);
    m_treeView->setObjectName("urlTree");
    m_treeView->setHeaderHidden(true);
    m_treeView->setModel(m_treeModel);
    m_treeView->setEditTriggers(QAbstractItemView::NoEditTriggers); // renames start from the Rename command
    m_treeView->setDragDropMode(QAbstractItemView::DragDrop);
    m_treeView->setDefaultDropAction(Qt::MoveAction);
    m_treeView->setDropIndicatorShown(true);
    m_treeView->setItemDelegate(new CategoryNodeDelegate(m_treeView));
    m_treeView->viewport()->setAttribute(Qt::WA_Hover); // the node under the pointer is underlined
    m_treeView->setMouseTracking(true);
    auto* right = new QWidget(split);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    m_header = new TitleHeader(right);
    m_header->setObjectName("titleHeader");
    rightLayout->addWidget(m_header);
    m_listStack = new QStackedWidget(right);
    m_detailsView = new QTreeView(m_listStack);
    m_detailsView->setObjectName("ListView1");
    m_detailsView->setRootIsDecorated(false);
    m_detailsView->setUniformRowHeights(true);
    m_detailsView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_detailsView->setModel(m_listModel);
    m_detailsView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_detailsView->setItemDelegate(new ShortcutItemDelegate(m_detailsView));
    m_iconView = new QListView(m_listStack);
    m_iconView->setModel(m_listModel);
    m_iconView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_iconView->setItemDelegate(new ShortcutItemDelegate(m_iconView));
    m_iconView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_iconView->setUniformItemSizes(true);
    m_iconView->setMovement(QListView::Static); // items are dragged onto categories, never rearranged
    m_iconView->setDragDropMode(QAbstractItemView::DragOnly);
    m_detailsView->setDragDropMode(QAbstractItemView::DragOnly);
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(m_detailsView), static_cast<QAbstractItemView*>(m_iconView)}) {
        view->viewport()->setAcceptDrops(true);
        view->viewport()->installEventFilter(this);
        view->installEventFilter(this); // Enter runs the default action
    }
    m_listStack->addWidget(m_detailsView);
    m_listStack->addWidget(m_iconView);
    rightLayout->addWidget(m_listStack, 1);
    split->addWidget(m_treeView);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    m_workArea->addWidget(split);
    setCentralWidget(m_workArea);

    connect(m_treeView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                Guarded([&] {
                    CategoryNode* node = m_treeModel->NodeAt(current);
                    FillList(node);
                    m_header->SetCaption(node ? DecodeStoredText(CategoryTree::CategoryPath(*node)) : QString());
                    acUpdateCtrls();
                });
            });
    auto selectionChanged = [this] { UpdateRecordText(); acUpdateCtrls(); };
    connect(m_detailsView->selectionModel(), &QItemSelectionModel::selectionChanged, this, selectionChanged);
    connect(m_iconView->selectionModel(), &QItemSelectionModel::selectionChanged, this, selectionChanged);
    QHeaderView* columnHeader = m_detailsView->header();
    columnHeader->setSectionsClickable(true);
    columnHeader->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(columnHeader, &QWidget::customContextMenuRequested, this, [this, columnHeader](const QPoint& p) {
        ShowColumnMenu(columnHeader->mapToGlobal(p));
    });
    connect(m_detailsView->header(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (section != 0)
            return; // only the Name header sorts: by name, the direction switched
        SetListOrder(m_listDir[0]->isChecked() ? 201 : 200);
    });

    m_statusIcon = new QLabel(this);
    m_statusIcon->setObjectName("statusIcon");
    m_statusIcon->setVisible(false);
    statusBar()->addWidget(m_statusIcon);
    for (int i = 0; i < 3; ++i) {
        m_status[i] = new QLabel(this);
        statusBar()->addWidget(m_status[i], i == 0 ? 1 : 0);
    }
    m_status[0]->setMinimumWidth(300);
    m_status[1]->setMinimumWidth(100);
    m_status[2]->setMinimumWidth(50);
}

void TfrmMainLynkora::CreateMenusAndToolbar() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(Action("acNewFile"));
    file->addSeparator();
    file->addAction(Action("acOpen"));
    m_history = file->addMenu(tr("&Reopen"));
    m_history->setObjectName("mnuHistory");
    file->addAction(Action("acClose"));
    file->addSeparator();
    file->addAction(Action("acSave"));
    file->addAction(Action("acSaveAs"));
    file->addSeparator();
    file->addAction(Action("acBackup"));
    file->addAction(Action("acSend"));
    file->addAction(Action("acWizard"));
    file->addSeparator();
    file->addAction(Action("acExit"));
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(Action("CopyURL1"));
    edit->addAction(Action("CopyURLHTML1"));
    edit->addSeparator();
    edit->addAction(Action("acFind"));
    edit->addAction(Action("acFindNext"));
    edit->addSeparator();
    edit->addAction(Action("acDelete"));
    edit->addAction(Action("acRename"));
    edit->addAction(Action("acSelectAll"));
    edit->addSeparator();
    edit->addAction(Action("acProp"));
    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(Action("Toolbar2"));
    view->addAction(Action("Header1"));
    view->addSeparator();
    for (const char* name : {"acViewLarge", "acViewSmall", "acViewList", "acViewDetails"})
        view->addAction(Action(name));
    view->addSeparator();
    view->addAction(Action("viewExpand"));
    view->addAction(Action("viewCollapse"));
    view->addSeparator();
    view->addAction(Action("acRefresh"));
    QMenu* tools = menuBar()->addMenu(tr("&Tools"));
    tools->addAction(Action("acOpenBrowser"));
    tools->addSeparator();
    tools->addAction(Action("acScanDup"));
    tools->addAction(Action("acLibraries"));
    QMenu* verify = tools->addMenu(tr("&Verify"));
    verify->addAction(Action("acVerFile"));
    verify->addAction(Action("acVerCat"));
    verify->addAction(Action("acVerShort"));
    verify->addSeparator();
    verify->addAction(Action("acVerSkip"));
    verify->addAction(Action("acVerAbort"));
    tools->addAction(Action("acVerError"));
    tools->addSeparator();
    tools->addAction(Action("acCustom"));
    tools->addAction(Action("Options1"));
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(Action("acHelpTopics"));
    help->addAction(Action("Helpindex1"));
    help->addSeparator();
    help->addAction(Action("LynkoraWeb1"));
    help->addSeparator();
    help->addAction(Action("Credits1"));
    help->addAction(Action("About1"));

    m_toolbar = addToolBar(tr("Toolbar"));
    m_toolbar->setObjectName("toolMain");
    m_popHistory = new QMenu(this);
    m_popHistory->setObjectName("popHistory");
}

std::vector<TToolCommand> TfrmMainLynkora::ToolCommands() const {
    std::vector<TToolCommand> commands;
    for (const ActionEntry& entry : kActions)
        commands.push_back({entry.name, entry.category, entry.caption, entry.image});
    return commands;
}

QIcon TfrmMainLynkora::SmallImage(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < m_smallImages.size() ? m_smallImages[static_cast<std::size_t>(index)]
                                                                                 : QIcon();
}

void TfrmMainLynkora::ApplyViewFont() {
    const QFont font = m_settings->UseIconFont ? QApplication::font("QAbstractItemView") : QApplication::font();
    for (QWidget* view : std::initializer_list<QWidget*>{m_treeView, m_detailsView, m_iconView})
        view->setFont(font);
}

void TfrmMainLynkora::LoadImages() {
    Artpack art;
    art.Require();
    m_smallImages = CutStrip(art.Resource("BMP_1"), art.Resource("BMP_2"));
    m_treeModel->SetImages(m_smallImages);
    m_listModel->SetImages(m_smallImages);
    for (auto& [name, action] : m_actions) {
        const int image = action->property("image").toInt();
        if (image >= 0 && static_cast<std::size_t>(image) < m_smallImages.size())
            action->setIcon(m_smallImages[static_cast<std::size_t>(image)]);
    }
    setWindowIcon(m_smallImages.empty() ? QIcon() : m_smallImages[0]);
    m_statusImages = CutStrip(art.Resource("BMP_3"), {});
    if (!m_statusImages.empty())
        m_statusIcon->setPixmap(m_statusImages.front().pixmap(16, 16));
}

void TfrmMainLynkora::ApplySettings() {
    TSettings& s = *m_settings;
    if (s.FileEditMode == femDirect)
        Action("acSave")->setVisible(false);
    Action("Toolbar2")->setChecked(s.ShowToolbar);
    m_toolbar->setVisible(s.ShowToolbar);
    Action("Header1")->setChecked(s.ShowHeader);
    m_header->setVisible(s.ShowHeader);
    SetViewStyle(s.ListViewStyle);
    ApplyColumns();
    m_listModel->SetDates(s.UseEnglishDate, m_locale.get());
    SetListOrder(s.ListSortOrder);
    SetTreeOrder(s.TreeSortOrder);
    ApplyInterfaceStyle();
    m_verification->ApplySettings(s);
    m_detailsView->header()->resizeSection(0, std::max(s.Columns[TLVColumns::Name].Width, 60));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ApplyToolbarLook();
    ApplyViewFont();
    if (s.WinMax) {
        showMaximized();
    } else {
        resize(std::max(s.WinWidth, 400), std::max(s.WinHeight, 300));
        if (!s.CenterScreen) {
            move(s.WinLeft, s.WinTop);
        } else if (const QScreen* scr = screen()) {
            // Centre on the available area, not the full screen, so a panel never covers the caption.
            QRect frame(QPoint(0, 0), size());
            frame.moveCenter(scr->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    m_treeView->setMinimumWidth(80);
    // The list takes whatever the tree leaves; the splitter shrinks it if the window is narrower.
    m_split->setSizes({std::max(s.TreeWidth, 80), std::max(width() - s.TreeWidth, 1)});
    RebuildHistoryMenus();
}

void TfrmMainLynkora::InitializeMainWindow(const QString& commandLine) {
    Verifying = false;
    LoadImages();
    ApplySettings();
    BuildBrowserMenu();
    m_toolbarCtl->Load();
    HandleCommandLine(commandLine);
}

bool TfrmMainLynkora::DocumentFree() const {
    return !m_opening && !m_leases.Held() && !QApplication::activeModalWidget();
}

bool TfrmMainLynkora::RefuseWhileHeld() {
    if (DocumentFree())
        return false;
    ShowWarningBox(tr("Lynkora is still working with the open data file.\n"
                      "Please wait until the running command has ended."));
    return true;
}

void TfrmMainLynkora::HandleCommandLine(const QString& text) {
    if (!DocumentFree()) {
        // Opening a file now would free the tree under whatever holds it: it waits.
        if (!text.trimmed().isEmpty()) {
            m_pendingCommandLines << text;
            m_pendingRetry.start();
        }
        return;
    }
    Guarded([&] {
        const CommandLine line = ParseCommandLine(text);
        if (line.path.isEmpty()) {
            if (line.minimized)
                showMinimized();
            if (m_settings->StartOpenLast && !m_settings->History.empty()) {
                OpenDocument(m_settings->History.front());
                RebuildHistoryMenus(); // checks the open file's item
            }
            return;
        }
        if (OpenDocument(line.path.toStdString()))
            AddToHistory(line.path.toStdString());
    });
}

bool TfrmMainLynkora::OpenDocument(const std::string& path) {
    if (RefuseWhileHeld())
        return false;
    if (m_file && !CloseFile())
        return false;
    // A large collection takes a while to read: the window keeps painting meanwhile. No view
    // shows the tree until it is complete, and nothing else may open, close or change it.
    m_treeModel->SetTree(nullptr);
    std::unique_ptr<TDataFile> file;
    m_opening = true;
    DocumentLeases::Lease reading = HoldDocument();
    try {
        const bool direct = m_settings->FileEditMode == femDirect;
        const auto order = m_settings->TreeSortOrder;
        RunWhileWindowResponds([&] {
            file = std::make_unique<TDataFile>(path, direct);
            file->CheckVersion(kProgramVersion);
            file->LoadTree(m_tree);
            m_tree.SortTree(order);
        });
    } catch (...) {
        m_opening = false;
        m_tree.Clear();
        file.reset();
        acUpdateCtrls();
        reading.Release();
        throw;
    }
    m_opening = false;
    m_file = std::move(file);
    m_status[2]->setText(QFileInfo(QString::fromStdString(path)).fileName());
    m_backupAllowed = true;
    m_listModel->SetNewItems(m_file->LastDate(), QColor(m_settings->NewItemColor & 0xFF,
                                                        (m_settings->NewItemColor >> 8) & 0xFF,
                                                        (m_settings->NewItemColor >> 16) & 0xFF));
    m_treeModel->SetTree(&m_tree);
    ShowNewTree();
    acUpdateCtrls();
    return true;
}

void TfrmMainLynkora::HandlePendingCommandLine() {
    if (m_pendingCommandLines.isEmpty())
        return;
    // Queued: the command that gave the document back finishes first.
    QTimer::singleShot(0, this, [this] {
        if (m_pendingCommandLines.isEmpty())
            return;
        if (!DocumentFree()) {
            m_pendingRetry.start();
            return;
        }
        HandleCommandLine(m_pendingCommandLines.takeFirst());
        HandlePendingCommandLine();
    });
}

void TfrmMainLynkora::ShowNewTree() {
    SelectNode(m_tree.RootNode());
    if (m_settings->AutoExpandList)
        m_treeView->expandAll();
    else
        m_treeView->expand(m_treeModel->IndexOf(m_tree.RootNode()));
}

void TfrmMainLynkora::CloseDocument() {
    m_listModel->FillList(nullptr);
    m_treeModel->SetTree(nullptr);
    m_tree.Clear();
    if (m_file)
        m_file->Close();
    m_file.reset();
    m_status[2]->clear();
    acUpdateCtrls();
}

bool TfrmMainLynkora::CloseFile() {
    if (!m_file)
        return true;
    if (RefuseWhileHeld())
        return false;
    WaitForDeletion(); // the file must not change under a save, a compaction or the close
    if (m_file->DirectMode()) {
        const std::string path = m_file->FileName();
        CloseDocument();
        TCompressThread::Start(path, &WindowErrorSink::For(this));
        RebuildHistoryMenus();
        return true;
    }
    if (m_file->Modified()) {
        const DocumentLeases::Lease asking = HoldDocument();
        const int answer = SavePrompt ? SavePrompt()
                                      : QMessageBox::question(this, kTitle,
                                                              tr("The contents of the datafile has changed.\n"
                                                                 "Do you want to save these changes?"),
                                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel)
            return false;
        if (answer == QMessageBox::Yes)
            m_file->Save();
    }
    CloseDocument();
    RebuildHistoryMenus();
    return true;
}

void TfrmMainLynkora::WriteCategory(CategoryNode& node) {
    if (!m_file)
        return;
    m_file->WriteCategory(node);
    m_backupAllowed = true;
    acUpdateCtrls();
}

void TfrmMainLynkora::WriteBackUsage(CategoryNode& node) {
    if (!m_file)
        return;
    m_file->WriteBackUsage(node);
    m_backupAllowed = true;
    Action("acBackup")->setEnabled(true);
}





QString TfrmMainLynkora::AskSaveFile(const QString& title) {
    // The open file's own name is refused before anything asks to replace it.
    auto refuse = [this](const QString& chosen) {
        if (!m_file || chosen.compare(QString::fromStdString(m_file->FileName()), Qt::CaseInsensitive) != 0)
            return false;
        m_lastError = tr("Lynkora cannot overwrite the currently opened\n"
                         "data file! Please specify a new filename.");
        QMessageBox box(QMessageBox::Warning, kTitle, m_lastError, QMessageBox::Ok, this);
        ShowBox(box);
        return true;
    };
    if (ChooseSaveFile) {
        const QString path = ChooseSaveFile(title);
        if (path.isEmpty())
            return path;
        const QString chosen = path.endsWith(".lyx", Qt::CaseInsensitive) ? path : path + ".lyx";
        return refuse(chosen) ? QString() : chosen; // tests: the refusal ends the choice
    }
    SaveFileDialog dialog(this, title, refuse);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.ChosenPath();
}

void TfrmMainLynkora::acNewFileExecute() {
    const QString path = AskSaveFile(tr("New Lynkora datafile"));
    if (path.isEmpty() || !CloseFile())
        return;
    DeleteFileIfExists(path.toStdString());
    if (OpenDocument(path.toStdString()))
        AddToHistory(path.toStdString());
    m_treeView->setFocus();
}

void TfrmMainLynkora::acOpenExecute() {
    const QString path = ChooseOpenFile ? ChooseOpenFile()
                                        : QFileDialog::getOpenFileName(this, tr("Open Lynkora 4 datafile"), QString(),
                                                                       tr("Lynkora 4 datafiles (*.lyx)"));
    if (path.isEmpty())
        return;
    const std::string full = QFileInfo(path).absoluteFilePath().toStdString();
    if (OpenDocument(full))
        AddToHistory(full);
}

void TfrmMainLynkora::acSaveExecute() {
    if (!m_file || m_file->DirectMode() || !m_file->Modified())
        return;
    WaitForDeletion();
    m_file->Save();
    m_tree.ForEach([this](CategoryNode& node) {
        if (node.Image() == NodeImage::NewByImport) {
            node.SetImage(NodeImage::Normal);
            m_treeModel->NodeChanged(&node);
        }
        node.Folder().New = false;
    });
    acUpdateCtrls();
}

void TfrmMainLynkora::acSaveAsExecute() {
    if (!m_file)
        return;
    WaitForDeletion();
    const QString path = AskSaveFile(tr("Save datafile as"));
    if (path.isEmpty())
        return;
    const std::string target = path.toStdString();
    m_file->SaveAs(target);
    // The new file becomes the open one; the tree and the list stay exactly as they are.
    auto next = std::make_unique<TDataFile>(target, m_settings->FileEditMode == femDirect);
    next->TakeOver(m_tree, m_file->LastDate());
    std::unique_ptr<TDataFile> old = std::exchange(m_file, std::move(next));
    old->Close();
    old.reset();
    m_status[2]->setText(QFileInfo(path).fileName());
    AddToHistory(target);
    acUpdateCtrls();
}

void TfrmMainLynkora::acBackupExecute() {
    if (!m_file)
        return;
    WaitForDeletion();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_backupAllowed = false; // until the next write, also when the backup failed
    Action("acBackup")->setEnabled(false);
    try {
        m_file->Backup();
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
}

void TfrmMainLynkora::acCloseExecute() { CloseFile(); }


bool TfrmMainLynkora::ListHasFocus() const {
    return m_detailsView->hasFocus() || m_iconView->hasFocus();
}

void TfrmMainLynkora::CopyUrl(bool asHtml) {
    const auto ids = SelectedIds();
    TISFolder* folder = m_listModel->Folder();
    if (ids.empty() || !folder)
        return;
    const TIShortcut* s = folder->Shortcuts.FindItemID(ids.front());
    if (!s)
        return;
    if (asHtml)
        PutHtmlOnClipboard(HtmlLinkFragment(s->URL, s->Name));
    else
        PutTextOnClipboard(s->URL);
}

void TfrmMainLynkora::acOpenBrowserExecute() {
    CategoryNode* node = SelectedNode();
    const auto ids = SelectedIds();
    if (!node || ids.empty())
        return;
    TIShortcut* s = node->Folder().Shortcuts.FindItemID(ids.front());
    if (!s)
        return;
    const bool countedFirst = std::exchange(m_categoryCounted, false);
    try {
        OpenWithDesktop(*s);
    } catch (...) {
        if (countedFirst)
            WriteBackUsage(*node); // a list activation's category count stays, in the file too
        throw;
    }
    if (!countedFirst)
        node->Folder().CountAccess();
    s->Access = NowDateTime();
    ++s->Count;
    m_listModel->ShortcutChanged(s->ID());
    WriteBackUsage(*node);
    m_listModel->SortList(m_settings->ListSortOrder);
}

void TfrmMainLynkora::OpenWithDesktop(const TIShortcut& shortcut) {
    const QUrl url = QUrl::fromUserInput(DecodeStoredText(shortcut.URL));
    // The opener gives no reason of its own: the likely ones are told apart here.
    if (!url.isValid() || url.isEmpty())
        throw ELynkora(LaunchErrorText(EINVAL, std::strerror(EINVAL)));
    if (QDesktopServices::openUrl(url))
        return;
    if (QStandardPaths::findExecutable("xdg-open").isEmpty())
        throw ELynkora(LaunchErrorText(ENOENT, std::strerror(ENOENT)));
    throw ELynkora(LaunchErrorText(ENOEXEC, "No program of the desktop could open the address"));
}

QAction* TfrmMainLynkora::MenuItemFor(QMenu* menu, const QString& caption, QAction* command) {
    QAction* item = menu->addAction(caption);
    item->setIcon(command->icon());
    item->setEnabled(command->isEnabled());
    connect(item, &QAction::triggered, command, &QAction::trigger);
    connect(command, &QAction::changed, item, [item, command] {
        item->setEnabled(command->isEnabled());
        item->setIcon(command->icon());
    });
    return item;
}

void TfrmMainLynkora::closeEvent(QCloseEvent* event) {
    if (m_opening) { // the tree is being read: it closes once it is there
        event->ignore();
        return;
    }
    // Between two checks of a run too: the run holds the tree.
    if (Verifying || m_verification->Running()) {
        QMessageBox box(QMessageBox::Warning, kTitle,
                        tr("Lynkora is still verifying one or more internet shortcuts.      \n\n"
                           "Please wait until the verification has completed or abort\n"
                           "the verification by pressing F12 before closing Lynkora."),
                        QMessageBox::Ok, this);
        ShowBox(box);
        event->ignore();
        return;
    }
    if (RefuseWhileHeld()) {
        event->ignore();
        return;
    }
    bool closed = true;
    Guarded([&] {
        if (m_file && m_file->DirectMode()) {
            CloseDocument(); // no compaction when the program ends
            return;
        }
        closed = CloseFile();
    });
    if (!closed) {
        event->ignore();
        return;
    }
    m_settings->WinMax = isMaximized();
    if (!isMaximized()) {
        m_settings->WinLeft = x();
        m_settings->WinTop = y();
        m_settings->WinWidth = width();
        m_settings->WinHeight = height();
    }
    m_settings->TreeWidth = m_treeView->width();
    StoreColumns();
    event->accept();
}






void TfrmMainLynkora::SetStatusText(const QString& text, int icon) {
    const bool shown = icon >= 0 && static_cast<std::size_t>(icon) < m_statusImages.size();
    if (shown)
        m_statusIcon->setPixmap(m_statusImages[static_cast<std::size_t>(icon)].pixmap(16, 16));
    m_statusIcon->setVisible(shown);
    m_status[0]->setText(text);
    m_status[0]->repaint();
}


void TfrmMainLynkora::ApplyToolbarLook() {
    for (QToolButton* button : m_toolbar->findChildren<QToolButton*>()) {
        button->setAutoRaise(m_settings->FlatToolBtn);
        button->removeEventFilter(this);
        button->installEventFilter(this); // its hint is held back while tooltips are off
    }
}


QString TfrmMainLynkora::StatusSummary() const {
    if (m_verification->Running())
        return m_verification->ProgressText(); // how far the run is, in place of the summary
    if (!m_file)
        return kTitle;
    const std::size_t shortcuts = m_tree.ShortcutCount();
    const std::size_t categories = m_tree.NodeCount();
    const QString a = shortcuts == 1 ? tr("%1 internet shortcut").arg(shortcuts)
                                     : tr("%1 internet shortcuts").arg(shortcuts);
    const QString b = categories == 1 ? tr("%1 category").arg(categories) : tr("%1 categories").arg(categories);
    return a + "; " + b;
}

void TfrmMainLynkora::acUpdateCtrls() {
    const bool open = m_file != nullptr;
    const bool busy = Verifying || m_verification->Running();
    m_workArea->setCurrentIndex(open ? 1 : 0);
    // What needs a file.
    for (const char* name : {"acVerFile", "acVerError", "acWizard", "acRefresh", "acClose", "acSelectAll",
                             "acSaveAs", "acExport", "acExportFolder", "acSend", "acExclude", "acImportFile",
                             "acImportBrowser", "acScanDup", "acVerShort", "acVerCat", "acNewFolder",
                             "acNewShort", "acLibraries", "acProp", "acDelete", "acFind", "acFindNext",
                             "acRename", "acOpenBrowser", "CopyURL1", "CopyURLHTML1", "viewExpand",
                             "viewCollapse"})
        Action(name)->setEnabled(open);
    Action("acBackup")->setEnabled(open && m_backupAllowed);
    if (!open) {
        Action("acSave")->setEnabled(false);
        m_mnuBrowse->menuAction()->setVisible(false);
        m_header->Clear();
    } else {
        for (const char* name : {"acClose", "acLibraries", "acImportFile", "acImportBrowser", "acScanDup"})
            Action(name)->setEnabled(!busy);
        Action("acFindNext")->setEnabled(m_find->Searched());
        CategoryNode* node = SelectedNode();
        const bool isRoot = node && node == m_tree.RootNode();
        Action("acExclude")->setEnabled(node != nullptr);
        if (node) {
            const bool shown = node->Image() == NodeImage::Normal || node->Image() == NodeImage::Verifying;
            Action("acExclude")->setText(shown ? tr("Exclu&de") : tr("Inclu&de"));
        }
        Action("acVerCat")->setEnabled(node != nullptr && !busy);
        Action("acExportFolder")->setEnabled(node != nullptr && !isRoot);
        const bool listSelection = !SelectedIds().empty();
        for (const char* name : {"acVerShort", "CopyURL1", "CopyURLHTML1", "acOpenBrowser"})
            Action(name)->setEnabled(listSelection);
        Action("acVerShort")->setEnabled(listSelection && !busy);
        m_mnuBrowse->menuAction()->setVisible(listSelection && !m_mnuBrowse->isEmpty());
        m_mnuBrowse->menuAction()->setEnabled(listSelection && !m_mnuBrowse->isEmpty());
        // The Open button, when the tool bar holds it, drops down the browsers while "Open in" shows.
        if (auto* button = qobject_cast<QToolButton*>(m_toolbar->widgetForAction(Action("acOpenBrowser")))) {
            const bool dropDown = m_mnuBrowse->menuAction()->isVisible();
            button->setMenu(dropDown ? m_popBrowse : nullptr);
            button->setPopupMode(dropDown ? QToolButton::MenuButtonPopup : QToolButton::DelayedPopup);
        }
        const bool treeFocus = m_treeView->hasFocus();
        const bool editable = treeFocus ? (node && !isRoot) : (listSelection || (node && !isRoot));
        for (const char* name : {"acProp", "acDelete", "acRename"})
            Action(name)->setEnabled(editable);
        Action("acSave")->setEnabled(!m_file->DirectMode() && m_file->Modified());
    }
    // The verification commands (acUpdateVer). While a run is in progress nothing may free the
    // tree under it: no other file is opened or created, and this one is not closed.
    Action("acVerSkip")->setEnabled(Verifying && m_verification->SkipAvailable());
    Action("acVerAbort")->setEnabled(busy && m_verification->AbortAvailable());
    for (const char* name : {"acNewFile", "acOpen"})
        Action(name)->setEnabled(!busy);
    if (busy)
        for (const char* name : {"acVerFile", "acVerError", "acSaveAs", "acClose"})
            Action(name)->setEnabled(false);
    m_history->setEnabled(!m_history->isEmpty() && !busy);
    m_status[0]->setText(StatusSummary());
}

bool TfrmMainLynkora::event(QEvent* e) {
    if (e->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(e)->tip();
        if (QApplication::overrideCursor() == nullptr)
            SetStatusText(tip.isEmpty() ? StatusSummary() : tip, tip.isEmpty() ? -1 : 0);
        return true;
    }
    return QMainWindow::event(e);
}

bool TfrmMainLynkora::StatusIconShown() const { return !m_statusIcon->isHidden(); }

QString TfrmMainLynkora::HeaderCaption() const { return m_header->Caption(); }
QString TfrmMainLynkora::HeaderRecord() const { return m_header->Record(); }
QString TfrmMainLynkora::StatusText() const { return m_status[0]->text(); }

} // namespace lynkora
