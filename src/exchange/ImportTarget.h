#pragma once

#include "store/CategoryTree.h"
#include "store/TextTools.h"
#include "UrlIndex.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace lynkora {

// Where the browser readers put what they read: the open document's category tree, with its
// identifier source and the write of a new category. Category lookups by name and depth and the
// duplicate-URL test go through indexes, so large imports stay linear.
class ImportTarget {
public:
    using NewId = std::function<std::string()>;
    using Write = std::function<void(CategoryNode&)>;

    ImportTarget(CategoryTree& tree, NewId newId, Write writeCategory);

    CategoryNode& Root() const { return *m_tree.RootNode(); }

    // The first node in tree order at the depth whose name equals the name (both trimmed,
    // ignoring ASCII case), or nullptr.
    CategoryNode* FindCategoryByName(const std::string& name, int depth);
    // The first child of parent whose name equals the name (both trimmed, ignoring ASCII case),
    // or nullptr.
    CategoryNode* FindChild(CategoryNode& parent, const std::string& name);
    // Whether the category holds a shortcut with the URL (ignoring ASCII case).
    bool HoldsUrl(CategoryNode& node, std::string_view url);
    // Adds a category read by an import as the last child of parent (new identifier, the
    // import's image, written at once).
    CategoryNode& AddCategory(CategoryNode& parent, std::unique_ptr<TISFolder> folder);
    // Appends a shortcut with the URL and marks the category new.
    TIShortcut& AddShortcut(CategoryNode& node, std::string_view url);
    // Gives the shortcut the one keyword, sharing the list with every other shortcut given it.
    void SetKeyword(TIShortcut& shortcut, const std::string& keyword);
    void MarkNew(CategoryNode& node);
    // Gives back the URL and child-name tables (built again when next needed): the final pass of
    // a large import needs the room.
    void ReleaseIndexes();
    // Writes a category the import changed into the document.
    void WriteCategory(CategoryNode& node) {
        if (m_write)
            m_write(node);
    }

    // Categories are made at most this deep; folders nested deeper give their bookmarks to the
    // category at this depth, so a hostile nesting neither runs for ever nor loses bookmarks.
    static constexpr int kMaxDepth = 256;
    // What the import has to tell besides its count (a flattened nesting ...), each once.
    const std::vector<std::string>& Notes() const { return m_notes; }
    void Note(const std::string& text);
    void NoteFlattened();

private:
    std::vector<std::string> m_notes;
    static std::string Key(const std::string& text);
    UrlIndex& UrlsOf(CategoryNode& node);
    // The keyword list every shortcut of one keyword shares (held once, however many links).
    const TKeywords& KeywordList(const std::string& keyword);

    CategoryTree& m_tree;
    NewId m_newId;
    Write m_write;
    std::map<std::pair<int, std::string>, CategoryNode*> m_byName; // first in tree order
    std::unordered_map<const CategoryNode*, UrlIndex> m_urls;
    std::map<std::string, TKeywords> m_keywordLists;
    // Children by name, for each parent looked into (filled on first use).
    std::unordered_map<const CategoryNode*, std::unordered_map<std::string, CategoryNode*>> m_children;
};

// Where the Netscape and Opera readers stand: the depth of open lists, the parent of the next
// folder, and the category that receives links.
class ImportCursor {
public:
    explicit ImportCursor(ImportTarget& target) : m_target(target), m_parent(&target.Root()) {}

    void OpenList() { ++m_depth; }
    // A folder heading: the current parent's sub-category of that name, or a new one made by
    // `make` below it. Folders of one name under different parents stay apart.
    CategoryNode& EnterFolder(const std::string& name,
                              const std::function<std::unique_ptr<TISFolder>()>& make);
    // The category a link goes into.
    CategoryNode& LinkTarget();
    // The end of a list: back to the parent (never above the root).
    void CloseList();
    // A link read from the file: a new shortcut with the import's keyword in the category that
    // receives links, unless that category holds the URL already; nullptr then.
    TIShortcut* AddLink(std::string_view url, std::string_view name, const std::string& keyword,
                        double added);

private:
    ImportTarget& m_target;
    int m_depth = 0;
    int m_parentDepth = 0; // the depth of m_parent in the tree
    int m_beyond = 0;      // folder levels open below the deepest category made
    CategoryNode* m_parent;
    CategoryNode* m_folder = nullptr;
};

} // namespace lynkora
