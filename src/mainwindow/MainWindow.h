#pragma once

#include "CategoryTreeModel.h"
#include "DocumentLease.h"
#include "ShortcutListModel.h"

#include "settings/Settings.h"
#include "store/CategoryTree.h"
#include "store/DataFile.h"

#include <QIcon>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QAbstractItemView;
class QDialog;
class QAction;
class QActionGroup;
class QLabel;
class QListView;
class QMenu;
class QMessageBox;
class QSplitter;
class QStackedWidget;
class QToolBar;
class QTreeView;

namespace lynkora {
class TitleHeader;
}

namespace lynkora {

// The caption of the main window and of its message boxes.
inline constexpr const char* kTitle = "Lynkora 4.0";

class TBackgroundThread;

class SettingsEnvironment;
class QtDateLocale;
class TVerifyURL;
class VerificationRun;
class InterfaceProbe;
class VerificationController;
class ExportController;
class FindController;
class DuplicatesController;
class OptionsController;
class ToolbarController;
class ImportController;
struct TToolCommand;

// The main window: the category tree on the left, the selected category's shortcuts on the
// right, menus, tool bar, title header and status bar, and the one open data file.
class TfrmMainLynkora : public QMainWindow {
public:
    TfrmMainLynkora(Registry& registry, const SettingsEnvironment& environment, QWidget* parent = nullptr);
    ~TfrmMainLynkora() override;

    // Start-up after construction: images, settings applied, history menus, command line.
    // Rebuilds "Open in" and the tool bar's browser drop-down from the browser list.
    void BuildBrowserMenu();
    QMenu* BrowserMenu() const { return m_mnuBrowse; }
    QToolBar* ToolBar() const { return m_toolbar; }
    ToolbarController& Toolbar() { return *m_toolbarCtl; }
    // The commands the tool bar may show, in the order of the action list.
    std::vector<TToolCommand> ToolCommands() const;
    // The Open button's drop-down: the reopen history.
    QMenu* HistoryDropDown() const { return m_popHistory; }
    // An image of the menu strip, empty when the strip has none at that index.
    QIcon SmallImage(int index) const;
    // The tree and the list in the desktop's item-view font, or the window's, as the settings say.
    void ApplyViewFont();
    void InitializeMainWindow(const QString& commandLine);
    void HandleCommandLine(const QString& text);

    // The document.
    // Whatever works on the open document across an event loop holds it meanwhile.
    [[nodiscard]] DocumentLeases::Lease HoldDocument() { return m_leases.Take(); }
    // Nothing holds the document and no modal window is open: it may be closed or replaced.
    bool DocumentFree() const;
    // Connects a command that works on the open document: it holds it while it runs.
    template <class Receiver>
    void ConnectDocumentCommand(const char* action, Receiver* receiver, void (Receiver::*method)()) {
        connect(Action(action), &QAction::triggered, receiver, [this, receiver, method] {
            const DocumentLeases::Lease lease = HoldDocument();
            (receiver->*method)();
        });
    }
    bool OpenDocument(const std::string& path);
    void CloseDocument();
    // Closes as the Close command does; false when the user cancelled the save prompt.
    bool CloseFile();
    void WriteCategory(CategoryNode& node);
    void WriteBackUsage(CategoryNode& node);
    void AddToHistory(const std::string& path);
    void RebuildHistoryMenus();

    // The central error report: a box captioned "Lynkora 4.0", also to the event log.
    void ShowErrorBox(const QString& text);
    // The text of the last error shown, for whoever needs to know what the user saw.
    const QString& LastError() const { return m_lastError; }
    void ReportError(std::exception_ptr error);
    // Runs a command, reporting what it raises.
    void Guarded(const std::function<void()>& command);

    // The enabling of every command, recomputed in one place.
    void acUpdateCtrls();
    QString StatusSummary() const;
    // Puts a text into status panel 0 with a status image (-1: none).
    void SetStatusText(const QString& text, int icon = -1);
    // An information box captioned "Lynkora 4.0"; its text is kept for whoever needs to know.
    void ShowInfoBox(const QString& text);
    const QString& LastInfo() const { return m_lastInfo; }
    // A warning box captioned "Lynkora 4.0", owned by the window or the given dialog.
    void ShowWarningBox(const QString& text, QWidget* owner = nullptr);
    // The tool bar's buttons flat or raised, with or without their hints, as the settings say.
    void ApplyToolbarLook();
    // Shows a message box (unless the tests ask for none), holding the document meanwhile.
    void ShowBox(QMessageBox& box);
    // A Yes/No question captioned "Lynkora 4.0"; true for Yes.
    bool Ask(const QString& text);
    VerificationController& Verification() { return *m_verification; }
    ExportController& Export() { return *m_export; }
    FindController& Finder() { return *m_find; }
    DuplicatesController& Duplicates() { return *m_duplicates; }
    // The list's columns from the column settings, with their widths.
    void ApplyColumns();

    // For tests: the state behind the views.
    TDataFile* DataFile() const { return m_file.get(); }
    CategoryTree& Tree() { return m_tree; }
    TSettings& Settings() { return *m_settings; }
    QAction* Action(const std::string& name) const;
    QMenu* HistoryMenu() const { return m_history; }
    QMenu* ListMenu() const { return m_popList; }
    QMenu* TreeMenu() const { return m_popTree; }
    QAbstractItemView* ListView() const { return CurrentList(); }
    // The identities of the selected shortcuts, the current one first.
    std::vector<std::uint32_t> SelectedIds() const;
    // The About easter texts shown with Ctrl+Alt held.
    static const std::vector<QString>& AboutTexts();
    QString HeaderCaption() const;
    QString HeaderRecord() const;
    QString StatusText() const;
    bool StatusIconShown() const;
    ShortcutListModel& ListModel() { return *m_listModel; }
    QTreeView* TreeView() const { return m_treeView; }
    CategoryNode* SelectedNode() const;
    void SelectNode(CategoryNode* node);
    bool Verifying = false;
    // Answers of the save prompt in tests (empty: ask the user).
    std::function<int()> SavePrompt;
    // The Yes/No questions of the editing commands; true for Yes.
    std::function<bool(const QString& text)> AskYesNo;
    // Shows a modal dialog; true when it closed with OK. Tests fill and confirm it instead.
    std::function<bool(QDialog& dialog)> RunDialog;
    // The new-shortcut dialog, prefilled (a dropped link's title and address).
    void NewShortcut(const QString& name, const QString& url);
    // Waits until the last category deletion has removed its storages.
    void WaitForDeletion();
    // Moves a category with its sub-tree under the target when the drop rules allow it.
    void DropCategory(CategoryNode& dragged, CategoryNode& target);
    std::function<QString(const QString& title)> ChooseSaveFile;
    std::function<QString()> ChooseOpenFile;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Command hints go to status panel 0 with the hint icon; an empty one brings the summary back.
    bool event(QEvent* event) override;

private:
    void CreateActions();
    // A tree just read: the root selected, expanded as the settings say.
    void ShowNewTree();
    void CreateArrangeMenus();
    void SetListOrder(int order);
    void SetTreeOrder(int order);
    void ListItemClick();
    void HandleBrowser(std::uint32_t browserId);
    void ApplyInterfaceStyle();
    void StoreColumns();
    void CreateMenusAndToolbar();
    void CreateViews();
    void LoadImages();
    void ApplySettings();
    void FillList(CategoryNode* node);
    void SetViewStyle(int style);
    void UpdateRecordText();
    // The list's selection by identity, so it survives sorting, refilling and view changes.
    struct ListSelection {
        std::vector<std::uint32_t> ids; // the current item first when it is selected
        std::uint32_t current = 0;
        bool hasCurrent = false;
    };
    ListSelection TakeListSelection() const;
    void RestoreListSelection(const ListSelection& state);
    // The cell of each item in the icon and list styles, from the widest name.
    void UpdateCellSize();
    void acRefreshExecute();
    void viewExpandExecute();
    void viewCollapseExecute();
    // The column header's pop-up: the columns to show or hide.
    void ShowColumnMenu(const QPoint& at);
    // Opens the shortcut's URL with the desktop's opener; fails with the launch error text.
    void OpenWithDesktop(const TIShortcut& shortcut);
    // A proxy item for a context menu: its own caption, the command's work and enabling.
    QAction* MenuItemFor(QMenu* menu, const QString& caption, QAction* command);

    void acNewFileExecute();
    void acOpenExecute();
    void acSaveExecute();
    void acSaveAsExecute();
    void acBackupExecute();
    void acCloseExecute();
    void acOpenBrowserExecute();
    void acDeleteExecute();
    void acRenameExecute();
    void acNewFolderExecute();
    void acPropExecute();
    void CategoryProperties(CategoryNode& node);
    void ShortcutProperties(std::uint32_t id);
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool Run(QDialog& dialog);
    void MoveShortcut(CategoryNode& target, std::uint32_t id);
    void DropShortcuts(CategoryNode& target);
    void CategoryEdited(CategoryNode& node, const QString& text);
    void ShortcutEdited(std::uint32_t id, const QString& text);
    void DeleteCategory(CategoryNode& node);
    void DeleteShortcuts();
    void acExcludeExecute();
    void acSelectAllExecute();
    QAbstractItemView* CurrentList() const;
    void CopyUrl(bool asHtml);
    bool ListHasFocus() const;
    friend class VerificationController;
    friend class ExportController;
    friend class FindController;
    friend class DuplicatesController;
    friend class OptionsController;
    friend class ToolbarController;
    friend class ImportController;
    void HandleHistory(int index);
    QString AskSaveFile(const QString& title);

    Registry& m_registry;
    std::unique_ptr<TSettings> m_settings;
    std::unique_ptr<QtDateLocale> m_locale;
    std::unique_ptr<TDataFile> m_file;
    CategoryTree m_tree;
    CategoryTreeModel* m_treeModel;
    ShortcutListModel* m_listModel;
    QTreeView* m_treeView = nullptr;
    QTreeView* m_detailsView = nullptr;
    QListView* m_iconView = nullptr;
    QStackedWidget* m_listStack = nullptr;
    QStackedWidget* m_workArea = nullptr;
    QSplitter* m_split = nullptr;
    QString m_lastError;
    bool m_backupAllowed = true; // cleared by a backup, set again by every write
    bool m_categoryCounted = false; // a list activation counted the category before opening
    std::shared_ptr<TBackgroundThread> m_deletion; // the last category deletion, for moves to wait on
    QMenu* m_mnuBrowse = nullptr; // "Open in" in the list's context menu
    QMenu* m_popBrowse = nullptr; // the Open button's drop-down once the tool bar holds it
    TitleHeader* m_header = nullptr;
    QLabel* m_status[3] = {};
    QLabel* m_statusIcon = nullptr; // "statusIcon"
    QToolBar* m_toolbar = nullptr;
    QMenu* m_history = nullptr;
    QMenu* m_popHistory = nullptr;
    QMenu* m_popList = nullptr;
    QMenu* m_popTree = nullptr;
    QAction* m_listBy[3] = {};
    QAction* m_listDir[2] = {};
    QAction* m_treeBy[2] = {};
    QAction* m_treeDir[2] = {};
    std::vector<QMetaObject::Connection> m_activation;
    QAction* m_defaultOpen = nullptr;
    QAction* m_defaultProps = nullptr;
    QActionGroup* m_viewGroup = nullptr;
    std::map<std::string, QAction*> m_actions;
    std::vector<QIcon> m_smallImages;
    VerificationController* m_verification = nullptr; // a child of the window
    ExportController* m_export = nullptr;              // a child of the window
    FindController* m_find = nullptr;                  // a child of the window
    DuplicatesController* m_duplicates = nullptr;      // a child of the window
    OptionsController* m_options = nullptr;            // a child of the window
    ToolbarController* m_toolbarCtl = nullptr;         // a child of the window
    ImportController* m_import = nullptr;              // a child of the window
    std::vector<QIcon> m_statusImages;
    QString m_lastInfo;
    DocumentLeases m_leases;
    QStringList m_pendingCommandLines; // handed over while the document was held
    QTimer m_pendingRetry;             // for holders the leases do not see (any modal window)
    bool m_opening = false;            // a collection is being read into the tree
    void HandlePendingCommandLine();
    // False, with a message, while something holds the document.
    bool RefuseWhileHeld();
};

} // namespace lynkora
