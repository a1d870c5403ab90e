#pragma once

#include "exchange/ImportTarget.h"
#include "store/DataFile.h"
#include "store/DataFileStorage.h"

#include <memory>
#include <optional>
#include <string>

namespace lynkora::cli {

// A data file opened for a command that changes it. Nothing reaches the file unless Commit
// runs: a working copy is discarded, and a file the command created goes again.
class ChangedCollection {
public:
    explicit ChangedCollection(const std::string& path, bool directMode = false);
    ~ChangedCollection();
    ChangedCollection(const ChangedCollection&) = delete;
    ChangedCollection& operator=(const ChangedCollection&) = delete;

    TDataFile& File() { return m_file; }
    CategoryTree& Tree() { return m_tree; }
    ImportTarget& Target() { return *m_target; }
    // Replaces the collection by an empty root (a synchronisation that imports).
    void Empty();
    // What a committed collection holds.
    struct Counts {
        std::size_t shortcuts = 0, categories = 0;
    };
    // The final pass of an import: sorted, every category written, saved, closed. The tree is
    // emptied on the way (what it held is in the file), so only the counts remain.
    Counts Commit();

private:
    std::unique_ptr<ImportTarget> NewTarget();

    std::string m_path;
    bool m_existed;
    TDataFile m_file;
    CategoryTree m_tree;
    FolderIdNumbers m_ids;
    std::optional<TDataFile::BatchOfWrites> m_batch; // the working copy's bookkeeping written once
    std::unique_ptr<ImportTarget> m_target;
    bool m_done = false;
};

} // namespace lynkora::cli
