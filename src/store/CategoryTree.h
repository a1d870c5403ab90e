#pragma once

#include "Folder.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lynkora {

// The image pair a category node shows (normal image; the selected one is the next index).
enum class NodeImage : int { Normal = 3, Excluded = 5, Verifying = 7, NewByImport = 26 };

// Orders of the tree's children.
enum TreeSortOrders : int {
    tsoNameAscending = 100,
    tsoNameDescending = 101,
    tsoAccessAscending = 102,
    tsoAccessDescending = 103,
};

// One node of the category hierarchy; it owns its category object.
class CategoryNode {
public:
    TISFolder& Folder() { return *m_folder; }
    const TISFolder& Folder() const { return *m_folder; }
    const std::string& Text() const { return m_folder->FolderName; }
    CategoryNode* Parent() const { return m_parent; }
    const std::vector<std::unique_ptr<CategoryNode>>& Children() const { return m_children; }
    std::size_t ChildCount() const { return m_children.size(); }
    CategoryNode& Child(std::size_t i) const { return *m_children[i]; }
    int Depth() const;
    bool IsAncestorOf(const CategoryNode& other) const;

    NodeImage Image() const { return m_image; }
    void SetImage(NodeImage image) { m_image = image; }
    int ImageIndex() const { return static_cast<int>(m_image); }
    int SelectedIndex() const { return static_cast<int>(m_image) + 1; }

private:
    friend class CategoryTree;
    std::unique_ptr<TISFolder> m_folder;
    CategoryNode* m_parent = nullptr;
    std::vector<std::unique_ptr<CategoryNode>> m_children;
    NodeImage m_image = NodeImage::Normal;
};

// The in-memory category hierarchy of the open file: the root node at depth 0 and its
// descendants, in tree order.
class CategoryTree {
public:
    CategoryNode* RootNode() const { return m_root.get(); }
    bool Empty() const { return !m_root; }

    // Replaces the whole tree with a root node owning the category.
    CategoryNode& SetRoot(std::unique_ptr<TISFolder> folder);
    // Appends a node as the last child of parent.
    CategoryNode& AddChild(CategoryNode& parent, std::unique_ptr<TISFolder> folder);
    // Removes a node (not the root) with everything below it.
    void Remove(CategoryNode& node);
    // Moves a node (not the root) to be the last child of newParent; refused (false) when
    // newParent is the node itself or lies below it.
    bool Move(CategoryNode& node, CategoryNode& newParent);
    void Clear() {
        m_root.reset();
        ++m_changes;
    }
    // Counts nodes added and removed, so holders of node pointers know when to look again.
    std::uint64_t Changes() const { return m_changes; }

    // Every node in tree order (pre-order), the root first.
    std::vector<CategoryNode*> PreOrder() const;
    void ForEach(const std::function<void(CategoryNode&)>& visit) const;
    std::size_t NodeCount() const;
    std::size_t ShortcutCount() const;

    // True when no child of parent bears the name (ignoring ASCII case); otherwise false, with
    // the first such child in *found.
    static bool FindChildCategory(const CategoryNode& parent, std::string_view name,
                                  CategoryNode** found = nullptr);
    // The first node in tree order at the depth whose name equals the name (both trimmed,
    // ignoring ASCII case), or nullptr.
    CategoryNode* FindCategoryByName(std::string_view name, int depth) const;
    // The names from the root down to the node, joined with "\".
    static std::string CategoryPath(const CategoryNode& node);

    // Sorts the children of every node by the tree sort order.
    void SortTree(int treeSortOrder);

private:
    std::unique_ptr<CategoryNode> m_root;
    std::uint64_t m_changes = 0;
};

} // namespace lynkora
