#include "CheckTree.h"

#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>

namespace lynkora {

CheckTreeModel::CheckTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void CheckTreeModel::SetImages(std::vector<QIcon> images) { m_images = std::move(images); }

void CheckTreeModel::BeginFill() {
    beginResetModel();
    m_filling = true;
}

int CheckTreeModel::Add(int parent, const QString& text, int image) {
    const int id = Count();
    std::vector<int>& siblings = parent < 0 ? m_top : m_nodes[static_cast<std::size_t>(parent)].children;
    const int row = static_cast<int>(siblings.size());
    if (!m_filling)
        beginInsertRows(IndexOf(parent), row, row);
    m_nodes.push_back({parent, row, image, Qt::Unchecked, text, {}});
    // `siblings` may have moved with the table.
    (parent < 0 ? m_top : m_nodes[static_cast<std::size_t>(parent)].children).push_back(id);
    if (!m_filling)
        endInsertRows();
    return id;
}

void CheckTreeModel::EndFill() {
    m_filling = false;
    endResetModel();
}

void CheckTreeModel::Clear() {
    beginResetModel();
    m_nodes.clear();
    m_top.clear();
    endResetModel();
}

void CheckTreeModel::NotifyChildren(int entry) {
    const auto& children = ChildrenOf(entry);
    if (!children.empty())
        emit dataChanged(IndexOf(children.front()), IndexOf(children.back()), {Qt::CheckStateRole});
}

void CheckTreeModel::SetState(int entry, Qt::CheckState state) {
    if (entry < 0 || entry >= Count())
        return;
    if (state == Qt::PartiallyChecked)
        state = Qt::Checked;
    // Down: the entry and everything below it, without recursion.
    std::vector<int> stack{entry};
    while (!stack.empty()) {
        const int at = stack.back();
        stack.pop_back();
        Node& n = m_nodes[static_cast<std::size_t>(at)];
        n.state = state;
        if (!n.children.empty()) {
            NotifyChildren(at);
            stack.insert(stack.end(), n.children.begin(), n.children.end());
        }
    }
    const QModelIndex changed = IndexOf(entry);
    emit dataChanged(changed, changed, {Qt::CheckStateRole});
    // Up: each parent follows its children.
    for (int p = m_nodes[static_cast<std::size_t>(entry)].parent; p >= 0; p = m_nodes[static_cast<std::size_t>(p)].parent) {
        Node& parent = m_nodes[static_cast<std::size_t>(p)];
        const Qt::CheckState first = m_nodes[static_cast<std::size_t>(parent.children.front())].state;
        const bool same = std::all_of(parent.children.begin(), parent.children.end(),
                                      [&](int c) { return m_nodes[static_cast<std::size_t>(c)].state == first; });
        const Qt::CheckState next = same ? first : Qt::PartiallyChecked;
        if (next == parent.state)
            break;
        parent.state = next;
        const QModelIndex at = IndexOf(p);
        emit dataChanged(at, at, {Qt::CheckStateRole});
    }
}

int CheckTreeModel::TickedCount() const {
    return static_cast<int>(std::count_if(m_nodes.begin(), m_nodes.end(), [](const Node& n) { return n.state == Qt::Checked; }));
}

QModelIndex CheckTreeModel::IndexOf(int entry) const {
    if (entry < 0 || entry >= Count())
        return {};
    return createIndex(m_nodes[static_cast<std::size_t>(entry)].row, 0, static_cast<quintptr>(entry));
}

int CheckTreeModel::EntryOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<int>(index.internalId()) : -1;
}

QModelIndex CheckTreeModel::index(int row, int column, const QModelIndex& parent) const {
    const auto& children = ChildrenOf(EntryOf(parent));
    if (column != 0 || row < 0 || row >= static_cast<int>(children.size()))
        return {};
    return createIndex(row, 0, static_cast<quintptr>(children[static_cast<std::size_t>(row)]));
}

QModelIndex CheckTreeModel::parent(const QModelIndex& index) const {
    const int entry = EntryOf(index);
    return entry < 0 ? QModelIndex() : IndexOf(m_nodes[static_cast<std::size_t>(entry)].parent);
}

int CheckTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return 0;
    return static_cast<int>(ChildrenOf(EntryOf(parent)).size());
}

int CheckTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant CheckTreeModel::data(const QModelIndex& index, int role) const {
    const int entry = EntryOf(index);
    if (entry < 0)
        return {};
    const Node& n = m_nodes[static_cast<std::size_t>(entry)];
    switch (role) {
    case Qt::DisplayRole:
        return n.text;
    case Qt::CheckStateRole:
        return n.state;
    case Qt::DecorationRole:
        if (n.image >= 0 && static_cast<std::size_t>(n.image) < m_images.size())
            return m_images[static_cast<std::size_t>(n.image)];
        return {};
    default:
        return {};
    }
}

bool CheckTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid())
        return false;
    SetState(EntryOf(index), static_cast<Qt::CheckState>(value.toInt()));
    return true;
}

Qt::ItemFlags CheckTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

CheckTree::CheckTree(QWidget* parent) : QTreeView(parent), m_model(new CheckTreeModel(this)) {
    setModel(m_model);
    setHeaderHidden(true);
    setUniformRowHeights(true); // a long preview scrolls without measuring every row
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void CheckTree::keyPressEvent(QKeyEvent* event) {
    const int entry = m_model->EntryOf(currentIndex());
    if (event->key() == Qt::Key_Space && entry >= 0) {
        m_model->SetState(entry, m_model->State(entry) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        return;
    }
    QTreeView::keyPressEvent(event);
}

} // namespace lynkora
