#include "CategoryTreeModel.h"

#include "platform/StoredText.h"

#include <QMimeData>

namespace lynkora {

CategoryTreeModel::CategoryTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void CategoryTreeModel::SetTree(CategoryTree* tree) {
    beginResetModel();
    m_tree = tree;
    endResetModel();
}

void CategoryTreeModel::SetImages(std::vector<QIcon> images) {
    m_images.assign(images.size(), QIcon());
    for (std::size_t i = 0; i < images.size(); ++i) {
        QIcon pair;
        pair.addPixmap(images[i].pixmap(16, 16), QIcon::Normal);
        if (i + 1 < images.size())
            pair.addPixmap(images[i + 1].pixmap(16, 16), QIcon::Selected);
        m_images[i] = pair;
    }
}

void CategoryTreeModel::Reset() {
    beginResetModel();
    endResetModel();
}

CategoryNode* CategoryTreeModel::NodeAt(const QModelIndex& index) const {
    return index.isValid() ? static_cast<CategoryNode*>(index.internalPointer()) : nullptr;
}

QModelIndex CategoryTreeModel::IndexOf(const CategoryNode* node) const {
    if (!node || !m_tree)
        return {};
    const CategoryNode* parent = node->Parent();
    if (!parent)
        return createIndex(0, 0, const_cast<CategoryNode*>(node));
    const auto& kids = parent->Children();
    for (std::size_t i = 0; i < kids.size(); ++i)
        if (kids[i].get() == node)
            return createIndex(static_cast<int>(i), 0, const_cast<CategoryNode*>(node));
    return {};
}

void CategoryTreeModel::NodeChanged(const CategoryNode* node) {
    const QModelIndex i = IndexOf(node);
    if (i.isValid())
        emit dataChanged(i, i);
}

void CategoryTreeModel::BranchChanged(const CategoryNode* node) {
    NodeChanged(node);
    for (const auto& child : node->Children())
        BranchChanged(child.get());
}

void CategoryTreeModel::RemoveNode(CategoryNode& node) {
    const QModelIndex i = IndexOf(&node);
    if (!i.isValid() || !node.Parent())
        return;
    beginRemoveRows(i.parent(), i.row(), i.row());
    m_tree->Remove(node);
    endRemoveRows();
}

QModelIndex CategoryTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (!m_tree || !m_tree->RootNode() || column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row == 0 ? createIndex(0, 0, m_tree->RootNode()) : QModelIndex();
    CategoryNode* node = NodeAt(parent);
    if (static_cast<std::size_t>(row) >= node->ChildCount())
        return {};
    return createIndex(row, 0, &node->Child(static_cast<std::size_t>(row)));
}

QModelIndex CategoryTreeModel::parent(const QModelIndex& child) const {
    CategoryNode* node = NodeAt(child);
    return node ? IndexOf(node->Parent()) : QModelIndex();
}

int CategoryTreeModel::rowCount(const QModelIndex& parent) const {
    if (!m_tree || !m_tree->RootNode())
        return 0;
    if (!parent.isValid())
        return 1;
    return static_cast<int>(NodeAt(parent)->ChildCount());
}

int CategoryTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant CategoryTreeModel::data(const QModelIndex& index, int role) const {
    const CategoryNode* node = NodeAt(index);
    if (!node)
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return DecodeStoredText(node->Text());
    if (role == Qt::DecorationRole) {
        const auto i = static_cast<std::size_t>(node->ImageIndex());
        return i < m_images.size() ? QVariant(m_images[i]) : QVariant();
    }
    return {};
}

} // namespace lynkora

namespace lynkora {

Qt::ItemFlags CategoryTreeModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractItemModel::flags(index);
    const CategoryNode* node = NodeAt(index);
    if (node && node->Parent())
        f |= Qt::ItemIsEditable | Qt::ItemIsDragEnabled; // the root's name and place are fixed
    return f | Qt::ItemIsDropEnabled;
}

bool CategoryTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    CategoryNode* node = NodeAt(index);
    if (!node || role != Qt::EditRole || !OnRename)
        return false;
    OnRename(*node, value.toString());
    return true;
}

} // namespace lynkora

namespace lynkora {

namespace {

// A node is named by its row path from the root, so a drag never carries a pointer.
QByteArray PathOf(const CategoryNode* node) {
    QByteArray out;
    for (const CategoryNode* n = node; n && n->Parent(); n = n->Parent()) {
        const auto& kids = n->Parent()->Children();
        for (std::size_t i = 0; i < kids.size(); ++i)
            if (kids[i].get() == n)
                out.prepend(QByteArray::number(static_cast<qulonglong>(i)) + "/");
    }
    return out;
}

CategoryNode* NodeOfPath(CategoryTree* tree, const QByteArray& path) {
    CategoryNode* n = tree ? tree->RootNode() : nullptr;
    for (const QByteArray& part : path.split('/')) {
        if (part.isEmpty() || !n)
            continue;
        bool ok = false;
        const qulonglong i = part.toULongLong(&ok);
        n = ok && i < n->ChildCount() ? &n->Child(static_cast<std::size_t>(i)) : nullptr;
    }
    return n;
}

} // namespace

void CategoryTreeModel::SortTree(int order) {
    if (!m_tree || !m_tree->RootNode())
        return;
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<CategoryNode*> nodes;
    for (const QModelIndex& i : before)
        nodes.push_back(NodeAt(i));
    m_tree->SortTree(order);
    QModelIndexList after;
    for (CategoryNode* n : nodes)
        after.push_back(IndexOf(n));
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

CategoryNode& CategoryTreeModel::AddNode(CategoryNode& parent, std::unique_ptr<TISFolder> folder) {
    const int row = static_cast<int>(parent.ChildCount());
    beginInsertRows(IndexOf(&parent), row, row);
    CategoryNode& node = m_tree->AddChild(parent, std::move(folder));
    endInsertRows();
    return node;
}

bool CategoryTreeModel::MoveNode(CategoryNode& node, CategoryNode& target) {
    const QModelIndex from = IndexOf(&node);
    const QModelIndex to = IndexOf(&target);
    if (!from.isValid() || !to.isValid() || !node.Parent())
        return false;
    if (!beginMoveRows(from.parent(), from.row(), from.row(), to, static_cast<int>(target.ChildCount())))
        return false;
    const bool moved = m_tree->Move(node, target);
    endMoveRows();
    return moved;
}

QStringList CategoryTreeModel::mimeTypes() const {
    return {kCategoryMime, kShortcutsMime};
}

QMimeData* CategoryTreeModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty() || !NodeAt(indexes.front()) || !NodeAt(indexes.front())->Parent())
        return nullptr;
    auto* data = new QMimeData;
    data->setData(kCategoryMime, PathOf(NodeAt(indexes.front())));
    return data;
}

bool CategoryTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int row, int,
                                        const QModelIndex& parent) const {
    if (!data || row >= 0)
        return false; // between items: no target
    if (data->hasFormat(kCategoryMime))
        return true; // the rules are checked at the drop
    const CategoryNode* target = NodeAt(parent);
    return data->hasFormat(kShortcutsMime) && target && (!ListCategory || ListCategory() != target);
}

bool CategoryTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                     const QModelIndex& parent) {
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    CategoryNode* target = NodeAt(parent);
    if (data->hasFormat(kCategoryMime)) {
        CategoryNode* dragged = NodeOfPath(m_tree, data->data(kCategoryMime));
        if (!target && m_tree)
            target = m_tree->RootNode(); // below the last node
        if (dragged && target && OnDropCategory)
            OnDropCategory(*dragged, *target);
    } else if (target && OnDropShortcuts) {
        OnDropShortcuts(*target);
    }
    return false; // the window has moved what moves; the view must not remove rows itself
}

} // namespace lynkora
