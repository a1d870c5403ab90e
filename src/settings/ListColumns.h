#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace lynkora {

class Registry;

struct TLVColumn {
    bool Visible = false;
    std::string Caption;
    std::int32_t Width = 100;
    std::int32_t Position = 0;
};

// The eight columns of the shortcut list, in their fixed order; "Name" is always visible at
// position 0. Stored under the key "List".
class TLVColumns {
public:
    enum Index { Name, URL, Description, Added, LastVisited, Visits, LastVerified, Status, Count };

    TLVColumns();
    TLVColumn& operator[](std::size_t i) { return m_columns[i]; }
    const TLVColumn& operator[](std::size_t i) const { return m_columns[i]; }

    void Load(const Registry& registry);
    void Save(Registry& registry) const;

private:
    std::array<TLVColumn, Count> m_columns;
};

} // namespace lynkora
