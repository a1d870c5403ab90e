#include "TextRoutines.h"

#include "Errors.h"

#include <cstdio>

namespace lynkora {

std::string HtmlColor(std::uint32_t color) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF,
                  (color >> 16) & 0xFF);
    return buf;
}

std::string InverseHtmlColor(std::uint32_t color) { return HtmlColor(~color & 0xFFFFFF); }

std::string RemoveChar(std::string_view text, char c) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text)
        if (ch != c)
            out.push_back(ch);
    return out;
}

std::uint32_t HexValue(std::string_view text) {
    std::uint64_t value = 0;
    bool ok = !text.empty() && text.size() <= 8;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            ok = false;
        value = value * 16 + static_cast<unsigned>(digit < 0 ? 0 : digit);
    }
    if (!ok)
        throw ELynkora("'$" + std::string(text) + "' is not a valid integer value");
    return static_cast<std::uint32_t>(value);
}

} // namespace lynkora
