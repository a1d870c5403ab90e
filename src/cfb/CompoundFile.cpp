#include "CompoundFile.h"

#include "Names.h"
#include "StorageError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lynkora::cfb {

namespace {

constexpr std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::uint32_t kHeaderDifat = 109;
constexpr std::uint32_t kEntrySize = 128;

std::uint16_t get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t get32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint64_t get64(const std::uint8_t* p) {
    return get32(p) | (static_cast<std::uint64_t>(get32(p + 4)) << 32);
}
void put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put64(std::uint8_t* p, std::uint64_t v) {
    put32(p, static_cast<std::uint32_t>(v));
    put32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

[[noreturn]] void corrupt(const char* what) { throw StorageError(STG_E_DOCFILECORRUPT, what); }

[[noreturn]] void sysError(int err, bool writing, const std::string& what) {
    throw StorageError(CodeFromErrno(err, writing), what + ": " + std::strerror(err));
}

int openLocked(const std::string& path, int flags, bool exclusive) {
    // Not blocking: a FIFO or a device at the path must be refused, not waited on.
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        const int err = errno;
        const auto slash = path.find_last_of('/');
        struct stat dir {};
        if (err == ENOENT && slash != std::string::npos && slash > 0 &&
            ::stat(path.substr(0, slash).c_str(), &dir) != 0)
            throw StorageError(STG_E_PATHNOTFOUND, path + ": the folder does not exist");
        sysError(err, (flags & O_ACCMODE) != O_RDONLY, path);
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw StorageError(STG_E_ACCESSDENIED, path + ": is a folder");
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throw StorageError(STG_E_ACCESSDENIED, path + ": is not a regular file");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // Open-file-description locks conflict between opens in the same process too.
    struct flock lock {};
    lock.l_type = exclusive ? F_WRLCK : F_RDLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EAGAIN || err == EACCES)
            throw StorageError(STG_E_SHAREVIOLATION, path + ": the file is in use");
        sysError(err, exclusive, path);
    }
    return fd;
}

} // namespace

std::shared_ptr<CompoundFile> CompoundFile::Create(const std::string& path, bool newOnly) {
    std::shared_ptr<CompoundFile> f(new CompoundFile);
    f->m_path = path;
    f->m_fd = openLocked(path, O_RDWR | O_CREAT | O_NOFOLLOW | (newOnly ? O_EXCL : 0), true);
    f->m_writable = true;
    f->m_open = true;
    if (::ftruncate(f->m_fd, 0) != 0)
        sysError(errno, true, path);
    f->initNew();
    f->Flush();
    return f;
}

std::shared_ptr<CompoundFile> CompoundFile::Open(const std::string& path, bool writable) {
    std::shared_ptr<CompoundFile> f(new CompoundFile);
    f->m_path = path;
    f->m_fd = openLocked(path, writable ? O_RDWR : O_RDONLY, writable);
    f->m_writable = writable;
    f->m_open = true;
    struct stat st {};
    if (::fstat(f->m_fd, &st) != 0)
        sysError(errno, false, path);
    f->m_fileSize = static_cast<std::uint64_t>(st.st_size);
    f->parse();
    return f;
}

std::shared_ptr<CompoundFile> CompoundFile::FromBytes(std::string bytes) {
    std::shared_ptr<CompoundFile> f(new CompoundFile);
    f->m_memory = std::move(bytes);
    f->m_fromMemory = true;
    f->m_fileSize = f->m_memory.size();
    f->m_open = true;
    f->parse();
    return f;
}

CompoundFile::~CompoundFile() {
    try {
        Close();
    } catch (...) {
        // Nothing can be reported from a destructor; the explicit Close reports failures.
    }
}

void CompoundFile::Close() {
    std::lock_guard lock(m_mutex);
    if (!m_open)
        return;
    try {
        if (m_writable)
            Flush();
    } catch (...) {
        m_open = false;
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        throw;
    }
    m_open = false;
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void CompoundFile::checkOpen() const {
    if (!m_open)
        throw StorageError(STG_E_REVERTED, "the compound file is closed");
}

void CompoundFile::checkWritable() const {
    checkOpen();
    if (!m_writable)
        throw StorageError(STG_E_ACCESSDENIED, "the compound file is open read-only");
}

// ---------------------------------------------------------------------------------------------
// Sector I/O

std::uint64_t CompoundFile::sectorOffset(std::uint32_t sector) const {
    return static_cast<std::uint64_t>(m_headerSize) + static_cast<std::uint64_t>(sector) * m_sectorSize;
}

std::uint32_t CompoundFile::sectorsInFile() const {
    if (m_fileSize <= m_headerSize)
        return 0;
    const std::uint64_t n = (m_fileSize - m_headerSize + m_sectorSize - 1) / m_sectorSize;
    return n > kMaxRegSect ? kMaxRegSect : static_cast<std::uint32_t>(n);
}

std::uint64_t CompoundFile::unusedBytes() const {
    const std::uint32_t inFile = sectorsInFile();
    std::uint64_t unused = 0;
    for (std::uint32_t s = 0; s < inFile && s < m_fat.size(); ++s)
        if (m_fat[s] == kFreeSect)
            ++unused;
    return unused * m_sectorSize;
}

void CompoundFile::readAt(std::uint64_t offset, void* buf, std::size_t n) const {
    auto* out = static_cast<char*>(buf);
    if (m_fromMemory) {
        std::size_t got = 0;
        if (offset < m_memory.size()) {
            got = std::min<std::uint64_t>(n, m_memory.size() - offset);
            std::memcpy(out, m_memory.data() + offset, got);
        }
        std::memset(out + got, 0, n - got);
        return;
    }
    writeGathered();
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pread(m_fd, out + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            sysError(errno, false, m_path);
        }
        if (r == 0) { // past the end: a short last sector reads as zeros
            std::memset(out + done, 0, n - done);
            return;
        }
        done += static_cast<std::size_t>(r);
    }
}

namespace {
// Up to this much is gathered: a large import writes a directory of thousands of sectors.
constexpr std::size_t kGatherLimit = std::size_t{1} << 20;
} // namespace

void CompoundFile::writeAt(std::uint64_t offset, const void* data, std::size_t n) {
    const auto* in = static_cast<const char*>(data);
    if (!m_gathered.empty() && offset == m_gatheredAt + m_gathered.size() && m_gathered.size() + n <= kGatherLimit) {
        m_gathered.append(in, n);
    } else {
        writeGathered();
        if (n >= kGatherLimit) {
            writeNow(offset, in, n);
        } else {
            m_gatheredAt = offset;
            m_gathered.assign(in, n);
        }
    }
    m_fileSize = std::max(m_fileSize, offset + n);
}

void CompoundFile::writeGathered() const {
    if (m_gathered.empty())
        return;
    // A failed write stays gathered: every later read or flush fails too, never reports success.
    writeNow(m_gatheredAt, m_gathered.data(), m_gathered.size());
    m_gathered.clear();
}

void CompoundFile::writeNow(std::uint64_t offset, const char* in, std::size_t n) const {
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pwrite(m_fd, in + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            sysError(errno, true, m_path);
        }
        done += static_cast<std::size_t>(r);
    }
}

// ---------------------------------------------------------------------------------------------
// Parsing

void CompoundFile::parse() {
    std::uint8_t h[512];
    if (m_fileSize < 512)
        throw StorageError(STG_E_INVALIDHEADER, "not a compound file");
    readAt(0, h, sizeof h);
    if (std::memcmp(h, kSignature, 8) != 0)
        throw StorageError(STG_E_INVALIDHEADER, "not a compound file");
    std::memcpy(m_headerClsid.data(), h + 8, 16);
    m_minor = get16(h + 24);
    m_major = get16(h + 26);
    const std::uint16_t byteOrder = get16(h + 28);
    const std::uint16_t shift = get16(h + 30);
    const std::uint16_t miniShift = get16(h + 32);
    if (byteOrder != 0xFFFE)
        throw StorageError(STG_E_INVALIDHEADER, "bad byte order mark");
    if (!((m_major == 3 && shift == 9) || (m_major == 4 && shift == 12)))
        throw StorageError(STG_E_INVALIDHEADER, "unsupported version or sector size");
    if (miniShift != 6 || get32(h + 56) != kMiniCutoff)
        corrupt("unsupported mini sector size or cutoff");
    m_sectorSize = 1u << shift;
    m_headerSize = m_sectorSize;
    const std::uint32_t eps = m_sectorSize / 4;
    const std::uint32_t numFat = get32(h + 44);
    m_firstDirSector = get32(h + 48);
    m_transactionSig = get32(h + 52);
    const std::uint32_t firstMiniFat = get32(h + 60);
    const std::uint32_t firstDifat = get32(h + 68);
    const std::uint32_t numDifat = get32(h + 72);
    const std::uint32_t inFile = sectorsInFile();

    if (numFat > inFile)
        corrupt("more FAT sectors than the file holds");
    // The DIFAT: 109 entries in the header, then a chain of DIFAT sectors.
    m_fatSectors.reserve(numFat);
    for (std::uint32_t i = 0; i < kHeaderDifat && m_fatSectors.size() < numFat; ++i)
        m_fatSectors.push_back(get32(h + 76 + 4 * i));
    std::vector<std::uint8_t> buf(m_sectorSize);
    std::uint32_t next = firstDifat;
    for (std::uint32_t k = 0; m_fatSectors.size() < numFat; ++k) {
        if (k >= numDifat || k >= inFile || next >= inFile)
            corrupt("DIFAT chain too short");
        m_difatSectors.push_back(next);
        readAt(sectorOffset(next), buf.data(), m_sectorSize);
        for (std::uint32_t i = 0; i + 1 < eps && m_fatSectors.size() < numFat; ++i)
            m_fatSectors.push_back(get32(&buf[4 * i]));
        next = get32(&buf[4 * (eps - 1)]);
    }
    std::vector<bool> seen(inFile, false);
    for (std::uint32_t s : m_difatSectors) {
        if (seen[s])
            corrupt("DIFAT chain loops");
        seen[s] = true;
    }

    m_fat.assign(static_cast<std::size_t>(numFat) * eps, kFreeSect);
    for (std::uint32_t i = 0; i < numFat; ++i) {
        const std::uint32_t s = m_fatSectors[i];
        if (s >= inFile)
            corrupt("FAT sector outside the file");
        readAt(sectorOffset(s), buf.data(), m_sectorSize);
        for (std::uint32_t j = 0; j < eps; ++j)
            m_fat[static_cast<std::size_t>(i) * eps + j] = get32(&buf[4 * j]);
    }
    m_fatDirty.assign(numFat, false);

    m_dirSectors = chain(m_firstDirSector, 1);
    m_miniFatSectors = firstMiniFat == kEndOfChain || firstMiniFat == kFreeSect
                           ? std::vector<std::uint32_t>{}
                           : chain(firstMiniFat, 0);
    m_miniFat.assign(m_miniFatSectors.size() * eps, kFreeSect);
    for (std::size_t i = 0; i < m_miniFatSectors.size(); ++i) {
        readAt(sectorOffset(m_miniFatSectors[i]), buf.data(), m_sectorSize);
        for (std::uint32_t j = 0; j < eps; ++j)
            m_miniFat[i * eps + j] = get32(&buf[4 * j]);
    }
    m_miniFatDirty.assign(m_miniFatSectors.size(), false);

    const std::uint32_t perSector = m_sectorSize / kEntrySize;
    m_entries.resize(m_dirSectors.size() * perSector);
    for (std::size_t k = 0; k < m_dirSectors.size(); ++k) {
        readAt(sectorOffset(m_dirSectors[k]), buf.data(), m_sectorSize);
        for (std::uint32_t i = 0; i < perSector; ++i) {
            const std::uint8_t* p = &buf[i * kEntrySize];
            DirEntry& e = m_entries[k * perSector + i];
            const std::uint8_t type = p[66];
            if (type != 0 && type != 1 && type != 2 && type != 5)
                e.type = EntryType::Unused; // unknown kinds (lock bytes, properties) are ignored
            else
                e.type = static_cast<EntryType>(type);
            std::uint16_t nameLen = get16(p + 64);
            if (e.type != EntryType::Unused && nameLen > 64)
                corrupt("directory entry name too long");
            nameLen = std::min<std::uint16_t>(nameLen, 64);
            e.name.reserve(nameLen / 2);
            for (std::uint32_t c = 0; c + 1 < nameLen; c += 2) {
                const char16_t ch = static_cast<char16_t>(get16(p + c));
                if (ch == 0)
                    break;
                e.name.push_back(ch);
            }
            e.color = p[67];
            e.left = get32(p + 68);
            e.right = get32(p + 72);
            e.child = get32(p + 76);
            std::memcpy(e.clsid.data(), p + 80, 16);
            e.stateBits = get32(p + 96);
            e.created = get64(p + 100);
            e.modified = get64(p + 108);
            e.start = get32(p + 116);
            e.size = get64(p + 120);
            if (m_major == 3)
                e.size &= 0xFFFFFFFF; // version 3 readers ignore the high half
        }
    }
    if (m_entries.empty() || m_entries[0].type != EntryType::Root)
        corrupt("no root entry");
    loadDirectoryTree();
}

void CompoundFile::loadDirectoryTree() {
    const auto count = static_cast<std::uint32_t>(m_entries.size());
    std::vector<bool> visited(count, false);
    visited[0] = true;
    std::vector<std::uint32_t> storages{0};
    std::vector<std::uint32_t> pending;
    while (!storages.empty()) {
        const std::uint32_t st = storages.back();
        storages.pop_back();
        std::vector<std::uint32_t> kids;
        pending.assign(1, m_entries[st].child);
        while (!pending.empty()) {
            const std::uint32_t id = pending.back();
            pending.pop_back();
            if (id == kNoStream)
                continue;
            if (id >= count || visited[id])
                corrupt("directory tree is damaged");
            visited[id] = true;
            DirEntry& e = m_entries[id];
            if (e.type != EntryType::Storage && e.type != EntryType::Stream)
                corrupt("directory tree holds an unusable entry");
            e.parent = st;
            kids.push_back(id);
            pending.push_back(e.right);
            pending.push_back(e.left);
        }
        std::stable_sort(kids.begin(), kids.end(), [this](std::uint32_t a, std::uint32_t b) {
            return CompareNames(m_entries[a].name, m_entries[b].name) < 0;
        });
        for (std::uint32_t id : kids)
            if (m_entries[id].type == EntryType::Storage)
                storages.push_back(id);
        m_entries[st].children = std::move(kids);
    }
    // Entries outside the tree are free for reuse.
    for (std::uint32_t i = 1; i < count; ++i)
        if (!visited[i])
            m_entries[i].type = EntryType::Unused;
}

void CompoundFile::initNew() {
    m_major = 3;
    m_minor = 0x3E;
    m_sectorSize = 512;
    m_headerSize = 512;
    const std::uint32_t eps = m_sectorSize / 4;
    m_fat.assign(eps, kFreeSect);
    m_fat[0] = kFatSect;
    m_fat[1] = kEndOfChain;
    m_fatSectors = {0};
    m_fatDirty = {true};
    m_dirSectors = {1};
    m_firstDirSector = 1;
    m_freeHint = 2;
    m_entries.resize(m_sectorSize / kEntrySize);
    DirEntry& root = m_entries[0];
    root.name = u"Root Entry";
    root.type = EntryType::Root;
    for (auto& e : m_entries)
        e.dirty = true;
    m_headerDirty = true;
    m_anyDirty = true;
}

// ---------------------------------------------------------------------------------------------
// Chains and allocation

namespace {

// Follows a chain through an allocation table; every link is checked and a loop ends the walk
// (a chain can hold each sector once at most).
std::vector<std::uint32_t> walk(const std::vector<std::uint32_t>& table, std::uint32_t start,
                                std::uint64_t minBytes, std::uint64_t unit) {
    std::vector<std::uint32_t> out;
    if (minBytes == 0 && (start == kEndOfChain || start == kFreeSect))
        return out;
    const std::size_t limit = table.size();
    for (std::uint32_t s = start; s != kEndOfChain;) {
        if (s >= limit || out.size() >= limit)
            corrupt("sector chain is damaged");
        out.push_back(s);
        s = table[s];
    }
    if (static_cast<std::uint64_t>(out.size()) * unit < minBytes)
        corrupt("sector chain is shorter than its stream");
    return out;
}

} // namespace

std::vector<std::uint32_t> CompoundFile::chain(std::uint32_t start, std::uint64_t minBytes) const {
    return walk(m_fat, start, minBytes, m_sectorSize);
}

std::vector<std::uint32_t> CompoundFile::miniChain(std::uint32_t start,
                                                   std::uint64_t minBytes) const {
    return walk(m_miniFat, start, minBytes, kMiniSectorSize);
}

const std::vector<std::uint32_t>& CompoundFile::miniStreamSectors() {
    if (!m_miniStreamLoaded) {
        const DirEntry& root = m_entries[0];
        m_miniStream = chain(root.start, root.start == kEndOfChain ? 0 : root.size);
        m_miniStreamLoaded = true;
    }
    return m_miniStream;
}

void CompoundFile::setFat(std::uint32_t sector, std::uint32_t value) {
    m_fat[sector] = value;
    m_fatDirty[sector / (m_sectorSize / 4)] = true;
    m_anyDirty = true;
}

void CompoundFile::setMiniFat(std::uint32_t sector, std::uint32_t value) {
    m_miniFat[sector] = value;
    m_miniFatDirty[sector / (m_sectorSize / 4)] = true;
    m_anyDirty = true;
}

std::uint32_t CompoundFile::allocSector() {
    const std::uint32_t eps = m_sectorSize / 4;
    for (;;) {
        for (std::uint32_t s = m_freeHint; s < m_fat.size(); ++s) {
            if (m_fat[s] == kFreeSect) {
                m_freeHint = s + 1;
                setFat(s, kEndOfChain);
                return s;
            }
        }
        if (m_fat.size() + eps > kMaxRegSect)
            throw StorageError(STG_E_MEDIUMFULL, "the compound file is full");
        // Grow the FAT by one sector, placed in the first sector it newly covers.
        const auto fatSector = static_cast<std::uint32_t>(m_fat.size());
        m_fat.resize(m_fat.size() + eps, kFreeSect);
        m_fatDirty.push_back(true);
        m_fatSectors.push_back(fatSector);
        setFat(fatSector, kFatSect);
        if (m_fatSectors.size() > kHeaderDifat + m_difatSectors.size() * (eps - 1)) {
            const auto difat = fatSector + 1;
            setFat(difat, kDifSect);
            m_difatSectors.push_back(difat);
        }
        m_difatDirty = true;
        m_headerDirty = true;
    }
}

std::uint32_t CompoundFile::allocMiniSector() {
    const std::uint32_t eps = m_sectorSize / 4;
    for (;;) {
        for (std::uint32_t m = m_miniFreeHint; m < m_miniFat.size(); ++m) {
            if (m_miniFat[m] != kFreeSect)
                continue;
            m_miniFreeHint = m + 1;
            setMiniFat(m, kEndOfChain);
            // The mini stream (the root entry's chain) must cover the new mini sector.
            DirEntry& root = m_entries[0];
            const std::uint64_t needBytes = (static_cast<std::uint64_t>(m) + 1) * kMiniSectorSize;
            miniStreamSectors();
            while (static_cast<std::uint64_t>(m_miniStream.size()) * m_sectorSize < needBytes) {
                const std::uint32_t s = allocSector();
                if (m_miniStream.empty())
                    m_entries[0].start = s;
                else
                    setFat(m_miniStream.back(), s);
                m_miniStream.push_back(s);
            }
            if (root.size < needBytes) {
                m_entries[0].size = needBytes;
                m_entries[0].dirty = true;
            }
            return m;
        }
        const std::uint32_t s = allocSector();
        if (!m_miniFatSectors.empty())
            setFat(m_miniFatSectors.back(), s);
        m_miniFatSectors.push_back(s);
        m_miniFat.resize(m_miniFat.size() + eps, kFreeSect);
        m_miniFatDirty.push_back(true);
        m_headerDirty = true;
    }
}

void CompoundFile::freeChain(std::uint32_t start, bool mini) {
    if (mini) {
        for (std::uint32_t m : miniChain(start, 0))
            m_pendingMiniFree.push_back(m);
    } else {
        for (std::uint32_t s : chain(start, 0))
            m_pendingFree.push_back(s);
    }
    m_anyDirty = true;
}

// Sets the chain of e to hold newSize bytes, in the mini stream below the cutoff. The current
// chain (if e.size > 0) must already live in that same space.
void CompoundFile::resizeChain(DirEntry& e, std::uint64_t newSize) {
    const bool mini = newSize < kMiniCutoff;
    const std::uint64_t unit = mini ? kMiniSectorSize : m_sectorSize;
    const auto need = static_cast<std::size_t>((newSize + unit - 1) / unit);
    std::vector<std::uint32_t> cur;
    if (e.size > 0)
        cur = mini ? miniChain(e.start, e.size) : chain(e.start, e.size);
    auto& pending = mini ? m_pendingMiniFree : m_pendingFree;
    if (need < cur.size()) {
        if (need == 0)
            e.start = kEndOfChain;
        else if (mini)
            setMiniFat(cur[need - 1], kEndOfChain);
        else
            setFat(cur[need - 1], kEndOfChain);
        pending.insert(pending.end(), cur.begin() + static_cast<std::ptrdiff_t>(need), cur.end());
    }
    for (std::size_t i = cur.size(); i < need; ++i) {
        const std::uint32_t s = mini ? allocMiniSector() : allocSector();
        if (i == 0)
            e.start = s;
        else if (mini)
            setMiniFat(cur.back(), s);
        else
            setFat(cur.back(), s);
        cur.push_back(s);
    }
    if (need == 0)
        e.start = kEndOfChain;
    e.dirty = true;
    m_anyDirty = true;
}

void CompoundFile::ioStream(DirEntry& e, std::uint64_t offset, void* buf, std::size_t n,
                            bool write) {
    if (n == 0)
        return;
    const bool mini = e.size < kMiniCutoff;
    const std::vector<std::uint32_t> sectors = mini ? miniChain(e.start, e.size) : chain(e.start, e.size);
    if (mini)
        miniStreamSectors();
    auto* p = static_cast<char*>(buf);
    const std::uint64_t unit = mini ? kMiniSectorSize : m_sectorSize;
    std::uint64_t pos = offset;
    const std::uint64_t end = offset + n;
    // Contiguous pieces are merged into one system call.
    std::uint64_t runStart = 0, runLen = 0, lastEnd = 0;
    char* runBuf = p;
    auto flushRun = [&] {
        if (runLen == 0)
            return;
        if (write)
            writeAt(runStart, runBuf, runLen);
        else
            readAt(runStart, runBuf, runLen);
        runLen = 0;
    };
    while (pos < end) {
        const std::uint64_t idx = pos / unit;
        const std::uint64_t within = pos % unit;
        const std::uint64_t len = std::min(unit - within, end - pos);
        std::uint64_t fileOff;
        if (idx >= sectors.size())
            corrupt("stream extends past its chain");
        if (mini) {
            const std::uint64_t q = static_cast<std::uint64_t>(sectors[idx]) * kMiniSectorSize + within;
            const std::uint64_t rs = q / m_sectorSize;
            if (rs >= m_miniStream.size())
                corrupt("mini sector outside the mini stream");
            fileOff = sectorOffset(m_miniStream[rs]) + q % m_sectorSize;
        } else {
            fileOff = sectorOffset(sectors[idx]) + within;
        }
        if (runLen > 0 && runStart + runLen == fileOff) {
            runLen += len;
        } else {
            flushRun();
            runStart = fileOff;
            runLen = len;
            runBuf = p + (pos - offset);
        }
        pos += len;
        lastEnd = fileOff + len;
    }
    flushRun();
    // The rest of the stream's last sector is its own: written as zeros, the next stream laid
    // out after it continues the same write instead of starting another.
    if (write && end == e.size && end % unit != 0) {
        static const char kZeros[4096] = {};
        const std::uint64_t rest = unit - end % unit;
        if (rest <= sizeof kZeros)
            writeAt(lastEnd, kZeros, static_cast<std::size_t>(rest));
    }
}

std::uint64_t CompoundFile::checkedSize(std::uint32_t id) {
    DirEntry& e = entry(id);
    if (e.size == 0)
        return 0;
    if (e.size < kMiniCutoff) {
        miniChain(e.start, e.size);
        miniStreamSectors();
    } else {
        chain(e.start, e.size);
    }
    return e.size;
}

std::size_t CompoundFile::readStream(std::uint32_t id, std::uint64_t offset, void* buf,
                                     std::size_t n) {
    DirEntry& e = entry(id);
    if (offset >= e.size)
        return 0;
    n = static_cast<std::size_t>(std::min<std::uint64_t>(n, e.size - offset));
    ioStream(e, offset, buf, n, false);
    return n;
}

void CompoundFile::writeStream(std::uint32_t id, std::uint64_t offset, const void* data,
                               std::size_t n) {
    checkWritable();
    if (n == 0)
        return;
    const std::uint64_t end = offset + n;
    if (end > entry(id).size) {
        const std::uint64_t oldSize = entry(id).size;
        resizeStream(id, end);
        if (offset > oldSize) { // the gap reads as zeros
            std::vector<char> zeros(static_cast<std::size_t>(std::min<std::uint64_t>(offset - oldSize, 1 << 20)));
            for (std::uint64_t p = oldSize; p < offset; p += zeros.size()) {
                const auto len = static_cast<std::size_t>(std::min<std::uint64_t>(zeros.size(), offset - p));
                ioStream(entry(id), p, zeros.data(), len, true);
            }
        }
    }
    ioStream(entry(id), offset, const_cast<void*>(data), n, true);
    entry(id).dirty = true;
    m_anyDirty = true;
}

void CompoundFile::resizeStream(std::uint32_t id, std::uint64_t newSize) {
    checkWritable();
    DirEntry& e = entry(id);
    if (newSize == e.size)
        return;
    const bool wasMini = e.size < kMiniCutoff;
    const bool willMini = newSize < kMiniCutoff;
    if (e.size > 0 && wasMini != willMini) {
        // Crossing the cutoff moves the contents between the mini stream and regular sectors.
        std::string keep(static_cast<std::size_t>(std::min(e.size, newSize)), '\0');
        ioStream(e, 0, keep.data(), keep.size(), false);
        freeChain(e.start, wasMini);
        e.start = kEndOfChain;
        e.size = 0;
        resizeChain(entry(id), newSize);
        entry(id).size = newSize;
        ioStream(entry(id), 0, keep.data(), keep.size(), true);
        return;
    }
    if (e.size == 0)
        e.start = kEndOfChain;
    resizeChain(e, newSize);
    entry(id).size = newSize;
}

// ---------------------------------------------------------------------------------------------
// Directory

DirEntry& CompoundFile::entry(std::uint32_t id) {
    if (id >= m_entries.size())
        throw StorageError(STG_E_INVALIDHANDLE, "no such element");
    return m_entries[id];
}

std::uint32_t CompoundFile::findChild(std::uint32_t storage, std::u16string_view name) const {
    const auto& kids = m_entries[storage].children;
    auto it = std::lower_bound(kids.begin(), kids.end(), name,
                               [this](std::uint32_t id, std::u16string_view n) {
                                   return CompareNames(m_entries[id].name, n) < 0;
                               });
    if (it != kids.end() && CompareNames(m_entries[*it].name, name) == 0)
        return *it;
    return kNoStream;
}

std::uint32_t CompoundFile::allocEntry() {
    for (std::uint32_t i = std::max<std::uint32_t>(m_entryHint, 1); i < m_entries.size(); ++i) {
        if (m_entries[i].type == EntryType::Unused) {
            m_entryHint = i + 1;
            return i;
        }
    }
    const std::uint32_t s = allocSector();
    setFat(m_dirSectors.back(), s);
    m_dirSectors.push_back(s);
    const auto first = static_cast<std::uint32_t>(m_entries.size());
    m_entries.resize(m_entries.size() + m_sectorSize / kEntrySize);
    for (std::size_t i = first; i < m_entries.size(); ++i)
        m_entries[i].dirty = true;
    m_headerDirty = true;
    m_entryHint = first + 1;
    return first;
}

void CompoundFile::freeEntry(std::uint32_t id) {
    DirEntry& e = m_entries[id];
    const std::uint32_t generation = e.generation + 1;
    e = DirEntry{};
    e.generation = generation;
    e.start = 0;
    e.color = 0;
    e.dirty = true;
    m_anyDirty = true;
    m_entryHint = std::min(m_entryHint, id);
}

std::uint32_t CompoundFile::addChild(std::uint32_t storage, std::u16string_view name,
                                     EntryType type) {
    checkWritable();
    CheckName(name);
    if (findChild(storage, name) != kNoStream)
        throw StorageError(STG_E_FILEALREADYEXISTS, "element exists: " + ToUtf8(name));
    const std::uint32_t id = allocEntry();
    DirEntry& e = m_entries[id];
    const std::uint32_t generation = e.generation;
    e = DirEntry{};
    e.generation = generation;
    e.name = std::u16string(name);
    e.type = type;
    e.start = type == EntryType::Stream ? kEndOfChain : 0;
    e.parent = storage;
    e.dirty = true;
    auto& kids = m_entries[storage].children;
    auto pos = std::lower_bound(kids.begin(), kids.end(), name,
                                [this](std::uint32_t k, std::u16string_view n) {
                                    return CompareNames(m_entries[k].name, n) < 0;
                                });
    kids.insert(pos, id);
    m_entries[storage].childrenChanged = true;
    m_entries[storage].dirty = true;
    m_anyDirty = true;
    return id;
}

void CompoundFile::destroyChild(std::uint32_t storage, std::uint32_t child) {
    checkWritable();
    auto& kids = m_entries[storage].children;
    kids.erase(std::remove(kids.begin(), kids.end(), child), kids.end());
    m_entries[storage].childrenChanged = true;
    m_entries[storage].dirty = true;
    std::vector<std::uint32_t> stack{child};
    while (!stack.empty()) {
        const std::uint32_t id = stack.back();
        stack.pop_back();
        DirEntry& e = m_entries[id];
        if (e.type == EntryType::Stream && e.size > 0)
            freeChain(e.start, e.size < kMiniCutoff);
        for (std::uint32_t k : e.children)
            stack.push_back(k);
        freeEntry(id);
    }
}

bool CompoundFile::isAncestor(std::uint32_t ancestor, std::uint32_t id) const {
    for (std::uint32_t p = id; p != kNoStream; p = m_entries[p].parent)
        if (p == ancestor)
            return true;
    return false;
}

// Lays the children of a storage out as a balanced binary tree in sibling order. Every level
// but the last is full, so colouring the last level red (when it is not full) gives a valid
// red-black tree.
void CompoundFile::rebuildTree(std::uint32_t storage) {
    const std::vector<std::uint32_t>& kids = m_entries[storage].children;
    const std::size_t n = kids.size();
    auto setLinks = [this](std::uint32_t id, std::uint32_t l, std::uint32_t r, std::uint8_t c) {
        DirEntry& e = m_entries[id];
        if (e.left != l || e.right != r || e.color != c) {
            e.left = l;
            e.right = r;
            e.color = c;
            e.dirty = true;
        }
    };
    int deepest = 0;
    while ((std::size_t{2} << deepest) - 1 < n)
        ++deepest; // levels 0..deepest hold n nodes
    const bool perfect = ((n + 1) & n) == 0;
    struct Range {
        std::size_t lo, hi;
        int depth;
    };
    std::uint32_t rootId = kNoStream;
    std::vector<Range> work;
    if (n > 0)
        work.push_back({0, n, 0});
    while (!work.empty()) {
        const Range r = work.back();
        work.pop_back();
        const std::size_t mid = r.lo + (r.hi - r.lo - 1) / 2;
        const std::uint32_t left = mid > r.lo ? kids[r.lo + (mid - r.lo - 1) / 2] : kNoStream;
        const std::uint32_t right = mid + 1 < r.hi ? kids[mid + 1 + (r.hi - mid - 2) / 2] : kNoStream;
        const std::uint8_t color = (!perfect && r.depth == deepest) ? 0 : 1;
        setLinks(kids[mid], left, right, color);
        if (r.depth == 0)
            rootId = kids[mid];
        if (mid > r.lo)
            work.push_back({r.lo, mid, r.depth + 1});
        if (mid + 1 < r.hi)
            work.push_back({mid + 1, r.hi, r.depth + 1});
    }
    DirEntry& st = m_entries[storage];
    if (st.child != rootId) {
        st.child = rootId;
        st.dirty = true;
    }
    st.childrenChanged = false;
}

// ---------------------------------------------------------------------------------------------
// Writing metadata: data is already in place; then FAT, mini FAT, DIFAT, directory, header.

void CompoundFile::Flush() {
    std::lock_guard lock(m_mutex);
    if (!m_open || !m_writable)
        return;
    if (m_anyDirty)
        writeDirtyMetadata();
    writeGathered();
}

void CompoundFile::Sync() {
    std::lock_guard lock(m_mutex);
    Flush();
    if (m_open && m_writable && ::fdatasync(m_fd) != 0)
        sysError(errno, true, m_path);
}

std::string CompoundFile::serializeHeader() const {
    std::string h(512, '\0');
    auto* p = reinterpret_cast<std::uint8_t*>(h.data());
    std::memcpy(p, kSignature, 8);
    std::memcpy(p + 8, m_headerClsid.data(), 16);
    put16(p + 24, m_minor);
    put16(p + 26, static_cast<std::uint16_t>(m_major));
    put16(p + 28, 0xFFFE);
    put16(p + 30, m_major == 4 ? 12 : 9);
    put16(p + 32, 6);
    put32(p + 40, m_major == 4 ? static_cast<std::uint32_t>(m_dirSectors.size()) : 0);
    put32(p + 44, static_cast<std::uint32_t>(m_fatSectors.size()));
    put32(p + 48, m_dirSectors.empty() ? kEndOfChain : m_dirSectors[0]);
    put32(p + 52, m_transactionSig);
    put32(p + 56, static_cast<std::uint32_t>(kMiniCutoff));
    put32(p + 60, m_miniFatSectors.empty() ? kEndOfChain : m_miniFatSectors[0]);
    put32(p + 64, static_cast<std::uint32_t>(m_miniFatSectors.size()));
    put32(p + 68, m_difatSectors.empty() ? kEndOfChain : m_difatSectors[0]);
    put32(p + 72, static_cast<std::uint32_t>(m_difatSectors.size()));
    for (std::uint32_t i = 0; i < kHeaderDifat; ++i)
        put32(p + 76 + 4 * i, i < m_fatSectors.size() ? m_fatSectors[i] : kFreeSect);
    return h;
}

void CompoundFile::writeDirtyMetadata() {
    const std::uint32_t eps = m_sectorSize / 4;
    // Space freed since the last flush becomes free on disk only now.
    for (std::uint32_t s : m_pendingFree) {
        setFat(s, kFreeSect);
        m_freeHint = std::min(m_freeHint, s);
    }
    m_pendingFree.clear();
    for (std::uint32_t m : m_pendingMiniFree) {
        setMiniFat(m, kFreeSect);
        m_miniFreeHint = std::min(m_miniFreeHint, m);
    }
    m_pendingMiniFree.clear();

    for (std::uint32_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].childrenChanged)
            rebuildTree(i);

    std::vector<std::uint8_t> buf(m_sectorSize);
    auto writeTable = [&](const std::vector<std::uint32_t>& table,
                          const std::vector<std::uint32_t>& where, std::vector<bool>& dirty) {
        for (std::size_t i = 0; i < where.size(); ++i) {
            if (!dirty[i])
                continue;
            for (std::uint32_t j = 0; j < eps; ++j)
                put32(&buf[4 * j], table[i * eps + j]);
            writeAt(sectorOffset(where[i]), buf.data(), m_sectorSize);
            dirty[i] = false;
        }
    };
    writeTable(m_fat, m_fatSectors, m_fatDirty);
    writeTable(m_miniFat, m_miniFatSectors, m_miniFatDirty);

    if (m_difatDirty) {
        std::size_t next = kHeaderDifat;
        for (std::size_t k = 0; k < m_difatSectors.size(); ++k) {
            for (std::uint32_t j = 0; j + 1 < eps; ++j, ++next)
                put32(&buf[4 * j], next < m_fatSectors.size() ? m_fatSectors[next] : kFreeSect);
            put32(&buf[4 * (eps - 1)],
                  k + 1 < m_difatSectors.size() ? m_difatSectors[k + 1] : kEndOfChain);
            writeAt(sectorOffset(m_difatSectors[k]), buf.data(), m_sectorSize);
        }
        m_difatDirty = false;
    }

    const std::uint32_t perSector = m_sectorSize / kEntrySize;
    for (std::size_t k = 0; k < m_dirSectors.size(); ++k) {
        bool any = false;
        for (std::uint32_t i = 0; i < perSector; ++i)
            any = any || m_entries[k * perSector + i].dirty;
        if (!any)
            continue;
        std::fill(buf.begin(), buf.end(), 0);
        for (std::uint32_t i = 0; i < perSector; ++i) {
            DirEntry& e = m_entries[k * perSector + i];
            std::uint8_t* p = &buf[i * kEntrySize];
            const std::size_t len = std::min<std::size_t>(e.name.size(), 31);
            for (std::size_t c = 0; c < len; ++c)
                put16(p + 2 * c, e.name[c]);
            put16(p + 64, static_cast<std::uint16_t>(len == 0 ? 0 : (len + 1) * 2));
            p[66] = static_cast<std::uint8_t>(e.type);
            p[67] = e.color;
            put32(p + 68, e.left);
            put32(p + 72, e.right);
            put32(p + 76, e.type == EntryType::Stream ? kNoStream : e.child);
            std::memcpy(p + 80, e.clsid.data(), 16);
            put32(p + 96, e.stateBits);
            put64(p + 100, e.created);
            put64(p + 108, e.modified);
            const bool storage = e.type == EntryType::Storage;
            put32(p + 116, storage ? 0 : e.start);
            put64(p + 120, storage ? 0 : e.size);
            e.dirty = false;
        }
        writeAt(sectorOffset(m_dirSectors[k]), buf.data(), m_sectorSize);
    }

    // The file ends with the last sector in use.
    std::uint32_t used = 0;
    for (std::uint32_t s = static_cast<std::uint32_t>(m_fat.size()); s > 0; --s) {
        if (m_fat[s - 1] != kFreeSect) {
            used = s;
            break;
        }
    }
    const std::uint64_t want = sectorOffset(used);
    writeGathered(); // nothing gathered may reach beyond the new end afterwards
    if (m_fileSize != want) {
        if (::ftruncate(m_fd, static_cast<off_t>(want)) != 0)
            sysError(errno, true, m_path);
        m_fileSize = want;
    }

    const std::string header = serializeHeader();
    writeAt(0, header.data(), header.size());
    m_headerDirty = false;
    m_anyDirty = false;
}

} // namespace lynkora::cfb
