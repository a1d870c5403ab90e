#include "JsonText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace lynkora::cli {

std::string JsonString(std::string_view s) {
    std::string out;
    out.reserve(s.size() + 2);
    out.push_back('"');
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04X", c);
                out += buf;
            } else {
                out.push_back(ch);
            }
        }
    }
    out.push_back('"');
    return out;
}

std::string FormatNumber(double value) {
    if (!std::isfinite(value))
        return "null";
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    std::string text(buf, result.ptr);
    if (text.find_first_of(".eE") == std::string::npos)
        text += ".0";
    return text;
}

} // namespace lynkora::cli
