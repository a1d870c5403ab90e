#pragma once

#include "store/OwnedCollection.h"
#include "store/StreamObject.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lynkora {

// A browser entry's small icon, streamed as its image bytes ("Icon.Data", only when present).
class TIconData : public StreamObject {
public:
    std::string Data;
    const ClassInfo& classInfo() const override;
    bool Empty() const { return Data.empty(); }
    void clearForNil() { Data.clear(); }
};

// One configured browser.
class TBrowser : public StreamObject {
public:
    std::string Path;    // the executable
    std::string Command; // text put before the URL, or a template holding "%s"
    TIconData Icon;
    std::string Version;
    std::string Name;
    bool IsDefault = false;

    const ClassInfo& classInfo() const override;
    // The collection's run-time identifier (not stored); menu items refer to it.
    std::uint32_t ID() const { return m_id; }

private:
    friend class TBrowsers;
    std::uint32_t m_id = 0;
};

class TBrowsers : public TOwnedCollection<TBrowser> {
public:
    // Appends a new entry and moves it to the index.
    TBrowser& Insert(std::size_t index);
    TBrowser* FindItemID(std::uint32_t id);

protected:
    void Added(TBrowser& item) override { item.m_id = m_nextId++; }

private:
    std::uint32_t m_nextId = 0;
};

// The configured browsers; entry 0 is the system's default browser after start-up and is never
// stored.
class TBrowserList : public StreamObject {
public:
    TBrowsers Browsers;

    const ClassInfo& classInfo() const override;
    bool isComponent() const override { return true; }

    // Whether some entry's Path names the same file as path (long path forms compared
    // ignoring case).
    bool IsBrowserListed(const std::string& path) const;
    // Removes every entry marked as the default browser.
    void RemoveDefaultEntries();
};

} // namespace lynkora
