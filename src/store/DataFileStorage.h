#pragma once

// The storage operations of a data file: its fixed storages, category storages named by their
// FolderID, the program version and the session date.

#include "CategoryTree.h"
#include "DateTime.h"
#include "Folder.h"

#include "cfb/Storage.h"

#include <string>
#include <vector>

namespace lynkora {

inline constexpr const char* kRootFolderStorage = "ROOTFOLDER";
inline constexpr const char* kDataStream = "DATA";

// Creates a data file (replacing any file there) with ROOTFOLDER, VERSION and SESSION and the
// current date in SESSION/LASTDATE.
cfb::Storage CreateDataFile(const std::string& path, bool newOnly = false);
// Checks that the file is a compound file ("Error: not a valid Lynkora file!" otherwise) and
// opens it exclusively, read-write or read-only.
cfb::Storage OpenDataFile(const std::string& path, bool writable = true);

// The numbers of the category identifiers of a file ("F" and hexadecimal digits after the
// second character; other text counts as 0), handing out new identifiers.
class FolderIdNumbers {
public:
    FolderIdNumbers() = default;
    explicit FolderIdNumbers(std::vector<unsigned long> numbers);
    void Add(const std::string& folderId);
    // The first gap in the sorted numbers, else one more than the largest (1 when there are
    // none); the number is taken.
    std::string Next();

private:
    std::vector<unsigned long> m_numbers; // sorted, each once
    std::size_t m_scan = 0;               // numbers[0..m_scan] equal their positions
};

// The identifier numbers of every storage below the root (storages with an empty name are
// destroyed on the way), to hand out several new identifiers in a row.
FolderIdNumbers CollectFolderIds(cfb::Storage& root);

// A new identifier: the first gap in the numbers of the "F..." storages at every depth, else
// one more than the largest. Destroys storages with an empty name on the way.
std::string NewFolderID(cfb::Storage& root);

// Writes the named stream of st to hold exactly bytes, creating it when missing.
void WriteStreamBytes(cfb::Storage& st, const char* name, const std::string& bytes);

// Creates the fixed storages of a data file in an empty compound file.
void InitDataFile(cfb::Storage& root);
// Finds a storage by name (ignoring case) anywhere below `from`, depth-first.
bool FindFolderStorage(const cfb::Storage& from, const std::string& name, cfb::Storage& found);

// Writes the category's DATA below ROOTFOLDER: into the storage of parentId (found at any
// depth), or ROOTFOLDER itself for an empty parentId; the root category (no FolderID, no
// parent) into ROOTFOLDER/DATA. False when the parent storage is not found.
bool WriteFolder(cfb::Storage& rootFolder, const TISFolder& folder, const std::string& parentId);

std::string ReadAppVersion(const cfb::Storage& root);
void WriteAppVersion(cfb::Storage& root, const std::string& version);
TDateTime ReadLastDate(cfb::Storage& root);
void WriteLastDate(cfb::Storage& root, TDateTime date);

// Fails with the four-line newer-version message when the file's version is newer than the
// program's; fileVersion may be empty.
void CheckFileVersion(const std::string& fileName, const std::string& fileVersion,
                      const std::string& programVersion);

// Visits the category storages below a ROOTFOLDER storage (second character "L", holding a
// DATA stream), depth-first in enumeration order: visit(parentContext, name, dataBytes) returns
// the context of the category's own children. A storage without DATA is skipped with everything
// below it; with skipUnreadable, so is one whose storage or DATA cannot be read.
template <class Context, class Visit>
void WalkCategoryStorages(const cfb::Storage& rootFolder, Context root, Visit visit,
                          bool skipUnreadable = false) {
    struct Pending {
        cfb::Storage storage;
        Context context;
    };
    std::vector<Pending> stack{{rootFolder, root}};
    std::string data; // one buffer for every category: loading leaves no holes in the heap
    while (!stack.empty()) {
        Pending p = stack.back();
        stack.pop_back();
        std::vector<Pending> below;
        for (const auto& e : p.storage.Elements()) {
            if (e.kind != cfb::ElementKind::Storage || e.name.size() < 2 || e.name[1] != 'L')
                continue;
            try {
                cfb::Storage st = p.storage.OpenStorage(e.name);
                if (st.Find("DATA") != cfb::ElementKind::Stream)
                    continue;
                st.OpenStream("DATA").ReadAll(data);
                below.push_back({st, visit(p.context, e.name, data)});
            } catch (const cfb::StorageError&) {
                if (!skipUnreadable)
                    throw;
            }
        }
        // The first child's subtree comes before its next sibling's.
        for (auto it = below.rbegin(); it != below.rend(); ++it)
            stack.push_back(*it);
    }
}

// Reads ROOTFOLDER and every category storage below it into a new tree (depth-first in
// enumeration order), clearing Exclude and New and turning 2003 into 2001. Fails with
// "Data file error: missing or incorrect category data!" without ROOTFOLDER/DATA.
void LoadCategoryTree(const cfb::Storage& root, CategoryTree& tree);

// Reads everything of an open data file as opening it does (the version check, every category,
// the session date); fails as opening fails. Returns the file's program version.
struct CollectionHeader {
    std::string appVersion;
    TDateTime lastDate = 0;
};
CollectionHeader LoadWholeCollection(cfb::Storage& root, const std::string& path, CategoryTree& tree);

} // namespace lynkora
