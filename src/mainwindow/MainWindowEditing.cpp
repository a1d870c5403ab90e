// The editing commands of the main window: new, properties, rename, delete, moves, exclusion.
#include "mainwindow/MainWindow.h"
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
#include "store/Errors.h"
#include "store/FileReplace.h"
#include "store/NameCollator.h"
#include "store/StorageErrorText.h"
#include "store/Version.h"
#include "platform/Clipboard.h"
#include "store/HtmlClipboard.h"
#include "tools/CompressThread.h"
#include "tools/DeleteThread.h"
#include "verify/Connectivity.h"
#include "verify/VerificationRun.h"
#include "verify/VerifyURL.h"
#include <QDesktopServices>
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
#include <QKeyEvent>

#include "mainwindow/WindowErrorSink.h"
#include "widgets/TitleHeader.h"

namespace lynkora {

namespace {

bool IsBusy(const TIShortcut& s) { return s.VerState == vsVerifying || s.VerState == vsQueued; }

} // namespace


void TfrmMainLynkora::acDeleteExecute() {
    CategoryNode* node = SelectedNode();
    if (!m_file || !node)
        return;
    const bool isRoot = node == m_tree.RootNode();
    auto deleteCategory = [&] {
        if (!isRoot)
            DeleteCategory(*node);
    };
    // While a name is edited in place, its editor has the focus and takes the key itself.
    const QWidget* focus = QApplication::focusWidget();
    for (const QWidget* view : {static_cast<QWidget*>(m_treeView), static_cast<QWidget*>(CurrentList())})
        if (focus && focus != view && view->isAncestorOf(focus))
            return;
    if (m_treeView->hasFocus()) {
        deleteCategory();
    } else if (ListHasFocus()) {
        if (SelectedIds().empty())
            deleteCategory();
        else
            DeleteShortcuts();
    } else if (!isRoot) {
        deleteCategory();
    } else {
        DeleteShortcuts();
    }
}

void TfrmMainLynkora::DeleteCategory(CategoryNode& node) {
    // Not while a verification runs on it or anywhere below it: the run holds those. A run
    // reaching categories later skips one deleted meanwhile.
    bool busy = node.Image() == NodeImage::Verifying;
    std::function<void(const CategoryNode&)> below = [&](const CategoryNode& n) {
        for (const auto& child : n.Children()) {
            busy = busy || child->Image() == NodeImage::Verifying;
            if (!busy)
                below(*child);
        }
    };
    below(node);
    if (busy) {
        m_lastError = tr("The category \"%1\" is being verified.      \n\n"
                         "Please wait until the verification has completed or abort\n"
                         "the verification by pressing F12.")
                          .arg(DecodeStoredText(node.Text()));
        QMessageBox box(QMessageBox::Warning, kTitle, m_lastError, QMessageBox::Ok, this);
        ShowBox(box);
        return;
    }
    const QString question = tr("The category \"%1\" will be removed.\nDo you want to continue?")
                                 .arg(DecodeStoredText(node.Text()));
    if (!Ask(question))
        return;
    const std::string folderId = node.Folder().FolderID;
    CategoryNode* parent = node.Parent();
    m_listModel->FillList(nullptr);
    m_treeModel->RemoveNode(node);
    SelectNode(parent);
        m_deletion = TDeleteThread::Start(folderId, m_file->OpenRoot(), &WindowErrorSink::For(this));
    if (!m_file->DirectMode())
        m_file->SetModified(true);
    acUpdateCtrls();
}

void TfrmMainLynkora::acRenameExecute() {
    CategoryNode* node = SelectedNode();
    if (!m_file || !node)
        return;
    const bool isRoot = node == m_tree.RootNode();
    if (m_treeView->hasFocus() || !ListHasFocus()) {
        if (!isRoot)
            m_treeView->edit(m_treeModel->IndexOf(node));
        return;
    }
    QAbstractItemView* list = CurrentList();
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    if (!selected.isEmpty()) {
        list->edit(m_listModel->index(selected.front().row(), 0));
    } else if (!isRoot) {
        m_treeView->setFocus();
        m_treeView->edit(m_treeModel->IndexOf(node));
    }
}

void TfrmMainLynkora::CategoryEdited(CategoryNode& node, const QString& text) {
    const std::string name = EncodeUserText(text);
    switch (CategoryRename(node, name)) {
    case RenameResult::Accept:
        node.Folder().FolderName = name;
        m_treeModel->NodeChanged(&node);
        if (&node == SelectedNode())
            m_header->SetCaption(DecodeStoredText(CategoryTree::CategoryPath(node)));
        WriteCategory(node);
        break;
    case RenameResult::EditAgain: {
        // Called from inside the closing editor: the new one opens once it is gone.
        const QPersistentModelIndex index = m_treeModel->IndexOf(&node);
        QTimer::singleShot(0, this, [this, index] {
            if (index.isValid())
                m_treeView->edit(index);
        });
        break;
    }
    case RenameResult::Refuse:
        throw ELynkora(CategoryRenameError(node.Text(), name));
    }
}

void TfrmMainLynkora::ShortcutEdited(std::uint32_t id, const QString& text) {
    CategoryNode* node = SelectedNode();
    TIShortcut* s = node ? node->Folder().Shortcuts.FindItemID(id) : nullptr;
    if (!s)
        return;
    const std::string name = EncodeUserText(text);
    if (ShortcutRename(node->Folder(), *s, name) == RenameResult::Refuse) {
        if (!name.empty())
            throw ELynkora(ShortcutRenameError(s->Name, name));
        return;
    }
    if (name == s->Name)
        return; // Enter without a change
    s->Name = name;
    WriteCategory(*node);
    m_listModel->ShortcutChanged(id);
    m_listModel->SortList(m_settings->ListSortOrder);
}

void TfrmMainLynkora::DropCategory(CategoryNode& dragged, CategoryNode& target) {
    if (!m_file || !CanDropCategory(m_tree, dragged, target))
        return;
    // The old storages go first, with everything below them; then the sub-tree is written again
    // under its new parent, parents before children.
        WaitForDeletion();
    m_deletion = TDeleteThread::Start(dragged.Folder().FolderID, m_file->OpenRoot(), &WindowErrorSink::For(this));
    m_deletion->WaitFor();
    if (!m_treeModel->MoveNode(dragged, target))
        return;
    std::vector<CategoryNode*> order{&dragged};
    for (std::size_t i = 0; i < order.size(); ++i)
        for (const auto& child : order[i]->Children())
            order.push_back(child.get());
    for (CategoryNode* n : order)
        m_file->WriteCategory(*n);
    WriteCategory(dragged);
}

void TfrmMainLynkora::MoveShortcut(CategoryNode& target, std::uint32_t id) {
    CategoryNode* source = SelectedNode();
    TIShortcut* s = source ? source->Folder().Shortcuts.FindItemID(id) : nullptr;
    if (!s || source == &target)
        return;
    // Everything travels, keywords and verification data included (Assign copies less).
    TIShortcut& moved = target.Folder().Shortcuts.Add();
    moved.Assign(*s);
    moved.Verified = s->Verified;
    moved.VerState = s->VerState;
    moved.Keywords.Assign(s->Keywords);
    moved.verResponse = s->verResponse;
    moved.IgnoreDup = s->IgnoreDup;
    WriteCategory(target);
    TShortcuts& shortcuts = source->Folder().Shortcuts;
    for (std::size_t i = 0; i < shortcuts.Count(); ++i)
        if (shortcuts[i].ID() == id) {
            shortcuts.Delete(i);
            break;
        }
    WriteCategory(*source);
}

void TfrmMainLynkora::DropShortcuts(CategoryNode& target) {
    CategoryNode* source = SelectedNode();
    if (!m_file || !source || source == &target)
        return;
    std::vector<std::pair<int, std::uint32_t>> rows;
    for (const QModelIndex& i : CurrentList()->selectionModel()->selectedIndexes())
        if (i.column() == 0)
            rows.emplace_back(i.row(), m_listModel->IdAt(i.row()));
    if (rows.empty())
        return;
    std::sort(rows.begin(), rows.end());
    // The further items first, then the first one.
    for (std::size_t i = 1; i < rows.size(); ++i)
        MoveShortcut(target, rows[i].second);
    MoveShortcut(target, rows.front().second);
    FillList(source);
    if (!m_file->DirectMode())
        m_file->SetModified(true);
    acUpdateCtrls();
}

bool TfrmMainLynkora::Ask(const QString& text) {
    const DocumentLeases::Lease lease = HoldDocument();
    return AskYesNo ? AskYesNo(text) : QMessageBox::question(this, kTitle, text) == QMessageBox::Yes;
}

bool TfrmMainLynkora::Run(QDialog& dialog) {
    const DocumentLeases::Lease lease = HoldDocument();
    return RunDialog ? RunDialog(dialog) : dialog.exec() == QDialog::Accepted;
}

void TfrmMainLynkora::acNewFolderExecute() {
    CategoryNode* parent = SelectedNode();
    if (!m_file || !parent)
        return;
    TfrmCat dialog(this, tr("New category"));
    dialog.SetInitialName("New Category");
    dialog.NameTaken = [parent](const std::string& name) { return !CategoryTree::FindChildCategory(*parent, name); };
    dialog.ShowError = [this](const QString& text) { ShowErrorBox(text); };
    if (!Run(dialog))
        return;
    auto folder = std::make_unique<TISFolder>();
    folder->FolderID = m_file->NewFolderID();
    folder->FolderName = EncodeUserText(dialog.edName->text());
    folder->Descr = EncodeUserText(dialog.edDescr->text());
    dialog.Keywords->TakeInto(folder->Keywords);
    CategoryNode& node = m_treeModel->AddNode(*parent, std::move(folder));
    m_treeView->expand(m_treeModel->IndexOf(parent));
    WriteCategory(node);
}

void TfrmMainLynkora::acPropExecute() {
    CategoryNode* node = SelectedNode();
    if (!m_file || !node)
        return;
    const bool isRoot = node == m_tree.RootNode();
    const auto ids = SelectedIds();
    CategoryNode* category = nullptr;
    if (m_treeView->hasFocus())
        category = isRoot ? nullptr : node;
    else if (ListHasFocus())
        category = ids.empty() && !isRoot ? node : nullptr;
    else
        category = isRoot ? nullptr : node;
    if (category) {
        CategoryProperties(*category);
    } else if (ids.size() == 1) {
        ShortcutProperties(ids.front());
    }
}

void TfrmMainLynkora::CategoryProperties(CategoryNode& node) {
    TfrmCat dialog(this, tr("Category properties"));
    TISFolder& folder = node.Folder();
    dialog.SetInitialName(folder.FolderName);
    dialog.edDescr->setText(DecodeStoredText(folder.Descr));
    dialog.Keywords->SetKeywords(folder.Keywords);
    dialog.NameTaken = [&node](const std::string& name) {
        CategoryNode* found = nullptr;
        return node.Parent() && !CategoryTree::FindChildCategory(*node.Parent(), name, &found) && found != &node;
    };
    dialog.ShowError = [this](const QString& text) { ShowErrorBox(text); };
    if (!Run(dialog))
        return;
    folder.FolderName = EncodeUserText(dialog.edName->text());
    folder.Descr = EncodeUserText(dialog.edDescr->text());
    dialog.Keywords->TakeInto(folder.Keywords);
    WriteCategory(node);
    m_treeModel->NodeChanged(&node);
    m_treeModel->SortTree(m_settings->TreeSortOrder);
    if (&node == SelectedNode())
        m_header->SetCaption(DecodeStoredText(CategoryTree::CategoryPath(node)));
}

void TfrmMainLynkora::NewShortcut(const QString& name, const QString& url) {
    CategoryNode* selected = SelectedNode();
    if (!m_file)
        return;
    if (!selected)
        selected = m_tree.RootNode();
    TfrmShort dialog(this, tr("New Internet shortcut"), m_tree, m_smallImages);
    dialog.SelectCategory(selected);
    dialog.SetInitialName(EncodeUserText(name));
    dialog.edURL->setText(url);
    dialog.NameTaken = [selected](const std::string& n) { return !IsShortcutNameFree(selected->Folder(), n); };
    dialog.ShowError = [this](const QString& text) { ShowErrorBox(text); };
    if (!Run(dialog))
        return;
    CategoryNode* target = dialog.ChosenCategory() ? dialog.ChosenCategory() : selected;
    TIShortcut& s = target->Folder().Shortcuts.Add();
    s.Name = EncodeUserText(dialog.edName->text());
    s.URL = EncodeUserText(dialog.edURL->text());
    s.Descr = EncodeUserText(dialog.edDescr->text());
    dialog.Keywords->TakeInto(s.Keywords);
    s.Added = NowDateTime();
    if (target == SelectedNode())
        FillList(target);
    WriteCategory(*target);
}

void TfrmMainLynkora::ShortcutProperties(std::uint32_t id) {
    CategoryNode* node = SelectedNode();
    TIShortcut* s = node ? node->Folder().Shortcuts.FindItemID(id) : nullptr;
    if (!s)
        return;
    TfrmShort dialog(this, tr("Internet shortcut properties"), m_tree, m_smallImages);
    dialog.SelectCategory(node);
    dialog.SetInitialName(s->Name);
    dialog.edURL->setText(DecodeStoredText(s->URL));
    dialog.edDescr->setText(DecodeStoredText(s->Descr));
    dialog.Keywords->SetKeywords(s->Keywords);
    dialog.ShowDetails(s, m_settings->UseEnglishDate, m_locale.get());
    dialog.NameTaken = [node](const std::string& n) { return !IsShortcutNameFree(node->Folder(), n); };
    dialog.ShowError = [this](const QString& text) { ShowErrorBox(text); };
    if (!Run(dialog))
        return;
    s->Name = EncodeUserText(dialog.edName->text());
    s->URL = EncodeUserText(dialog.edURL->text());
    s->Descr = EncodeUserText(dialog.edDescr->text());
    dialog.Keywords->TakeInto(s->Keywords);
    CategoryNode* target = dialog.ChosenCategory();
    if (!target || target == node) {
        WriteCategory(*node);
        m_listModel->ShortcutChanged(id);
        m_listModel->SortList(m_settings->ListSortOrder);
        UpdateRecordText();
    } else {
        MoveShortcut(*target, id);
        FillList(node);
    }
    acUpdateCtrls();
}

bool TfrmMainLynkora::eventFilter(QObject* watched, QEvent* event) {
    // Tool bar hints only while the settings want them.
    if (event->type() == QEvent::ToolTip && watched->parent() == m_toolbar && !m_settings->ShowToolTip)
        return true;
    // Enter on a list item runs the default action, as activating it with the pointer does.
    if ((watched == m_detailsView || watched == m_iconView) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            ListItemClick();
            return true;
        }
    }
    // Links dragged in from other programs onto the list.
    const bool list = watched == m_detailsView->viewport() || watched == m_iconView->viewport();
    if (list && (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove)) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (m_file && drag->source() == nullptr && LinkFromDrop(*drag->mimeData())) {
            drag->setDropAction(drag->proposedAction() == Qt::LinkAction ? Qt::LinkAction : Qt::CopyAction);
            drag->accept();
            return true;
        }
    } else if (list && event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->source() == nullptr) {
            if (const auto link = LinkFromDrop(*drop->mimeData()); link && m_file) {
                drop->setDropAction(Qt::CopyAction);
                drop->accept();
                const DroppedLink copy = *link;
                // The dialog opens after the drag has ended, so the other program is not kept waiting.
                QTimer::singleShot(0, this, [this, copy] { Guarded([&] { NewShortcut(copy.title, copy.url); }); });
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMainLynkora::WaitForDeletion() {
    if (m_deletion)
        m_deletion->WaitFor();
}

void TfrmMainLynkora::DeleteShortcuts() {
    CategoryNode* node = SelectedNode();
    QAbstractItemView* list = CurrentList();
    if (!node || !list->selectionModel())
        return;
    std::vector<int> rows;
    for (const QModelIndex& i : list->selectionModel()->selectedIndexes())
        if (i.column() == 0)
            rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    if (rows.empty())
        return;
    const TIShortcut* first = m_listModel->ShortcutAt(rows.front());
    if (!first || IsBusy(*first))
        return;
    const QString question = rows.size() == 1
        ? tr("The shortcut \"%1\" will be removed.\nDo you want to continue?").arg(DecodeStoredText(first->Name))
        : tr("The selected shortcuts will be removed.\nDo you want to continue?");
    if (!Ask(question))
        return;
    std::vector<std::uint32_t> ids;
    for (int row : rows)
        ids.push_back(m_listModel->IdAt(row));
    TShortcuts& shortcuts = node->Folder().Shortcuts;
    for (std::uint32_t id : ids)
        for (std::size_t i = 0; i < shortcuts.Count(); ++i)
            if (shortcuts[i].ID() == id && !IsBusy(shortcuts[i])) {
                shortcuts.Delete(i);
                break;
            }
    FillList(node);
    WriteCategory(*node);
    acUpdateCtrls();
}

void TfrmMainLynkora::acExcludeExecute() {
    CategoryNode* node = SelectedNode();
    if (!node)
        return;
    // A branch takes the new look, except categories being verified: their look returns when
    // their check ends.
    std::function<void(CategoryNode&, NodeImage)> paint = [&](CategoryNode& n, NodeImage image) {
        if (n.Image() != NodeImage::Verifying)
            n.SetImage(image);
        for (const auto& child : n.Children())
            paint(*child, image);
    };
    if (node == m_tree.RootNode())
        node->SetImage(node->Image() == NodeImage::Normal ? NodeImage::Excluded : NodeImage::Normal);
    else if (node->Image() == NodeImage::Verifying)
        node->Folder().Exclude = !node->Folder().Exclude;
    else
        paint(*node, node->Image() == NodeImage::Normal ? NodeImage::Excluded : NodeImage::Normal);
    m_treeModel->BranchChanged(node);
    acUpdateCtrls();
}

void TfrmMainLynkora::acSelectAllExecute() {
    QAbstractItemView* list = CurrentList();
    list->setUpdatesEnabled(false);
    list->selectAll();
    list->setUpdatesEnabled(true);
    list->setFocus();
}

} // namespace lynkora
