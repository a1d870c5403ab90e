#pragma once

#include "CategoryTree.h"
#include "DateTime.h"
#include "Folder.h"
#include "ProtectedFiles.h"

#include "cfb/Storage.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace lynkora {

enum FileEditModes : int { femDirect = 1101, femWorkingCopy = 1102 };

// The open data file. In direct mode the file itself is the working storage; in working-copy
// mode edits go to "<name>.$ly" and Save writes them back, while the file stays open and
// locked for the whole session.
class TDataFile {
public:
    // Opens the file, or creates it when it does not exist.
    TDataFile(const std::string& fileName, bool directMode);
    ~TDataFile();
    TDataFile(const TDataFile&) = delete;
    TDataFile& operator=(const TDataFile&) = delete;

    const std::string& FileName() const { return m_fileName; }
    const std::string& TempName() const { return m_tempName; }
    bool DirectMode() const { return m_direct; }
    bool Modified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }
    TDateTime LastDate() const { return m_lastDate; }
    CategoryNode* RootNode() const { return m_rootNode; }

    cfb::Storage& WorkStorage() { return *m_work; }
    // The ROOTFOLDER storage of the working storage.
    cfb::Storage OpenRoot() const;

    // The version check run after opening: fails for a file of a newer version, then records
    // the program's version in the file.
    void CheckVersion(const std::string& programVersion);
    // Reads every category into the tree and the previous session's date into LastDate.
    void LoadTree(CategoryTree& tree);

    // Writes one category into the working storage (under its parent node's storage) and,
    // in working-copy mode, marks the document modified.
    void WriteCategory(const CategoryNode& node);
    // Puts the category's usage data (visits, dates, verification) into the data file at once,
    // without marking the document modified.
    void WriteBackUsage(const CategoryNode& node);
    std::string NewFolderID();

    // While one lives, writes of categories reach the storage but its bookkeeping is written
    // once, when the last one ends (an import writing thousands of categories). Only for the
    // working copy: a direct-mode file is written through at once.
    class BatchOfWrites {
    public:
        explicit BatchOfWrites(TDataFile& file);
        ~BatchOfWrites();
        BatchOfWrites(const BatchOfWrites&) = delete;
        BatchOfWrites& operator=(const BatchOfWrites&) = delete;

    private:
        TDataFile& m_file;
        bool m_active;
    };

    // Working-copy mode: writes the working copy back over the data file, with the save date.
    void Save();
    // Save and Close at once, for a program about to end: a working copy with little unused
    // space becomes the data file itself, renamed into place, instead of being copied.
    void SaveAndClose();
    // Copies the working storage into "<name>.ly_".
    void Backup();
    // The path of that backup.
    std::string BackupName() const;
    // Replaces the collection by an empty root category. In working-copy mode only the working
    // copy changes (the file keeps the old collection until Save); in direct mode the file is
    // first copied to its backup.
    void EmptyCollection();
    // Writes a copy of the working storage to another path.
    void SaveAs(const std::string& newPath);
    // For the data file opened on a Save as copy: takes over the tree already shown and the
    // previous session's date, without reading the file again.
    void TakeOver(CategoryTree& tree, TDateTime lastDate);
    // Releases the files: in direct mode after writing the session date; in working-copy mode
    // the working copy is deleted. Safe to call twice.
    void Close();

private:
    struct StoredOrder {
        std::uint64_t instance = 0;     // the category object it was recorded for
        // Shortcut identities, in stored order; the file's and the working copy's records
        // share them until the category is written again.
        std::shared_ptr<const std::vector<std::uint32_t>> ids;
    };
    using OrderMap = std::unordered_map<std::string, StoredOrder>;

    static std::string Key(const TISFolder& folder);
    // The storage of a node's category below a ROOTFOLDER storage, following the node's
    // ancestors (storages nest as categories do); nullopt when the path is not there.
    static std::optional<cfb::Storage> StorageOf(const CategoryNode& node, const cfb::Storage& rootFolder);
    static StoredOrder OrderOf(const TISFolder& folder);
    void WriteNewFileRoot(cfb::Storage& root);
    cfb::Storage CopyOfWork(const std::string& target, const std::string& temp);

    std::string m_fileName;
    ProtectedDataFile m_protected; // no other writer replaces the file or its working files
    std::string m_tempName;
    bool m_direct;
    bool m_modified = false;
    int m_deferredFlushes = 0;
    std::string m_objectBuffer; // a category's object stream, as it is written
    TDateTime m_lastDate = 0;
    CategoryNode* m_rootNode = nullptr;
    bool WorkIsTight() const;
    std::optional<cfb::Storage> m_work;
    std::optional<cfb::Storage> m_file;
    // Where each category's shortcuts stand in the working storage and in the data file, so
    // usage data reaches the same shortcut in a stored copy however the category changed since.
    OrderMap m_workOrder;
    OrderMap m_fileOrder;
};

} // namespace lynkora
