#include "DataFile.h"

#include "Compaction.h"
#include "DataFileStorage.h"
#include "FileReplace.h"
#include "NameCollator.h"
#include "ObjectStream.h"

#include <cctype>
#include <filesystem>

namespace lynkora {

using cfb::Storage;

TDataFile::TDataFile(const std::string& fileName, bool directMode)
    : m_fileName(fileName), m_protected(fileName), m_direct(directMode) {
    WaitForCompaction(fileName);
    const bool exists = FileExists(fileName);
    bool ownWorkingCopy = false;
    try {
        if (directMode) {
            if (exists) {
                m_work = OpenDataFile(fileName);
                RemoveStaleSideFiles(fileName);
                Backup();
            } else {
                m_work = CreateDataFile(fileName);
                WriteNewFileRoot(*m_work);
            }
        } else {
            m_tempName = SideFileName(fileName, ".$ly");
            // The data file is locked first: a file another program holds is refused before
            // anything beside it is touched (its working copy is that program's).
            if (exists) {
                m_file = OpenDataFile(fileName);
            } else {
                m_file = CreateDataFile(fileName);
                WriteNewFileRoot(*m_file);
            }
            DeleteFileIfExists(m_tempName);
            ownWorkingCopy = true;
            if (exists) {
                RemoveStaleSideFiles(fileName);
                // The file is locked and unchanged: its bytes are the working copy, copied in
                // the kernel instead of stream by stream (a large collection opens in half the time).
                CopyFileBytes(fileName, m_tempName);
                m_work = OpenDataFile(m_tempName);
            } else {
                m_work = CreateDataFile(m_tempName, true);
                WriteNewFileRoot(*m_work);
            }
        }
        m_work->Flush();
    } catch (...) {
        // Nothing a failed open did may stay behind; the data file was only read.
        if (m_work)
            m_work->Close();
        if (m_file)
            m_file->Close();
        if (ownWorkingCopy)
            DeleteFileIfExists(m_tempName);
        throw;
    }
}

TDataFile::~TDataFile() {
    try {
        Close();
    } catch (...) {
        // A destructor cannot report; callers that care call Close() themselves.
    }
}

void TDataFile::WriteNewFileRoot(Storage& root) {
    TISFolder folder;
    folder.FolderName = kRootFolderName;
    Storage rootFolder = root.OpenStorage(kRootFolderStorage);
    WriteFolder(rootFolder, folder, {});
    root.Flush();
}

Storage TDataFile::OpenRoot() const { return m_work->OpenStorage(kRootFolderStorage); }

void TDataFile::CheckVersion(const std::string& programVersion) {
    CheckFileVersion(m_fileName, ReadAppVersion(*m_work), programVersion);
    WriteAppVersion(*m_work, programVersion);
    m_work->Flush();
}

std::string TDataFile::Key(const TISFolder& folder) {
    std::string key = folder.FolderID;
    for (auto& c : key)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

TDataFile::StoredOrder TDataFile::OrderOf(const TISFolder& folder) {
    StoredOrder order;
    order.instance = folder.InstanceId();
    std::vector<std::uint32_t> ids;
    ids.reserve(folder.Shortcuts.Count());
    for (const auto& s : folder.Shortcuts)
        ids.push_back(s->ID());
    order.ids = std::make_shared<const std::vector<std::uint32_t>>(std::move(ids));
    return order;
}

void TDataFile::LoadTree(CategoryTree& tree) {
    LoadCategoryTree(*m_work, tree);
    m_rootNode = tree.RootNode();
    m_workOrder.clear();
    tree.ForEach([&](CategoryNode& node) { m_workOrder[Key(node.Folder())] = OrderOf(node.Folder()); });
    m_fileOrder = m_workOrder;
    m_lastDate = ReadLastDate(*m_work);
    m_work->Flush();
}

std::optional<Storage> TDataFile::StorageOf(const CategoryNode& node, const Storage& rootFolder) {
    std::vector<const CategoryNode*> chain;
    for (const CategoryNode* n = &node; n && n->Parent(); n = n->Parent())
        chain.push_back(n);
    Storage at = rootFolder;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const std::string& id = (*it)->Folder().FolderID;
        if (id.empty() || at.Find(id) != cfb::ElementKind::Storage)
            return std::nullopt;
        at = at.OpenStorage(id);
    }
    return at;
}

void TDataFile::WriteCategory(const CategoryNode& node) {
    const TISFolder& folder = node.Folder();
    const std::string parentId = node.Parent() ? node.Parent()->Folder().FolderID : std::string();
    Storage root = OpenRoot();
    // The storage path follows the tree; the search by identifier is the fallback.
    std::optional<Storage> own = StorageOf(node, root);
    std::optional<Storage> parent = node.Parent() ? StorageOf(*node.Parent(), root) : std::nullopt;
    if (own || (parent && !folder.FolderID.empty())) {
        // One buffer for every category written: a large import does not allocate per category.
        m_objectBuffer.clear();
        ObjectStream::WriteObject(m_objectBuffer, folder);
        if (own)
            WriteStreamBytes(*own, kDataStream, m_objectBuffer);
        else
            parent->CreateStorage(folder.FolderID).CreateStream(kDataStream).Write(m_objectBuffer);
        if (m_objectBuffer.capacity() > (std::size_t{16} << 20))
            std::string().swap(m_objectBuffer); // a huge category's room is not kept
    } else {
        WriteFolder(root, folder, parentId);
    }
    if (m_deferredFlushes == 0)
        m_work->Flush();
    m_workOrder[Key(folder)] = OrderOf(folder);
    if (m_direct)
        m_fileOrder[Key(folder)] = m_workOrder[Key(folder)];
    else
        m_modified = true;
}

void TDataFile::WriteBackUsage(const CategoryNode& node) {
    const TISFolder& folder = node.Folder();
    Storage& target = m_direct ? *m_work : *m_file;
    const OrderMap& orders = m_direct ? m_workOrder : m_fileOrder;
    const auto order = orders.find(Key(folder));
    Storage rootFolder = target.OpenStorage(kRootFolderStorage);
    Storage found = rootFolder;
    const std::string name = folder.FolderID.empty() ? kRootFolderStorage : folder.FolderID;
    auto locate = [&] {
        if (folder.FolderID.empty())
            return true;
        if (auto byPath = StorageOf(node, rootFolder)) {
            found = *byPath;
            return true;
        }
        return FindFolderStorage(rootFolder, name, found);
    };
    // Only a stored copy recorded for this very category object can be paired with it.
    if (order != orders.end() && order->second.instance == folder.InstanceId() && locate() &&
        found.Find(kDataStream) == cfb::ElementKind::Stream) {
        TISFolder stored;
        ObjectStream::ReadObject(found.OpenStream(kDataStream).ReadAll(), stored);
        const auto& ids = *order->second.ids;
        if (stored.Shortcuts.Count() == ids.size()) {
            for (std::size_t i = 0; i < ids.size(); ++i) {
                const TIShortcut* live = folder.Shortcuts.FindItemID(ids[i]);
                if (!live)
                    continue;
                TIShortcut& s = stored.Shortcuts[i];
                s.Count = live->Count;
                s.Access = live->Access;
                s.Verified = live->Verified;
                s.VerState = live->VerState;
                s.verResponse = live->verResponse;
            }
            stored.AccessCount = folder.AccessCount;
            // Back into the storage it was read from, wherever the category is now.
            cfb::Stream data = found.OpenStream(kDataStream);
            data.Write(ObjectStream::WriteObject(stored));
            target.Flush();
        }
    }
    if (!m_direct) {
        // The working copy holds the same usage data, or a later Save would undo it.
        const bool modified = m_modified;
        WriteCategory(node);
        m_modified = modified;
    }
}

std::string TDataFile::NewFolderID() {
    std::string id = lynkora::NewFolderID(*m_work);
    if (m_deferredFlushes == 0)
        m_work->Flush();
    return id;
}

TDataFile::BatchOfWrites::BatchOfWrites(TDataFile& file) : m_file(file), m_active(!file.m_direct) {
    if (m_active)
        ++m_file.m_deferredFlushes;
}

TDataFile::BatchOfWrites::~BatchOfWrites() {
    if (m_active && --m_file.m_deferredFlushes == 0 && m_file.m_work) {
        try {
            m_file.m_work->Flush();
        } catch (...) {
            // The next write or the save flushes again and reports.
        }
    }
}

Storage TDataFile::CopyOfWork(const std::string& target, const std::string& temp) {
    return ReplaceWithNewFile(target, temp, [&](Storage& dest) {
        InitDataFile(dest);
        m_work->Flush();
        m_work->CopyTo(dest);
    });
}

bool TDataFile::WorkIsTight() const {
    std::error_code error;
    const auto size = std::filesystem::file_size(m_tempName, error);
    return !error && m_work->UnusedBytes() * 4 <= size;
}

void TDataFile::SaveAndClose() {
    if (!m_file || !m_work) {
        Close();
        return;
    }
    m_work->Flush();
    if (!WorkIsTight()) {
        Save();
        Close();
        return;
    }
    WriteLastDate(*m_work, NowDateTime());
    m_work->Sync();
    RenameOver(m_tempName, m_fileName); // on failure the working copy stays, open, as it was
    Storage work = *m_work;
    m_work.reset();
    work.Close();
    Storage old = *m_file;
    m_file.reset();
    old.Close();
    m_modified = false;
}

void TDataFile::Save() {
    if (!m_file)
        return;
    m_work->Flush();
    const std::string temp = SideFileName(m_fileName, ".$sv");
    // A working copy with little unused space is saved as its bytes, copied in the kernel;
    // one that edits have left sparse is written anew stream by stream, which packs it.
    const bool tight = WorkIsTight();
    Storage fresh = tight ? ReplaceWithCopy(m_fileName, temp, m_tempName, [&](Storage& dest) {
        WriteLastDate(dest, NowDateTime());
    }) : ReplaceWithNewFile(m_fileName, temp, [&](Storage& dest) {
        InitDataFile(dest);
        m_work->CopyTo(dest);
        WriteLastDate(dest, NowDateTime());
    });
    Storage old = *m_file;
    m_file = fresh;
    old.Close();
    m_modified = false;
    m_fileOrder = m_workOrder;
}

void TDataFile::Backup() {
    CopyOfWork(BackupName(), SideFileName(m_fileName, ".$bk")).Close();
}

std::string TDataFile::BackupName() const { return SideFileName(m_fileName, ".ly_"); }

void TDataFile::EmptyCollection() {
    if (m_direct)
        Backup();
    m_work->DestroyElement(kRootFolderStorage);
    m_work->CreateStorage(kRootFolderStorage);
    WriteNewFileRoot(*m_work);
    m_workOrder.clear();
    if (m_direct)
        m_fileOrder.clear();
    else
        m_modified = true;
}

void TDataFile::SaveAs(const std::string& newPath) {
    const WriteTargetCheck check;
    check.Refuse(newPath);
    check.Refuse(SideFileName(newPath, ".$sv"));
    CopyOfWork(newPath, SideFileName(newPath, ".$sv")).Close();
}

void TDataFile::TakeOver(CategoryTree& tree, TDateTime lastDate) {
    m_rootNode = tree.RootNode();
    m_lastDate = lastDate;
    // The copy was made from the working storage, which every edit reaches at once: it stores
    // each category's shortcuts in the order the tree holds them now.
    m_workOrder.clear();
    tree.ForEach([&](CategoryNode& node) { m_workOrder[Key(node.Folder())] = OrderOf(node.Folder()); });
    m_fileOrder = m_workOrder;
    m_modified = false;
}

void TDataFile::Close() {
    if (!m_work)
        return;
    Storage work = *m_work;
    m_work.reset();
    if (m_direct) {
        WriteLastDate(work, NowDateTime());
        work.Close();
        return;
    }
    work.Close();
    DeleteFileIfExists(m_tempName);
    if (m_file) {
        Storage file = *m_file;
        m_file.reset();
        file.Close();
    }
}

} // namespace lynkora
