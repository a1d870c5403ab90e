// The main window's views: which category and shortcuts are selected, filling and sorting the
// list without losing the user's selection, view styles, the tree commands and the columns.
#include "MainWindow.h"

#include "ViewDelegates.h"

#include "platform/StoredText.h"
#include "widgets/TitleHeader.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelection>
#include <QListView>
#include <QMenu>
#include <QStackedWidget>
#include <QTreeView>

#include <algorithm>
#include <unordered_set>

namespace lynkora {

CategoryNode* TfrmMainLynkora::SelectedNode() const {
    return m_treeModel->NodeAt(m_treeView->currentIndex());
}

void TfrmMainLynkora::SelectNode(CategoryNode* node) {
    const QModelIndex index = m_treeModel->IndexOf(node);
    m_treeView->setCurrentIndex(index);
    if (index.isValid())
        m_treeView->scrollTo(index);
    else
        FillList(nullptr);
}

QAbstractItemView* TfrmMainLynkora::CurrentList() const {
    return m_listStack->currentWidget() == m_detailsView ? static_cast<QAbstractItemView*>(m_detailsView)
                                                         : static_cast<QAbstractItemView*>(m_iconView);
}

std::vector<std::uint32_t> TfrmMainLynkora::SelectedIds() const {
    return TakeListSelection().ids;
}

TfrmMainLynkora::ListSelection TfrmMainLynkora::TakeListSelection() const {
    ListSelection state;
    const QAbstractItemView* view = CurrentList();
    const QModelIndexList rows = view == m_detailsView ? view->selectionModel()->selectedRows()
                                                       : view->selectionModel()->selectedIndexes();
    std::vector<int> sorted;
    sorted.reserve(static_cast<std::size_t>(rows.size()));
    for (const QModelIndex& i : rows)
        sorted.push_back(i.row());
    std::sort(sorted.begin(), sorted.end());
    const QModelIndex current = view->currentIndex();
    if (current.isValid()) {
        state.current = m_listModel->IdAt(current.row());
        state.hasCurrent = true;
    }
    // The item with the focus comes first: commands on one shortcut act on the one the user
    // last chose.
    const bool currentSelected = state.hasCurrent && std::binary_search(sorted.begin(), sorted.end(), current.row());
    if (currentSelected)
        state.ids.push_back(state.current);
    for (int row : sorted)
        if (!currentSelected || row != current.row())
            state.ids.push_back(m_listModel->IdAt(row));
    return state;
}

void TfrmMainLynkora::RestoreListSelection(const ListSelection& state) {
    QAbstractItemView* view = CurrentList();
    std::vector<int> rows;
    rows.reserve(state.ids.size());
    for (std::uint32_t id : state.ids)
        if (const int row = m_listModel->RowOf(id); row >= 0)
            rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    // Runs of neighbouring rows become one range, so selecting thousands stays cheap.
    QItemSelection selection;
    const int lastColumn = view == m_detailsView ? m_listModel->columnCount() - 1 : 0;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        selection.select(m_listModel->index(rows[i], 0), m_listModel->index(rows[j], lastColumn));
        i = j + 1;
    }
    QItemSelectionModel* model = view->selectionModel();
    if (state.hasCurrent) {
        const int row = m_listModel->RowOf(state.current);
        if (row >= 0)
            model->setCurrentIndex(m_listModel->index(row, 0), QItemSelectionModel::NoUpdate);
    }
    model->select(selection, QItemSelectionModel::ClearAndSelect);
    if (model->currentIndex().isValid())
        view->scrollTo(model->currentIndex());
}

void TfrmMainLynkora::FillList(CategoryNode* node) {
    TISFolder* folder = node ? &node->Folder() : nullptr;
    // Filling the same category again keeps what the user had selected.
    const bool again = folder && folder == m_listModel->Folder();
    const ListSelection kept = again ? TakeListSelection() : ListSelection();
    m_listModel->FillList(folder);
    if (again)
        RestoreListSelection(kept);
    m_detailsView->resizeColumnToContents(0);
    UpdateCellSize();
    UpdateRecordText();
}

void TfrmMainLynkora::UpdateRecordText() {
    const std::vector<std::uint32_t> ids = SelectedIds();
    if (ids.size() >= 2) {
        m_header->SetRecord(tr("%1 items selected").arg(ids.size()));
    } else if (ids.size() == 1) {
        const TIShortcut* s = m_listModel->Folder() ? m_listModel->Folder()->Shortcuts.FindItemID(ids.front()) : nullptr;
        m_header->SetRecord(s ? DecodeStoredText(s->URL) : QString());
    } else {
        const int n = m_listModel->rowCount();
        m_header->SetRecord(n == 1 ? tr("1 shortcut") : tr("%1 shortcuts").arg(n));
    }
}

void TfrmMainLynkora::SetViewStyle(int style) {
    const char* names[] = {"acViewLarge", "acViewSmall", "acViewList", "acViewDetails"};
    if (style < lvsLarge || style > lvsDetails)
        style = lvsDetails;
    Action(names[style - lvsLarge])->setChecked(true);
    // The other view has a selection of its own: the user's selection moves across.
    const ListSelection kept = TakeListSelection();
    const bool hadFocus = CurrentList()->hasFocus();
    m_settings->ListViewStyle = style;
    if (style == lvsDetails) {
        m_listStack->setCurrentWidget(m_detailsView);
    } else {
        m_listStack->setCurrentWidget(m_iconView);
        m_iconView->setViewMode(style == lvsLarge ? QListView::IconMode : QListView::ListMode);
        m_iconView->setIconSize(style == lvsLarge ? QSize(32, 32) : QSize(16, 16));
        m_iconView->setFlow(style == lvsList ? QListView::TopToBottom : QListView::LeftToRight);
        m_iconView->setWrapping(true);
        m_iconView->setWordWrap(style == lvsLarge);
        m_iconView->setResizeMode(QListView::Adjust);
    }
    UpdateCellSize();
    RestoreListSelection(kept);
    if (hadFocus)
        CurrentList()->setFocus();
}

void TfrmMainLynkora::UpdateCellSize() {
    auto* delegate = static_cast<ShortcutItemDelegate*>(m_iconView->itemDelegate());
    const int style = m_settings->ListViewStyle;
    const QFontMetrics metrics(m_iconView->font());
    QSize cell;
    if (style == lvsLarge) {
        // Names wrap below the icon on up to three lines.
        cell = QSize(std::max(110, metrics.averageCharWidth() * 16), 32 + 8 + 3 * metrics.lineSpacing());
    } else if (style == lvsSmall || style == lvsList) {
        // The widest name, at least 120 pixels, plus 20, and the icon beside it.
        int widest = 120;
        if (const TISFolder* folder = m_listModel->Folder())
            for (const auto& s : folder->Shortcuts)
                widest = std::max(widest, metrics.horizontalAdvance(DecodeStoredText(s->Name)));
        cell = QSize(widest + 20 + 16 + 8, std::max(metrics.height(), 16) + 4);
    }
    delegate->SetCellSize(cell);
    m_iconView->setGridSize(cell);
}

void TfrmMainLynkora::acRefreshExecute() {
    // Both keep their expanded nodes and selections: they are re-sorted, not rebuilt.
    if (m_tree.NodeCount() > 1)
        m_treeModel->SortTree(m_settings->TreeSortOrder);
    if (m_listModel->rowCount() > 1)
        m_listModel->SortList(m_settings->ListSortOrder);
}

void TfrmMainLynkora::viewExpandExecute() {
    m_treeView->setUpdatesEnabled(false);
    m_treeView->expandAll();
    m_treeView->setUpdatesEnabled(true);
    if (m_treeView->currentIndex().isValid())
        m_treeView->scrollTo(m_treeView->currentIndex());
    FillList(SelectedNode());
}

void TfrmMainLynkora::viewCollapseExecute() {
    m_treeView->setUpdatesEnabled(false);
    m_treeView->collapseAll();
    m_treeView->setUpdatesEnabled(true);
    // A selection inside a collapsed branch moves up to the one node still shown.
    if (SelectedNode() && SelectedNode() != m_tree.RootNode())
        SelectNode(m_tree.RootNode());
    else
        FillList(SelectedNode());
}

void TfrmMainLynkora::ApplyColumns() {
    const ListSelection kept = TakeListSelection();
    const TLVColumns& columns = m_settings->Columns;
    m_listModel->SetColumns(columns);
    QHeaderView* header = m_detailsView->header();
    for (int c = 0; c < m_listModel->columnCount(); ++c) {
        const int width = columns[static_cast<std::size_t>(m_listModel->ColumnKind(c))].Width;
        header->resizeSection(c, std::max(width, 20));
    }
    RestoreListSelection(kept);
}

void TfrmMainLynkora::ShowColumnMenu(const QPoint& at) {
    StoreColumns(); // the widths as they are now, for the columns that stay
    QMenu menu(this);
    TLVColumns& columns = m_settings->Columns;
    for (int kind = TLVColumns::URL; kind < TLVColumns::Count; ++kind) {
        TLVColumn& column = columns[static_cast<std::size_t>(kind)];
        QAction* item = menu.addAction(QString::fromStdString(column.Caption));
        item->setCheckable(true);
        item->setChecked(column.Visible);
        connect(item, &QAction::toggled, this, [this, kind](bool on) {
            m_settings->Columns[static_cast<std::size_t>(kind)].Visible = on;
            ApplyColumns();
        });
    }
    menu.exec(at);
}

} // namespace lynkora
