#include "CategoryTree.h"

#include "NameCollator.h"

#include <algorithm>

namespace lynkora {

namespace {

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

int CategoryNode::Depth() const {
    int depth = 0;
    for (const CategoryNode* p = m_parent; p; p = p->m_parent)
        ++depth;
    return depth;
}

bool CategoryNode::IsAncestorOf(const CategoryNode& other) const {
    for (const CategoryNode* p = other.m_parent; p; p = p->m_parent)
        if (p == this)
            return true;
    return false;
}

CategoryNode& CategoryTree::SetRoot(std::unique_ptr<TISFolder> folder) {
    ++m_changes;
    m_root = std::make_unique<CategoryNode>();
    m_root->m_folder = std::move(folder);
    return *m_root;
}

CategoryNode& CategoryTree::AddChild(CategoryNode& parent, std::unique_ptr<TISFolder> folder) {
    ++m_changes;
    auto node = std::make_unique<CategoryNode>();
    node->m_folder = std::move(folder);
    node->m_parent = &parent;
    parent.m_children.push_back(std::move(node));
    return *parent.m_children.back();
}

void CategoryTree::Remove(CategoryNode& node) {
    CategoryNode* parent = node.m_parent;
    if (!parent)
        return;
    ++m_changes;
    auto& kids = parent->m_children;
    kids.erase(std::remove_if(kids.begin(), kids.end(),
                              [&](const auto& p) { return p.get() == &node; }),
               kids.end());
}

bool CategoryTree::Move(CategoryNode& node, CategoryNode& newParent) {
    CategoryNode* parent = node.m_parent;
    if (!parent || &node == &newParent || node.IsAncestorOf(newParent))
        return false;
    auto& kids = parent->m_children;
    auto it = std::find_if(kids.begin(), kids.end(), [&](const auto& p) { return p.get() == &node; });
    std::unique_ptr<CategoryNode> owned = std::move(*it);
    kids.erase(it);
    owned->m_parent = &newParent;
    newParent.m_children.push_back(std::move(owned));
    return true;
}

void CategoryTree::ForEach(const std::function<void(CategoryNode&)>& visit) const {
    if (!m_root)
        return;
    // Iterative, so a deep tree cannot exhaust the stack.
    std::vector<CategoryNode*> stack{m_root.get()};
    while (!stack.empty()) {
        CategoryNode* n = stack.back();
        stack.pop_back();
        visit(*n);
        for (auto it = n->m_children.rbegin(); it != n->m_children.rend(); ++it)
            stack.push_back(it->get());
    }
}

std::vector<CategoryNode*> CategoryTree::PreOrder() const {
    std::vector<CategoryNode*> out;
    ForEach([&](CategoryNode& n) { out.push_back(&n); });
    return out;
}

std::size_t CategoryTree::NodeCount() const {
    std::size_t n = 0;
    ForEach([&](CategoryNode&) { ++n; });
    return n;
}

std::size_t CategoryTree::ShortcutCount() const {
    std::size_t n = 0;
    ForEach([&](CategoryNode& node) { n += node.Folder().Shortcuts.Count(); });
    return n;
}

bool CategoryTree::FindChildCategory(const CategoryNode& parent, std::string_view name,
                                     CategoryNode** found) {
    for (const auto& child : parent.m_children) {
        if (CompareAsciiNoCase(child->Text(), name) == 0) {
            if (found)
                *found = child.get();
            return false;
        }
    }
    return true;
}

CategoryNode* CategoryTree::FindCategoryByName(std::string_view name, int depth) const {
    const std::string_view wanted = Trim(name);
    CategoryNode* result = nullptr;
    ForEach([&](CategoryNode& n) {
        if (!result && n.Depth() == depth && CompareAsciiNoCase(Trim(n.Text()), wanted) == 0)
            result = &n;
    });
    return result;
}

std::string CategoryTree::CategoryPath(const CategoryNode& node) {
    std::vector<const CategoryNode*> chain;
    for (const CategoryNode* p = &node; p; p = p->Parent())
        chain.push_back(p);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty() || it != chain.rbegin())
            path += '\\';
        path += (*it)->Text();
    }
    return path;
}

void CategoryTree::SortTree(int order) {
    const auto less = [order](const std::unique_ptr<CategoryNode>& a,
                              const std::unique_ptr<CategoryNode>& b) {
        switch (order) {
        case tsoNameDescending:
            return CompareNames(a->Text(), b->Text()) > 0;
        case tsoAccessAscending:
            return a->Folder().AccessCount < b->Folder().AccessCount;
        case tsoAccessDescending:
            return a->Folder().AccessCount > b->Folder().AccessCount;
        default:
            return CompareNames(a->Text(), b->Text()) < 0;
        }
    };
    ForEach([&](CategoryNode& n) { std::stable_sort(n.m_children.begin(), n.m_children.end(), less); });
}

} // namespace lynkora
