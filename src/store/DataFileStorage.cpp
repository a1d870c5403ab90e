#include "DataFileStorage.h"

#include <sys/stat.h>
#include <unistd.h>

#include "Errors.h"
#include "NameCollator.h"
#include "ObjectStream.h"
#include "Version.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace lynkora {

namespace {

using cfb::ElementKind;
using cfb::Storage;

std::string ReadStreamBytes(const Storage& st, const char* name) {
    return st.OpenStream(name).ReadAll();
}

Storage OpenOrCreateStorage(Storage& parent, const std::string& name) {
    return parent.Find(name) == ElementKind::Storage ? parent.OpenStorage(name)
                                                     : parent.CreateStorage(name);
}

// Depth-first search for a storage by name (ignoring case), in enumeration order.
bool FindStorageImpl(const Storage& from, const std::string& name, Storage& found) {
    std::vector<Storage> stack{from};
    while (!stack.empty()) {
        Storage st = stack.back();
        stack.pop_back();
        const auto elements = st.Elements();
        std::vector<Storage> below;
        for (const auto& e : elements) {
            if (e.kind != ElementKind::Storage)
                continue;
            if (CompareAsciiNoCase(e.name, name) == 0) {
                found = st.OpenStorage(e.name);
                return true;
            }
            below.push_back(st.OpenStorage(e.name));
        }
        for (auto it = below.rbegin(); it != below.rend(); ++it)
            stack.push_back(*it);
    }
    return false;
}

void ClearLoadState(TISFolder& folder) {
    folder.Exclude = false;
    folder.New = false;
    for (auto& s : folder.Shortcuts)
        if (s->VerState == vsVerifying)
            s->VerState = vsGood;
    folder.Shortcuts.ShrinkToFit();
}

int VersionPart(const std::vector<std::string>& parts, std::size_t i, int fallback) {
    if (i >= parts.size() || parts[i].empty())
        return fallback;
    char* end = nullptr;
    const long v = std::strtol(parts[i].c_str(), &end, 10);
    return (*end == '\0') ? static_cast<int>(v) : fallback;
}

std::vector<std::string> SplitDots(const std::string& s) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const auto dot = s.find('.', start);
        parts.push_back(s.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    return parts;
}

} // namespace

bool FindFolderStorage(const Storage& from, const std::string& name, Storage& found) {
    return FindStorageImpl(from, name, found);
}

void InitDataFile(Storage& root) {
    root.CreateStorage(kRootFolderStorage);
    root.CreateStorage("VERSION");
    Storage session = root.CreateStorage("SESSION");
    std::string date;
    ObjectStream::WriteDateValue(date, NowDateTime());
    session.CreateStream("LASTDATE").Write(date);
}

Storage CreateDataFile(const std::string& path, bool newOnly) {
    Storage root = cfb::CreateCompoundFile(path, newOnly);
    InitDataFile(root);
    root.Flush();
    return root;
}

Storage OpenDataFile(const std::string& path, bool writable) {
    if (!cfb::IsCompoundFile(path)) {
        // What is missing, a folder, a FIFO or unreadable is said as such by the open itself;
        // only a readable file of another kind is "not a valid Lynkora file".
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || ::access(path.c_str(), R_OK) != 0)
            return cfb::OpenCompoundFile(path, writable);
        throw ELynkora("Error: not a valid Lynkora file!\n\n\"" + path + "\"");
    }
    return cfb::OpenCompoundFile(path, writable);
}

std::string NewFolderID(Storage& root) { return CollectFolderIds(root).Next(); }

FolderIdNumbers CollectFolderIds(Storage& root) {
    FolderIdNumbers ids;
    std::vector<Storage> stack{root};
    while (!stack.empty()) {
        Storage st = stack.back();
        stack.pop_back();
        for (const auto& e : st.Elements()) {
            if (e.kind != ElementKind::Storage)
                continue;
            if (e.name.empty()) {
                st.DestroyElement(e.name);
                continue;
            }
            ids.Add(e.name);
            stack.push_back(st.OpenStorage(e.name));
        }
    }
    return ids;
}

FolderIdNumbers::FolderIdNumbers(std::vector<unsigned long> numbers) : m_numbers(std::move(numbers)) {
    std::sort(m_numbers.begin(), m_numbers.end());
    m_numbers.erase(std::unique(m_numbers.begin(), m_numbers.end()), m_numbers.end());
}

void FolderIdNumbers::Add(const std::string& folderId) {
    if (folderId.empty() || (folderId[0] != 'F' && folderId[0] != 'f'))
        return;
    const std::string digits = folderId.size() > 2 ? folderId.substr(2) : std::string();
    char* end = nullptr;
    const unsigned long v = std::strtoul(digits.c_str(), &end, 16);
    const unsigned long n = end && *end == '\0' ? v : 0;
    // Each number counts once: two storages of one number must not make the next identifier
    // collide with an existing one.
    const auto at = std::lower_bound(m_numbers.begin(), m_numbers.end(), n);
    if (at == m_numbers.end() || *at != n)
        m_numbers.insert(at, n);
}

std::string FolderIdNumbers::Next() {
    // The first position whose number differs from the position, else one past the largest.
    unsigned long result = m_numbers.empty() ? 1 : m_numbers.back() + 1;
    for (std::size_t i = m_scan; i < m_numbers.size(); ++i) {
        if (m_numbers[i] != i) {
            result = i;
            break;
        }
        m_scan = i;
    }
    char id[16];
    std::snprintf(id, sizeof id, "FL%08lX", result & 0xFFFFFFFFul);
    m_numbers.insert(std::upper_bound(m_numbers.begin(), m_numbers.end(), result), result);
    return id;
}

void WriteStreamBytes(Storage& st, const char* name, const std::string& bytes) {
    cfb::Stream s = st.Find(name) == ElementKind::Stream ? st.OpenStream(name) : st.CreateStream(name);
    s.Seek(0);
    s.Write(bytes);
    // A shorter object leaves no tail of the old one: no stale shortcuts in the file, and the
    // space comes back.
    s.SetSize(bytes.size());
}

bool WriteFolder(Storage& rootFolder, const TISFolder& folder, const std::string& parentId) {
    const std::string bytes = ObjectStream::WriteObject(folder);
    Storage target = rootFolder;
    if (!parentId.empty()) {
        if (!FindFolderStorage(rootFolder, parentId, target))
            return false;
    } else if (folder.FolderID.empty()) {
        WriteStreamBytes(rootFolder, kDataStream, bytes);
        return true;
    }
    Storage own = OpenOrCreateStorage(target, folder.FolderID);
    WriteStreamBytes(own, kDataStream, bytes);
    return true;
}

std::string ReadAppVersion(const Storage& root) {
    Storage version = root.OpenStorage("VERSION");
    if (version.Find("APPVER") != ElementKind::Stream)
        return {};
    return ObjectStream::ReadTextValue(ReadStreamBytes(version, "APPVER"));
}

void WriteAppVersion(Storage& root, const std::string& text) {
    Storage version = root.OpenStorage("VERSION");
    std::string bytes;
    ObjectStream::WriteTextValue(bytes, text);
    WriteStreamBytes(version, "APPVER", bytes);
}

TDateTime ReadLastDate(Storage& root) {
    if (root.Find("SESSION") != ElementKind::Storage)
        return 0;
    Storage session = root.OpenStorage("SESSION");
    if (session.Find("LASTDATE") != ElementKind::Stream)
        return 0;
    return ObjectStream::ReadDateValue(ReadStreamBytes(session, "LASTDATE"));
}

void WriteLastDate(Storage& root, TDateTime date) {
    Storage session = OpenOrCreateStorage(root, "SESSION");
    std::string bytes;
    ObjectStream::WriteDateValue(bytes, date);
    WriteStreamBytes(session, "LASTDATE", bytes);
}

void CheckFileVersion(const std::string& fileName, const std::string& fileVersion,
                      const std::string& programVersion) {
    if (CompareAsciiNoCase(fileVersion, programVersion) == 0)
        return;
    const auto file = SplitDots(fileVersion);
    const auto program = SplitDots(programVersion);
    const int fileMajor = VersionPart(file, 0, 0), fileMinor = VersionPart(file, 1, 0);
    const int progMajor = VersionPart(program, 0, 4), progMinor = VersionPart(program, 1, 0);
    if (progMajor < fileMajor || (progMajor == fileMajor && progMinor < fileMinor)) {
        const std::string numbers = std::to_string(fileMajor) + "." + std::to_string(fileMinor) +
                                    "." + std::to_string(VersionPart(file, 2, 0)) + "." +
                                    std::to_string(VersionPart(file, 3, 0));
        throw ELynkora("Error: the file \"" + fileName + "\" was created with a\nnewer version of "
                       "Lynkora.\n\nPlease upgrade to version " + numbers + " or higher.");
    }
}

namespace {
// Equal keyword lists of a loaded collection are held once.
void ShareKeywords(TISFolder& folder, StringListPool& pool) {
    pool.Share(folder.Keywords);
    for (const auto& s : folder.Shortcuts)
        pool.Share(s->Keywords);
}
} // namespace

void LoadCategoryTree(const Storage& root, CategoryTree& tree) {
    tree.Clear();
    try {
        Storage rootFolder = root.OpenStorage(kRootFolderStorage);
        if (rootFolder.Find(kDataStream) != ElementKind::Stream)
            throw ELynkora("Data file error: missing or incorrect category data!");
        auto rootCategory = std::make_unique<TISFolder>();
        rootCategory->FolderName = kRootFolderName;
        ObjectStream::ReadObject(ReadStreamBytes(rootFolder, kDataStream), *rootCategory);
        ClearLoadState(*rootCategory);
        StringListPool keywords;
        ShareKeywords(*rootCategory, keywords);
        CategoryNode& rootNode = tree.SetRoot(std::move(rootCategory));
        WalkCategoryStorages(rootFolder, &rootNode,
                             [&](CategoryNode* parent, const std::string& name, const std::string& data) {
                                 auto folder = std::make_unique<TISFolder>();
                                 folder->FolderID = name;
                                 ObjectStream::ReadObject(data, *folder);
                                 ClearLoadState(*folder);
                                 ShareKeywords(*folder, keywords);
                                 return &tree.AddChild(*parent, std::move(folder));
                             });
    } catch (...) {
        tree.Clear();
        throw;
    }
}

} // namespace lynkora

namespace lynkora {

CollectionHeader LoadWholeCollection(cfb::Storage& root, const std::string& path, CategoryTree& tree) {
    CollectionHeader header;
    header.appVersion = ReadAppVersion(root);
    CheckFileVersion(path, header.appVersion, kProgramVersion);
    LoadCategoryTree(root, tree);
    header.lastDate = ReadLastDate(root);
    return header;
}

} // namespace lynkora
