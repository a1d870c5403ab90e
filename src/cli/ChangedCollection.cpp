#include "ChangedCollection.h"

#include "store/FileReplace.h"
#include "store/Version.h"

namespace lynkora::cli {

ChangedCollection::ChangedCollection(const std::string& path, bool directMode)
    : m_path(path), m_existed(FileExists(path)), m_file(path, directMode) {
    try {
        m_file.CheckVersion(kProgramVersion);
        m_file.LoadTree(m_tree);
        m_ids = CollectFolderIds(m_file.WorkStorage());
        m_batch.emplace(m_file);
    } catch (...) {
        m_file.Close();
        if (!m_existed)
            DeleteFileIfExists(m_path);
        throw;
    }
    m_target = NewTarget();
}

// Categories are not written as the import makes them: Commit writes every one, parents first,
// so a category is written once, with its shortcuts, not once empty and again full.
std::unique_ptr<ImportTarget> ChangedCollection::NewTarget() {
    return std::make_unique<ImportTarget>(m_tree, [this] { return m_ids.Next(); }, nullptr);
}

ChangedCollection::~ChangedCollection() {
    if (m_done)
        return;
    try {
        m_file.Close();
    } catch (...) {
    }
    if (!m_existed)
        DeleteFileIfExists(m_path);
}

void ChangedCollection::Empty() {
    m_target.reset();
    m_tree.Clear();
    m_file.EmptyCollection();
    m_file.LoadTree(m_tree);
    m_ids = CollectFolderIds(m_file.WorkStorage());
    m_target = NewTarget();
}

ChangedCollection::Counts ChangedCollection::Commit() {
    m_target->ReleaseIndexes();
    m_tree.SortTree(tsoNameAscending);
    const Counts counts{m_tree.ShortcutCount(), m_tree.NodeCount()};
    // A written category's shortcuts are in the working copy: they are given back at once, and
    // the room of their lists serves the directory the writes build (8 MB less at a million).
    m_tree.ForEach([&](CategoryNode& node) {
        m_file.WriteCategory(node);
        node.Folder().Shortcuts.Clear();
        node.Folder().Shortcuts.ShrinkToFit();
    });
    // Every category is in the working copy now, which becomes the file.
    m_tree.Clear();
    m_file.SaveAndClose();
    m_done = true;
    return counts;
}

} // namespace lynkora::cli
