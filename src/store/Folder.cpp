#include "Folder.h"

#include <atomic>

namespace lynkora {

TISFolder::TISFolder() {
    static std::atomic<std::uint64_t> counter{0};
    m_instanceId = ++counter;
}

const ClassInfo& TISFolder::classInfo() const {
    static const ClassInfo info = [] {
        using C = TISFolder;
        ClassInfo c;
        c.className = "TISFolder";
        // The component name is read like a property but travels only in the object header.
        PropInfo name;
        name.name = "Name";
        name.kind = PropKind::Text;
        name.neverWritten = true;
        name.setText = [](StreamObject& o, std::string v) { o.setComponentName(std::move(v)); };
        c.properties = {
            std::move(name),
            props::integer("Tag", &C::Tag, 0),
            props::text("FolderID", &C::FolderID),
            props::text("FolderName", &C::FolderName),
            props::text("Descr", &C::Descr),
            props::object("Keywords", &C::Keywords),
            props::text("Parent", &C::Parent),
            props::collection("Shortcuts", &C::Shortcuts),
            props::integer("AccessCount", &C::AccessCount),
            props::boolean("Exclude", &C::Exclude),
            props::boolean("New", &C::New),
        };
        return c;
    }();
    return info;
}

void TISFolder::Assign(const TISFolder& source) {
    if (this == &source)
        return;
    FolderID = source.FolderID;
    FolderName = source.FolderName;
    Descr = source.Descr;
    Parent = source.Parent;
    AccessCount = source.AccessCount;
    Exclude = source.Exclude;
    Keywords.Assign(source.Keywords);
}

} // namespace lynkora
