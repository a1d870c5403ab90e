#include "StoredTextForms.h"

#include "cfb/Names.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace lynkora {

namespace {

// The code points of Windows-1252 bytes 0x80..0x9F; the rest of the page equals Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

bool Utf8Check::Feed(std::string_view s) {
    if (!m_valid)
        return false;
    std::size_t i = 0;
    // A sequence cut by the end of the last piece is finished first.
    while (m_pending > 0 && i < s.size()) {
        if ((static_cast<unsigned char>(s[i++]) & 0xC0) != 0x80)
            return m_valid = false;
        --m_pending;
    }
    while (i < s.size()) {
        // Eight plain ASCII bytes at a time: large files are mostly that.
        while (i + 8 <= s.size()) {
            std::uint64_t word;
            std::memcpy(&word, s.data() + i, 8);
            if (word & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i >= s.size())
            break;
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0)
            return m_valid = false;
        const std::size_t have = std::min(len, s.size() - i);
        for (std::size_t k = 1; k < have; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return m_valid = false;
        m_pending = static_cast<int>(len - have);
        i += have;
    }
    return true;
}

bool IsValidUtf8(std::string_view s) {
    Utf8Check check;
    check.Feed(s);
    return check.Valid();
}

char16_t Windows1252CodePoint(unsigned char b) { return b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : b; }

std::string StoredTextAsUtf8(std::string_view bytes) {
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (const char c : bytes)
        cfb::AppendUtf8(out, Windows1252CodePoint(static_cast<unsigned char>(c)));
    return out;
}

} // namespace lynkora
