#pragma once

// The shared state of one open compound file: header, allocation tables, directory, and the
// file itself. Storage and Stream handles (Storage.h) are the public face; everything here runs
// under the file's lock, which the handles take.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <deque>
#include <vector>

namespace lynkora::cfb {

inline constexpr std::uint32_t kMaxRegSect = 0xFFFFFFFA;
inline constexpr std::uint32_t kDifSect = 0xFFFFFFFC;
inline constexpr std::uint32_t kFatSect = 0xFFFFFFFD;
inline constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
inline constexpr std::uint32_t kFreeSect = 0xFFFFFFFF;
inline constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
inline constexpr std::uint64_t kMiniCutoff = 4096;
inline constexpr std::uint32_t kMiniSectorSize = 64;

enum class EntryType : std::uint8_t { Unused = 0, Storage = 1, Stream = 2, Root = 5 };

using Clsid = std::array<std::uint8_t, 16>;

struct DirEntry { // members by size, so a directory of 100,000 entries wastes no padding
    std::u16string name;
    // In memory: for storages, the children in sibling order.
    std::vector<std::uint32_t> children;
    std::uint64_t created = 0;
    std::uint64_t modified = 0;
    std::uint64_t size = 0;
    Clsid clsid{};
    std::uint32_t stateBits = 0;
    std::uint32_t start = kEndOfChain;

    // Tree links as on disk (rewritten for storages whose children changed).
    std::uint32_t left = kNoStream, right = kNoStream, child = kNoStream;
    // In memory: the parent storage.
    std::uint32_t parent = kNoStream;
    // Bumped when the entry is freed, so stale handles notice.
    std::uint32_t generation = 0;
    EntryType type = EntryType::Unused;
    std::uint8_t color = 1; // 0 red, 1 black
    bool dirty = false;
    bool childrenChanged = false;

    bool isStorage() const { return type == EntryType::Storage || type == EntryType::Root; }
};

class CompoundFile {
public:
    // Creates (replacing) a version 3 file, or opens an existing one.
    static std::shared_ptr<CompoundFile> Create(const std::string& path, bool newOnly);
    static std::shared_ptr<CompoundFile> Open(const std::string& path, bool writable);
    // Opens and parses a file already in memory, read-only (for fuzzing and inspection).
    static std::shared_ptr<CompoundFile> FromBytes(std::string bytes);

    ~CompoundFile();
    CompoundFile(const CompoundFile&) = delete;
    CompoundFile& operator=(const CompoundFile&) = delete;

    std::recursive_mutex& mutex() { return m_mutex; }

    const std::string& path() const { return m_path; }
    bool writable() const { return m_writable; }
    bool isOpen() const { return m_open; }
    int majorVersion() const { return m_major; }
    // Bytes of regular sectors inside the file that no stream, FAT or directory uses.
    std::uint64_t unusedBytes() const;
    // Writes every pending change of the allocation tables, directory and header.
    void Flush();
    // Flush, then make the file durable on disk.
    void Sync();
    // Flushes and closes; every handle on the file fails afterwards.
    void Close();

    // Directory.
    DirEntry& entry(std::uint32_t id);
    std::uint32_t entryCount() const { return static_cast<std::uint32_t>(m_entries.size()); }
    std::uint32_t findChild(std::uint32_t storage, std::u16string_view name) const;
    std::uint32_t addChild(std::uint32_t storage, std::u16string_view name, EntryType type);
    void destroyChild(std::uint32_t storage, std::uint32_t child);
    bool isAncestor(std::uint32_t ancestor, std::uint32_t id) const;
    void touch(std::uint32_t id) { entry(id).dirty = true; }

    // Stream contents.
    // The stream's size after checking that its chain holds it (before a caller allocates).
    std::uint64_t checkedSize(std::uint32_t id);
    std::size_t readStream(std::uint32_t id, std::uint64_t offset, void* buf, std::size_t n);
    void writeStream(std::uint32_t id, std::uint64_t offset, const void* data, std::size_t n);
    void resizeStream(std::uint32_t id, std::uint64_t newSize);

    void checkWritable() const;
    void checkOpen() const;

private:
    CompoundFile() = default;

    void parse();
    void initNew();
    void loadDirectoryTree();
    void rebuildTree(std::uint32_t storage);

    // Sector I/O.
    std::uint64_t sectorOffset(std::uint32_t sector) const;
    void readAt(std::uint64_t offset, void* buf, std::size_t n) const;
    void writeAt(std::uint64_t offset, const void* data, std::size_t n);
    // Writes that follow on one another are gathered and reach the file in one system call,
    // in the order they were made: before any read, at a flush, and when one does not follow on.
    void writeNow(std::uint64_t offset, const char* data, std::size_t n) const;
    void writeGathered() const;
    std::uint32_t sectorsInFile() const;

    // Chains.
    std::vector<std::uint32_t> chain(std::uint32_t start, std::uint64_t minBytes) const;
    std::vector<std::uint32_t> miniChain(std::uint32_t start, std::uint64_t minBytes) const;
    const std::vector<std::uint32_t>& miniStreamSectors();
    std::uint32_t allocSector();
    std::uint32_t allocMiniSector();
    void setFat(std::uint32_t sector, std::uint32_t value);
    void setMiniFat(std::uint32_t sector, std::uint32_t value);
    void freeChain(std::uint32_t start, bool mini);
    void resizeChain(DirEntry& e, std::uint64_t newSize);
    void ioStream(DirEntry& e, std::uint64_t offset, void* buf, std::size_t n, bool write);

    std::uint32_t allocEntry();
    void freeEntry(std::uint32_t id);

    void writeDirtyMetadata();
    std::string serializeHeader() const;

    std::recursive_mutex m_mutex;
    std::string m_path;
    int m_fd = -1;
    std::string m_memory; // the file's bytes when opened from memory
    bool m_fromMemory = false;
    mutable std::string m_gathered; // writes not yet made, for the bytes from m_gatheredAt on
    mutable std::uint64_t m_gatheredAt = 0;
    bool m_writable = false;
    bool m_open = false;

    int m_major = 3;
    std::uint16_t m_minor = 0x3E;
    std::uint32_t m_sectorSize = 512;
    std::uint32_t m_headerSize = 512;
    std::uint64_t m_fileSize = 0;
    std::uint32_t m_firstDirSector = kEndOfChain;
    std::uint32_t m_transactionSig = 0;
    Clsid m_headerClsid{};

    std::vector<std::uint32_t> m_fat;
    std::vector<std::uint32_t> m_fatSectors;   // where the FAT lives (the DIFAT)
    std::vector<std::uint32_t> m_difatSectors; // DIFAT sectors beyond the header
    std::vector<std::uint32_t> m_miniFat;
    std::vector<std::uint32_t> m_miniFatSectors;
    std::vector<std::uint32_t> m_dirSectors;
    std::vector<std::uint32_t> m_miniStream; // the root entry's chain, cached
    bool m_miniStreamLoaded = false;
    std::deque<DirEntry> m_entries; // grows in blocks: no copy of a large directory, no room held in reserve

    // Freed space is not reused before the next flush, so the state on disk stays intact.
    std::vector<std::uint32_t> m_pendingFree;
    std::vector<std::uint32_t> m_pendingMiniFree;
    std::uint32_t m_freeHint = 0;
    std::uint32_t m_miniFreeHint = 0;
    std::uint32_t m_entryHint = 1;
    std::vector<bool> m_fatDirty;     // per FAT sector
    std::vector<bool> m_miniFatDirty; // per mini FAT sector
    bool m_difatDirty = false;
    bool m_headerDirty = false;
    bool m_anyDirty = false;
};

} // namespace lynkora::cfb
