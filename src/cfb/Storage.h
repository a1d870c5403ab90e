#pragma once

// Storages and streams inside a compound file. Every handle keeps its file open; the file is
// flushed and closed when the last handle goes, or at once with Close(). All operations on one
// file are serialised by that file's lock, so handles may be used from several threads.

#include "StorageError.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lynkora::cfb {

class CompoundFile;

using ClassId = std::array<std::uint8_t, 16>;

enum class ElementKind { Storage, Stream };

struct ElementInfo {
    std::string name; // UTF-8
    ElementKind kind;
    std::uint64_t size; // bytes, 0 for storages
};

enum class SeekOrigin { Begin, Current, End };

class Stream {
public:
    // Reads up to n bytes at the current position; returns how many were read.
    std::size_t Read(void* buffer, std::size_t n);
    // The whole stream, whatever the position.
    std::string ReadAll();
    // The same into a buffer of the caller's, whose room is reused.
    void ReadAll(std::string& into);
    // Writes at the current position, growing the stream as needed; never shortens it.
    void Write(const void* data, std::size_t n);
    void Write(std::string_view data) { Write(data.data(), data.size()); }
    std::uint64_t Seek(std::int64_t offset, SeekOrigin origin = SeekOrigin::Begin);
    std::uint64_t Position() const { return m_pos; }
    std::uint64_t Size() const;
    void SetSize(std::uint64_t size);

private:
    friend class Storage;
    Stream(std::shared_ptr<CompoundFile> file, std::uint32_t id);
    void check() const;

    std::shared_ptr<CompoundFile> m_file;
    std::uint32_t m_id;
    std::uint32_t m_generation;
    std::uint64_t m_pos = 0;
};

class Storage {
public:
    Storage CreateStorage(std::string_view name);
    Storage OpenStorage(std::string_view name) const;
    Stream CreateStream(std::string_view name);
    Stream OpenStream(std::string_view name) const;
    // The kind of the named element, or nothing when there is none (names compare as the
    // format does, ignoring case).
    std::optional<ElementKind> Find(std::string_view name) const;
    // The elements in the format's sibling order.
    std::vector<ElementInfo> Elements() const;
    // Removes an element and everything below it; its space is reused.
    void DestroyElement(std::string_view name);
    // Copies everything below this storage into dest: streams of the same name are replaced,
    // storages of the same name merged, class identifiers copied.
    void CopyTo(Storage& dest) const;

    std::string Name() const;
    ClassId GetClass() const;
    void SetClass(const ClassId& clsid);

    // Whole-file operations.
    void Flush();
    void Sync();
    void Close();
    const std::string& Path() const;
    int MajorVersion() const;
    // Space inside the file that nothing uses (freed by rewrites, reused by later writes).
    std::uint64_t UnusedBytes() const;

private:
    friend Storage CreateCompoundFile(const std::string&, bool);
    friend Storage OpenCompoundFile(const std::string&, bool);
    friend Storage OpenCompoundFileFromBytes(std::string);
    Storage(std::shared_ptr<CompoundFile> file, std::uint32_t id);
    void check() const;
    std::uint32_t child(std::string_view name, ElementKind kind) const;

    std::shared_ptr<CompoundFile> m_file;
    std::uint32_t m_id;
    std::uint32_t m_generation;
};

// Creates a compound file, replacing any file at the path, open read-write and exclusively. A
// symbolic link at the path is never followed; with `newOnly` the file must not exist at all
// (a temporary beside the data file, made by the holder of its lock).
Storage CreateCompoundFile(const std::string& path, bool newOnly = false);
// Opens a compound file: read-write holds an exclusive lock, read-only a shared one. A file open
// elsewhere fails with STG_E_SHAREVIOLATION.
Storage OpenCompoundFile(const std::string& path, bool writable);
// Reads a compound file held in memory (read-only).
Storage OpenCompoundFileFromBytes(std::string bytes);
// Whether the file starts with the compound file signature.
bool IsCompoundFile(const std::string& path);

} // namespace lynkora::cfb
