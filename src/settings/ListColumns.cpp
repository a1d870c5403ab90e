#include "ListColumns.h"

#include "platform/Registry.h"

#include <cstdlib>
#include <stdexcept>

namespace lynkora {

namespace {

constexpr const char* kKey = "List";
constexpr const char* kCaptions[] = {"Name",  "URL",          "Description", "Added",
                                     "Last Visited", "Visits", "Last verified", "Status"};
// Widths taken when a stored value cannot be read, per column.
constexpr std::int32_t kUnreadableWidth[] = {150, 150, 150, 150, 100, 50, 100, 150};

std::int32_t ParseInt(const std::string& s) {
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0')
        throw std::invalid_argument(s);
    return static_cast<std::int32_t>(v);
}

std::string ColName(int i) { return "Col" + std::to_string(i + 1); }

} // namespace

TLVColumns::TLVColumns() {
    for (std::size_t i = 0; i < Count; ++i)
        m_columns[i].Caption = kCaptions[i];
    m_columns[Name].Visible = true;
}

void TLVColumns::Load(const Registry& registry) {
    Registry& reg = const_cast<Registry&>(registry);
    if (!reg.OpenKey(kKey, false)) {
        m_columns[Name].Width = 150;
        m_columns[URL].Visible = true;
        m_columns[URL].Width = 150;
        return;
    }
    try {
        m_columns[Name].Width = reg.ValueExists(kKey, "Col1") ? reg.ReadInteger(kKey, "Col1") : 150;
    } catch (const std::exception&) {
        m_columns[Name].Width = 150;
    }
    for (int i = URL; i < Count; ++i) {
        TLVColumn& c = m_columns[static_cast<std::size_t>(i)];
        const std::string name = ColName(i);
        if (!reg.ValueExists(kKey, name)) {
            if (i == URL)
                c.Width = 150;
            continue;
        }
        // V,W,P read in order: what was read before a failure stays.
        try {
            const std::string text = reg.ReadString(kKey, name);
            const auto c1 = text.find(',');
            const auto c2 = c1 == std::string::npos ? c1 : text.find(',', c1 + 1);
            c.Visible = text.substr(0, c1) == "1";
            if (c1 == std::string::npos || c2 == std::string::npos)
                throw std::invalid_argument(text);
            c.Width = ParseInt(text.substr(c1 + 1, c2 - c1 - 1));
            c.Position = ParseInt(text.substr(c2 + 1));
        } catch (const std::exception&) {
            if (i == URL)
                c.Visible = true;
            c.Width = kUnreadableWidth[i];
        }
    }
    m_columns[Name].Visible = true;
    m_columns[Name].Position = 0;
}

void TLVColumns::Save(Registry& reg) const {
    reg.OpenKey(kKey, true);
    reg.WriteInteger(kKey, "Col1", m_columns[Name].Width);
    for (int i = URL; i < Count; ++i) {
        const TLVColumn& c = m_columns[static_cast<std::size_t>(i)];
        reg.WriteString(kKey, ColName(i),
                        std::string(c.Visible ? "1" : "0") + "," + std::to_string(c.Width) + "," +
                            std::to_string(c.Position));
    }
}

} // namespace lynkora
