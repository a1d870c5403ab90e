#include "BrowserList.h"

#include "platform/FileInfo.h"
#include "store/NameCollator.h"

#include <filesystem>

namespace lynkora {

const ClassInfo& TIconData::classInfo() const {
    static const ClassInfo info = [] {
        ClassInfo c;
        c.className = "TIcon";
        PropInfo data = props::binary("Data", &TIconData::Data);
        data.isStored = [](const StreamObject& o) { return !static_cast<const TIconData&>(o).Empty(); };
        c.extraProperties.push_back(std::move(data));
        return c;
    }();
    return info;
}

const ClassInfo& TBrowser::classInfo() const {
    static const ClassInfo info = [] {
        using C = TBrowser;
        ClassInfo c;
        c.className = "TBrowser";
        c.properties = {props::text("Path", &C::Path),      props::text("Command", &C::Command),
                        props::object("Icon", &C::Icon),    props::text("Version", &C::Version),
                        props::text("Name", &C::Name),      props::boolean("IsDefault", &C::IsDefault)};
        return c;
    }();
    return info;
}

TBrowser& TBrowsers::Insert(std::size_t index) {
    Add();
    auto item = std::move(m_items.back());
    m_items.pop_back();
    if (index > m_items.size())
        index = m_items.size();
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
    return *m_items[index];
}

TBrowser* TBrowsers::FindItemID(std::uint32_t id) {
    for (auto& b : m_items)
        if (b->ID() == id)
            return b.get();
    return nullptr;
}

const ClassInfo& TBrowserList::classInfo() const {
    static const ClassInfo info = [] {
        ClassInfo c;
        c.className = "TBrowserList";
        c.properties = {props::collection("Browsers", &TBrowserList::Browsers)};
        return c;
    }();
    return info;
}

namespace {

// The long form of an existing path; a missing file is still compared by its normalised text.
std::string ComparablePath(const std::string& path) {
    try {
        return LongPathForm(path);
    } catch (const std::exception&) {
        return std::filesystem::path(path).lexically_normal().string();
    }
}

} // namespace

bool TBrowserList::IsBrowserListed(const std::string& path) const {
    const std::string wanted = ComparablePath(path);
    for (std::size_t i = 0; i < Browsers.Count(); ++i)
        if (CompareAsciiNoCase(ComparablePath(Browsers.Items(i).Path), wanted) == 0)
            return true;
    return false;
}

void TBrowserList::RemoveDefaultEntries() {
    for (std::size_t i = Browsers.Count(); i-- > 0;)
        if (Browsers.Items(i).IsDefault)
            Browsers.Delete(i);
}

} // namespace lynkora
