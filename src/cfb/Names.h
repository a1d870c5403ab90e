#pragma once

#include <string>
#include <string_view>

namespace lynkora::cfb {

// Element names are UTF-16 inside the file and UTF-8 at the interface.
std::u16string ToUtf16(std::string_view utf8);
std::string ToUtf8(std::u16string_view utf16);
// Appends one code point as UTF-8; one beyond U+10FFFF appends nothing.
void AppendUtf8(std::string& out, char32_t codePoint);

// The sibling order of the format: shorter names first, then code unit by code unit after
// upper-casing. Returns <0, 0 or >0.
int CompareNames(std::u16string_view a, std::u16string_view b);

// Throws StorageError(STG_E_INVALIDNAME) for an empty name, one longer than 31 code units, or
// one holding / \ : or !.
void CheckName(std::u16string_view name);

} // namespace lynkora::cfb
