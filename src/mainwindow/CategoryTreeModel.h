#pragma once

#include <functional>

#include "store/CategoryTree.h"

#include <QAbstractItemModel>
#include <QIcon>

#include <vector>

namespace lynkora {

// The category tree as the tree view shows it: one row per node, the node's name as text and
// its image pair (normal and selected) from the small image strip.
class CategoryTreeModel : public QAbstractItemModel {
public:
    explicit CategoryTreeModel(QObject* parent = nullptr);

    // The tree shown, or nullptr for none (no file open).
    void SetTree(CategoryTree* tree);
    CategoryTree* Tree() const { return m_tree; }
    // The small strip; a node shows its image pair (the next image when selected).
    void SetImages(std::vector<QIcon> images);

    CategoryNode* NodeAt(const QModelIndex& index) const;
    QModelIndex IndexOf(const CategoryNode* node) const;
    // Re-reads a node's text and image, or the whole structure after moves and sorting.
    void NodeChanged(const CategoryNode* node);
    // Every node from this one down (images change for whole branches).
    void BranchChanged(const CategoryNode* node);
    // Removes a node (not the root) with its sub-nodes from the tree and the views.
    void RemoveNode(CategoryNode& node);
    void Reset();

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Sorts the tree; the views keep their expanded nodes and selection.
    void SortTree(int order);
    // Appends a node for a new category under parent.
    CategoryNode& AddNode(CategoryNode& parent, std::unique_ptr<TISFolder> folder);

    // Moves a node with its sub-nodes to the end of the target's children.
    bool MoveNode(CategoryNode& node, CategoryNode& target);

    // Dragging: categories within the tree, shortcuts from the list onto it.
    static constexpr const char* kCategoryMime = "application/x-lynkora-category";
    static constexpr const char* kShortcutsMime = "application/x-lynkora-shortcuts";
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    // The drop's target (nullptr: ignore it); the window decides and does the move.
    std::function<void(CategoryNode& dragged, CategoryNode& target)> OnDropCategory;
    std::function<void(CategoryNode& target)> OnDropShortcuts;
    // The category the list shows: its shortcuts cannot be dropped onto it.
    std::function<const CategoryNode*()> ListCategory;

    // Decides an in-place rename; the model changes nothing itself.
    std::function<void(CategoryNode& node, const QString& text)> OnRename;

private:
    CategoryTree* m_tree = nullptr;
    std::vector<QIcon> m_images; // per image index: the normal image with the selected one
};

} // namespace lynkora
