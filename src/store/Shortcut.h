#pragma once

#include "CompactText.h"
#include "SharedText.h"
#include "StreamObject.h"
#include "StringList.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lynkora {

// A date: days since 1899-12-30 00:00 local time, the fraction being the time of day; 0 = never.
using TDateTime = double;

// Verification states of a shortcut.
enum VerStates : std::int32_t {
    vsGood = 2001,      // good, or never verified
    vsFailed = 2002,    // verification failed
    vsVerifying = 2003, // check under way; never survives a reload
    vsQueued = 2004,    // queued for a verification run
};

class TShortcuts;

// One internet shortcut; an item of exactly one TShortcuts.
class TIShortcut : public StreamObject {
public:
    TDateTime Added = 0;
    TDateTime Access = 0;
    TDateTime Verified = 0;
    std::int32_t Count = 0;
    std::int32_t VerState = vsGood;
    CompactText Name;
    CompactText Descr;
    TKeywords Keywords;
    CompactText URL;
    // The last verification's response: the few texts a run gives are held once.
    SharedText verResponse;

    const ClassInfo& classInfo() const override;

    // Identity number given by the owning collection; never reused while it lives.
    std::uint32_t ID() const { return m_id; }

    // Copies Name, URL, Descr, Added, Access and Count; the rest stays the target's own.
    void Assign(const TIShortcut& source);

    // Held by the million: from the block pool, without the heap's header and rounding.
    static void* operator new(std::size_t bytes);
    static void operator delete(void* block, std::size_t bytes) noexcept;

private:
    friend class TShortcuts;
    explicit TIShortcut(std::uint32_t id) : m_id(id) {}

    // No pointer back to the collection: its IndexOf gives the position.
    std::uint32_t m_id;

public:
    bool IgnoreDup = false; // last, where it takes no room of its own
};

// The ordered, owning shortcut collection of a category.
class TShortcuts : public StreamCollection {
public:
    TShortcuts() = default;
    TShortcuts(const TShortcuts&) = delete;
    TShortcuts& operator=(const TShortcuts&) = delete;

    // Appends a new shortcut with its defaults and the next identity number.
    TIShortcut& Add();
    std::size_t Count() const { return m_items.size(); }
    TIShortcut& operator[](std::size_t index) { return *m_items[index]; }
    const TIShortcut& operator[](std::size_t index) const { return *m_items[index]; }
    // The shortcut with the identity number, or nullptr.
    TIShortcut* FindItemID(std::uint32_t id);
    const TIShortcut* FindItemID(std::uint32_t id) const;
    void Delete(std::size_t index);
    // Moves the item at index `from` to index `to`.
    void Move(std::size_t from, std::size_t to);
    void Clear() { m_items.clear(); }
    // Gives back the room a growing list kept in hand (a loaded category grows no more).
    void ShrinkToFit() { m_items.shrink_to_fit(); }
    std::size_t IndexOf(const TIShortcut& item) const;

    // The identity the next added shortcut will get.
    std::uint32_t NextID() const { return m_nextId; }

    std::size_t itemCount() const override { return m_items.size(); }
    const StreamObject& itemAt(std::size_t index) const override { return *m_items[index]; }
    StreamObject& addItem() override { return Add(); }
    void clearItems() override { Clear(); }

    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<std::unique_ptr<TIShortcut>> m_items;
    std::uint32_t m_nextId = 0;
};

} // namespace lynkora
