#pragma once

#include "StreamObject.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace lynkora {

// The entries of a list, counted: copies of a list share them. A pointer's size, where a
// shared_ptr takes two; a million shortcuts each hold a list.
class ListEntries {
public:
    ListEntries() = default;
    ListEntries(const ListEntries& other) : m_block(other.m_block) {
        if (m_block)
            m_block->refs.fetch_add(1, std::memory_order_relaxed);
    }
    ListEntries(ListEntries&& other) noexcept : m_block(std::exchange(other.m_block, nullptr)) {}
    ListEntries& operator=(ListEntries other) noexcept {
        std::swap(m_block, other.m_block);
        return *this;
    }
    ~ListEntries() { reset(); }

    static ListEntries Make(std::vector<std::string> items) {
        ListEntries made;
        made.m_block = new Block{{1}, std::move(items)};
        return made;
    }
    explicit operator bool() const { return m_block != nullptr; }
    std::vector<std::string>& operator*() const { return m_block->items; }
    bool Shared() const { return m_block && m_block->refs.load(std::memory_order_acquire) > 1; }
    void reset() {
        if (m_block && m_block->refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete m_block;
        m_block = nullptr;
    }

private:
    struct Block {
        std::atomic<long> refs;
        std::vector<std::string> items;
    };
    Block* m_block = nullptr;
};

// A list of texts as streamed under "<property>.Strings". A sorted list keeps its entries in
// case-insensitive order and ignores a second entry of the same name: the first one added stays.
// Copies share their entries until one of them changes (a million imported shortcuts with the
// same keyword hold it once); an empty list holds nothing at all.
class TStringList : public StreamObject {
public:
    TStringList() = default;

    const ClassInfo& classInfo() const override;

    // Returns false when a sorted list already held the text.
    bool Add(std::string text);
    void Clear() { m_items.reset(); }
    void Delete(std::size_t index);
    // Index of the entry equal to text (ignoring case for a sorted list), or -1.
    long IndexOf(std::string_view text) const;

    std::size_t Count() const { return m_items ? (*m_items).size() : 0; }
    bool Empty() const { return Count() == 0; }
    const std::string& operator[](std::size_t index) const { return (*m_items)[index]; }
    const std::vector<std::string>& Items() const;
    // Whether the list is kept sorted, ignoring a repeated entry (the kind, not a member: a
    // million shortcuts each hold a list).
    virtual bool Sorted() const { return false; }

    // Takes the other list's entries; lists of the same mode share them.
    void Assign(const TStringList& other);
    bool operator==(const TStringList& other) const { return Items() == other.Items(); }

    // A nil in a stream leaves an owned list empty.
    void clearForNil() { Clear(); }

private:
    friend class StringListPool;
    // The entries, for a change: a list of this one's own.
    std::vector<std::string>& Own();

    ListEntries m_items;
};

// Lets equal lists share one set of entries: loading a collection, the same keywords on
// thousands of shortcuts are held once.
class StringListPool {
public:
    // The list takes the entries of an equal list shared before, or is kept for the next.
    void Share(TStringList& list);

private:
    std::unordered_multimap<std::size_t, ListEntries> m_lists[2];
};

// Keyword lists of categories and shortcuts.
class TKeywords : public TStringList {
public:
    bool Sorted() const override { return true; }
};

} // namespace lynkora
