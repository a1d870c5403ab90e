#pragma once

#include "Shortcut.h"
#include "StreamObject.h"
#include "StringList.h"

#include <cstdint>
#include <string>

namespace lynkora {

// The name a new data file gives its root category.
inline constexpr const char* kRootFolderName = "My Internet Shortcuts";

// A category. It knows nothing of its place in the tree: the hierarchy lives in the category
// tree in memory and in the nesting of storages on disk.
class TISFolder : public StreamObject {
public:
    std::int32_t Tag = 0;
    std::string FolderID;
    std::string FolderName;
    std::string Descr;
    TKeywords Keywords;
    std::string Parent = "0";
    TShortcuts Shortcuts;
    std::int32_t AccessCount = 0;
    bool Exclude = false;
    bool New = false;

    TISFolder();
    TISFolder(const TISFolder&) = delete;
    TISFolder& operator=(const TISFolder&) = delete;

    const ClassInfo& classInfo() const override;
    bool isComponent() const override { return true; }
    std::string componentName() const override { return m_name; }
    void setComponentName(std::string name) override { m_name = std::move(name); }

    // A number no other category object of this process has had; tells apart two objects
    // that bear the same FolderID at different times.
    std::uint64_t InstanceId() const { return m_instanceId; }

    // Counts one opened shortcut of this category.
    void CountAccess() { ++AccessCount; }

    // Copies FolderID, FolderName, Descr, Parent, AccessCount and Exclude, and copies (never
    // shares) the keyword list; the shortcuts stay the target's own.
    void Assign(const TISFolder& source);

private:
    std::string m_name;
    std::uint64_t m_instanceId;
};

} // namespace lynkora
