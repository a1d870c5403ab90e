#include "ImportTarget.h"

#include <algorithm>
#include "store/TextTools.h"

namespace lynkora {

ImportTarget::ImportTarget(CategoryTree& tree, NewId newId, Write writeCategory)
    : m_tree(tree), m_newId(std::move(newId)), m_write(std::move(writeCategory)) {
    for (CategoryNode* node : m_tree.PreOrder())
        m_byName.emplace(std::make_pair(node->Depth(), Key(node->Text())), node);
}

std::string ImportTarget::Key(const std::string& text) { return LowerAscii(TrimSpaces(text)); }

CategoryNode* ImportTarget::FindCategoryByName(const std::string& name, int depth) {
    auto it = m_byName.find({depth, Key(name)});
    return it == m_byName.end() ? nullptr : it->second;
}

CategoryNode* ImportTarget::FindChild(CategoryNode& parent, const std::string& name) {
    auto [it, inserted] = m_children.try_emplace(&parent);
    if (inserted)
        for (const auto& child : parent.Children())
            it->second.emplace(Key(child->Text()), child.get()); // the first of a name stays
    const auto found = it->second.find(Key(name));
    return found == it->second.end() ? nullptr : found->second;
}

UrlIndex& ImportTarget::UrlsOf(CategoryNode& node) {
    auto it = m_urls.find(&node);
    if (it == m_urls.end())
        it = m_urls.emplace(&node, UrlIndex(node.Folder().Shortcuts)).first;
    return it->second;
}

bool ImportTarget::HoldsUrl(CategoryNode& node, std::string_view url) { return UrlsOf(node).Holds(url); }

const TKeywords& ImportTarget::KeywordList(const std::string& keyword) {
    auto [it, inserted] = m_keywordLists.try_emplace(keyword);
    if (inserted)
        it->second.Add(keyword);
    return it->second;
}

void ImportTarget::SetKeyword(TIShortcut& shortcut, const std::string& keyword) {
    if (shortcut.Keywords.Empty())
        shortcut.Keywords.Assign(KeywordList(keyword));
    else
        shortcut.Keywords.Add(keyword);
}

CategoryNode& ImportTarget::AddCategory(CategoryNode& parent, std::unique_ptr<TISFolder> folder) {
    folder->FolderID = m_newId();
    folder->New = true;
    CategoryNode& node = m_tree.AddChild(parent, std::move(folder));
    node.SetImage(NodeImage::NewByImport);
    m_byName.emplace(std::make_pair(node.Depth(), Key(node.Text())), &node);
    if (const auto known = m_children.find(&parent); known != m_children.end())
        known->second.emplace(Key(node.Text()), &node);
    if (m_write)
        m_write(node);
    return node;
}

TIShortcut& ImportTarget::AddShortcut(CategoryNode& node, std::string_view url) {
    UrlIndex& urls = UrlsOf(node);
    TIShortcut& s = node.Folder().Shortcuts.Add();
    s.URL = url;
    urls.Add(node.Folder().Shortcuts.Count() - 1);
    MarkNew(node);
    return s;
}

void ImportTarget::MarkNew(CategoryNode& node) {
    if (node.Folder().New)
        return;
    node.Folder().New = true;
    node.SetImage(NodeImage::NewByImport);
}

void ImportTarget::ReleaseIndexes() {
    std::unordered_map<const CategoryNode*, UrlIndex>().swap(m_urls);
    std::unordered_map<const CategoryNode*, std::unordered_map<std::string, CategoryNode*>>().swap(m_children);
}

void ImportTarget::Note(const std::string& text) {
    if (std::find(m_notes.begin(), m_notes.end(), text) == m_notes.end())
        m_notes.push_back(text);
}

void ImportTarget::NoteFlattened() {
    Note("Folders nested deeper than " + std::to_string(kMaxDepth) +
         " levels were imported into the category at level " + std::to_string(kMaxDepth) + ".");
}

CategoryNode& ImportCursor::EnterFolder(const std::string& name,
                                        const std::function<std::unique_ptr<TISFolder>()>& make) {
    if (m_parentDepth >= ImportTarget::kMaxDepth) {
        ++m_beyond;
        m_folder = m_parent;
        m_target.NoteFlattened();
        return *m_folder;
    }
    ++m_parentDepth;
    m_folder = m_target.FindChild(*m_parent, name);
    if (!m_folder)
        m_folder = &m_target.AddCategory(*m_parent, make());
    m_parent = m_folder;
    return *m_folder;
}

CategoryNode& ImportCursor::LinkTarget() {
    if (!m_folder)
        m_folder = m_parent;
    return *m_folder;
}

TIShortcut* ImportCursor::AddLink(std::string_view url, std::string_view name, const std::string& keyword,
                                  double added) {
    CategoryNode& folder = LinkTarget();
    if (m_target.HoldsUrl(folder, url))
        return nullptr;
    TIShortcut& s = m_target.AddShortcut(folder, url);
    s.Name = name;
    s.Added = added;
    m_target.SetKeyword(s, keyword);
    return &s;
}

void ImportCursor::CloseList() {
    if (m_depth == 1) {
        m_parent = m_folder = &m_target.Root();
        m_parentDepth = m_beyond = 0;
    } else if (m_beyond > 0) {
        --m_beyond; // still below the deepest category
    } else {
        if (m_parent->Parent() && m_parentDepth > 0)
            --m_parentDepth;
        if (m_parent->Parent())
            m_parent = m_parent->Parent();
        if (m_folder && m_folder->Parent())
            m_folder = m_folder->Parent();
    }
    --m_depth;
}

} // namespace lynkora
