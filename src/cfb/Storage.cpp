#include "Storage.h"

#include "CompoundFile.h"
#include "Names.h"

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <mutex>
#include <unistd.h>

namespace lynkora::cfb {

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

[[noreturn]] void notFound(std::string_view name) {
    throw StorageError(STG_E_FILENOTFOUND, "no element named " + std::string(name));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Stream

Stream::Stream(std::shared_ptr<CompoundFile> file, std::uint32_t id)
    : m_file(std::move(file)), m_id(id), m_generation(m_file->entry(id).generation) {}

void Stream::check() const {
    m_file->checkOpen();
    const DirEntry& e = m_file->entry(m_id);
    if (e.generation != m_generation || e.type != EntryType::Stream)
        throw StorageError(STG_E_REVERTED, "the stream no longer exists");
}

std::size_t Stream::Read(void* buffer, std::size_t n) {
    Lock lock(m_file->mutex());
    check();
    const std::size_t got = m_file->readStream(m_id, m_pos, buffer, n);
    m_pos += got;
    return got;
}

std::string Stream::ReadAll() {
    std::string out;
    ReadAll(out);
    return out;
}

void Stream::ReadAll(std::string& into) {
    Lock lock(m_file->mutex());
    check();
    into.resize(static_cast<std::size_t>(m_file->checkedSize(m_id)));
    m_file->readStream(m_id, 0, into.data(), into.size());
}

void Stream::Write(const void* data, std::size_t n) {
    Lock lock(m_file->mutex());
    check();
    m_file->writeStream(m_id, m_pos, data, n);
    m_pos += n;
}

std::uint64_t Stream::Seek(std::int64_t offset, SeekOrigin origin) {
    Lock lock(m_file->mutex());
    check();
    std::int64_t base = 0;
    if (origin == SeekOrigin::Current)
        base = static_cast<std::int64_t>(m_pos);
    else if (origin == SeekOrigin::End)
        base = static_cast<std::int64_t>(m_file->entry(m_id).size);
    const std::int64_t target = base + offset;
    if (target < 0)
        throw StorageError(STG_E_INVALIDFUNCTION, "seek before the start of a stream");
    m_pos = static_cast<std::uint64_t>(target);
    return m_pos;
}

std::uint64_t Stream::Size() const {
    Lock lock(m_file->mutex());
    check();
    return m_file->entry(m_id).size;
}

void Stream::SetSize(std::uint64_t size) {
    Lock lock(m_file->mutex());
    check();
    const std::uint64_t old = m_file->entry(m_id).size;
    m_file->resizeStream(m_id, size);
    if (size > old) { // new space reads as zeros, never as old contents
        std::vector<char> zeros(static_cast<std::size_t>(std::min<std::uint64_t>(size - old, 1 << 20)));
        for (std::uint64_t p = old; p < size; p += zeros.size()) {
            const auto len = static_cast<std::size_t>(std::min<std::uint64_t>(zeros.size(), size - p));
            m_file->writeStream(m_id, p, zeros.data(), len);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Storage

Storage::Storage(std::shared_ptr<CompoundFile> file, std::uint32_t id)
    : m_file(std::move(file)), m_id(id), m_generation(m_file->entry(id).generation) {}

void Storage::check() const {
    m_file->checkOpen();
    const DirEntry& e = m_file->entry(m_id);
    if (e.generation != m_generation || !e.isStorage())
        throw StorageError(STG_E_REVERTED, "the storage no longer exists");
}

std::uint32_t Storage::child(std::string_view name, ElementKind kind) const {
    const std::uint32_t id = m_file->findChild(m_id, ToUtf16(name));
    if (id == kNoStream)
        notFound(name);
    const bool isStorage = m_file->entry(id).type == EntryType::Storage;
    if (isStorage != (kind == ElementKind::Storage))
        notFound(name);
    return id;
}

Storage Storage::CreateStorage(std::string_view name) {
    Lock lock(m_file->mutex());
    check();
    return Storage(m_file, m_file->addChild(m_id, ToUtf16(name), EntryType::Storage));
}

Storage Storage::OpenStorage(std::string_view name) const {
    Lock lock(m_file->mutex());
    check();
    return Storage(m_file, child(name, ElementKind::Storage));
}

Stream Storage::CreateStream(std::string_view name) {
    Lock lock(m_file->mutex());
    check();
    return Stream(m_file, m_file->addChild(m_id, ToUtf16(name), EntryType::Stream));
}

Stream Storage::OpenStream(std::string_view name) const {
    Lock lock(m_file->mutex());
    check();
    return Stream(m_file, child(name, ElementKind::Stream));
}

std::optional<ElementKind> Storage::Find(std::string_view name) const {
    Lock lock(m_file->mutex());
    check();
    const std::uint32_t id = m_file->findChild(m_id, ToUtf16(name));
    if (id == kNoStream)
        return std::nullopt;
    return m_file->entry(id).type == EntryType::Stream ? ElementKind::Stream
                                                        : ElementKind::Storage;
}

std::vector<ElementInfo> Storage::Elements() const {
    Lock lock(m_file->mutex());
    check();
    std::vector<ElementInfo> out;
    const auto& kids = m_file->entry(m_id).children;
    out.reserve(kids.size());
    for (std::uint32_t id : kids) {
        const DirEntry& e = m_file->entry(id);
        const bool stream = e.type == EntryType::Stream;
        out.push_back({ToUtf8(e.name), stream ? ElementKind::Stream : ElementKind::Storage,
                       stream ? e.size : 0});
    }
    return out;
}

void Storage::DestroyElement(std::string_view name) {
    Lock lock(m_file->mutex());
    check();
    m_file->checkWritable();
    const std::uint32_t id = m_file->findChild(m_id, ToUtf16(name));
    if (id == kNoStream)
        notFound(name);
    m_file->destroyChild(m_id, id);
}

void Storage::CopyTo(Storage& dest) const {
    // Both files' locks, taken together so two copies in opposite directions cannot deadlock.
    std::unique_lock<std::recursive_mutex> a(m_file->mutex(), std::defer_lock);
    std::unique_lock<std::recursive_mutex> b(dest.m_file->mutex(), std::defer_lock);
    if (m_file == dest.m_file)
        a.lock();
    else
        std::lock(a, b);
    check();
    dest.check();
    CompoundFile& src = *m_file;
    CompoundFile& dst = *dest.m_file;
    dst.checkWritable();
    if (&src == &dst && src.isAncestor(m_id, dest.m_id))
        throw StorageError(STG_E_ACCESSDENIED, "cannot copy a storage into itself");

    // First make sure no stream meets a storage of its name (or the reverse): then nothing is
    // half copied when the copy is refused.
    struct Pair {
        std::uint32_t from, to;
    };
    std::vector<Pair> work{{m_id, dest.m_id}};
    while (!work.empty()) {
        const Pair p = work.back();
        work.pop_back();
        for (std::uint32_t id : src.entry(p.from).children) {
            const std::uint32_t there = dst.findChild(p.to, src.entry(id).name);
            if (there == kNoStream)
                continue;
            const bool srcStream = src.entry(id).type == EntryType::Stream;
            const bool dstStream = dst.entry(there).type == EntryType::Stream;
            if (srcStream != dstStream)
                throw StorageError(STG_E_FILEALREADYEXISTS,
                                   "a stream and a storage share the name " +
                                       ToUtf8(src.entry(id).name));
            if (!srcStream)
                work.push_back({id, there});
        }
    }

    dst.entry(dest.m_id).clsid = src.entry(m_id).clsid;
    dst.touch(dest.m_id);
    std::vector<char> buffer(1 << 16);
    work.push_back({m_id, dest.m_id});
    while (!work.empty()) {
        const Pair p = work.back();
        work.pop_back();
        const std::vector<std::uint32_t> kids = src.entry(p.from).children;
        for (std::uint32_t id : kids) {
            const std::u16string name = src.entry(id).name;
            std::uint32_t there = dst.findChild(p.to, name);
            if (src.entry(id).type == EntryType::Stream) {
                if (there == kNoStream)
                    there = dst.addChild(p.to, name, EntryType::Stream);
                else
                    dst.resizeStream(there, 0);
                const std::uint64_t size = src.entry(id).size;
                // Grow once, then fill: a large stream is placed in regular sectors at once.
                dst.resizeStream(there, size);
                for (std::uint64_t pos = 0; pos < size; pos += buffer.size()) {
                    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - pos));
                    src.readStream(id, pos, buffer.data(), n);
                    dst.writeStream(there, pos, buffer.data(), n);
                }
                dst.entry(there).stateBits = src.entry(id).stateBits;
            } else {
                if (there == kNoStream)
                    there = dst.addChild(p.to, name, EntryType::Storage);
                DirEntry& d = dst.entry(there);
                const DirEntry& s = src.entry(id);
                d.clsid = s.clsid;
                d.stateBits = s.stateBits;
                d.created = s.created;
                d.modified = s.modified;
                d.dirty = true;
                work.push_back({id, there});
            }
        }
    }
}

std::string Storage::Name() const {
    Lock lock(m_file->mutex());
    check();
    return ToUtf8(m_file->entry(m_id).name);
}

ClassId Storage::GetClass() const {
    Lock lock(m_file->mutex());
    check();
    return m_file->entry(m_id).clsid;
}

void Storage::SetClass(const ClassId& clsid) {
    Lock lock(m_file->mutex());
    check();
    m_file->checkWritable();
    m_file->entry(m_id).clsid = clsid;
    m_file->touch(m_id);
}


void Storage::Flush() { m_file->Flush(); }
void Storage::Sync() { m_file->Sync(); }
void Storage::Close() { m_file->Close(); }
const std::string& Storage::Path() const { return m_file->path(); }
int Storage::MajorVersion() const { return m_file->majorVersion(); }
std::uint64_t Storage::UnusedBytes() const { return m_file->unusedBytes(); }

// ---------------------------------------------------------------------------------------------

Storage CreateCompoundFile(const std::string& path, bool newOnly) {
    return Storage(CompoundFile::Create(path, newOnly), 0);
}

Storage OpenCompoundFile(const std::string& path, bool writable) {
    return Storage(CompoundFile::Open(path, writable), 0);
}

Storage OpenCompoundFileFromBytes(std::string bytes) {
    return Storage(CompoundFile::FromBytes(std::move(bytes)), 0);
}

bool IsCompoundFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false; // a FIFO or a device is no data file, and is not waited on
    }
    unsigned char head[8] = {};
    const ssize_t n = ::pread(fd, head, sizeof head, 0);
    ::close(fd);
    static const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    return n == 8 && std::memcmp(head, signature, 8) == 0;
}

} // namespace lynkora::cfb
