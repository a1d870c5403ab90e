#include "CategoryTreeModel.h"

#include "platform/StoredText.h"

namespace lynkora {

CategoryTreeModel::CategoryTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void CategoryTreeModel::SetTree(CategoryTree* tree) {
    beginResetModel();
    m_tree = tree;
    endResetModel();
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
        f |= Qt::ItemIsEditable; // the root's name is fixed
    return f;
}

bool CategoryTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    CategoryNode* node = NodeAt(index);
    if (!node || role != Qt::EditRole || !OnRename)
        return false;
    OnRename(*node, value.toString());
    return true;
}

} // namespace lynkora
