#pragma once

#include <memory>
#include <string_view>

namespace lynkora {

// Case-insensitive ordering of names and keywords. The store has no locale of its own: the
// platform layer installs a locale-aware collator at start-up; until then names are compared
// byte-wise with ASCII letters folded.
class NameCollator {
public:
    virtual ~NameCollator() = default;
    // <0, 0 or >0 like strcmp; 0 means "the same name".
    virtual int compare(std::string_view a, std::string_view b) const = 0;
};

int CompareNames(std::string_view a, std::string_view b);
bool SameName(std::string_view a, std::string_view b);

// Installs the collator used by CompareNames; nullptr restores the built-in one.
void SetNameCollator(std::shared_ptr<const NameCollator> collator);

// The built-in comparison: ASCII case folded, other bytes compared as unsigned values.
int CompareAsciiNoCase(std::string_view a, std::string_view b);

} // namespace lynkora
