#include "TextTools.h"

#include "Errors.h"
#include "InputFile.h"

#include <cstdint>
#include <cstring>

#include <fstream>
#include <sstream>

namespace lynkora {

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (auto& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string TrimSpaces(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return std::string(s);
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

namespace {
constexpr unsigned char FoldAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }
} // namespace

namespace {
// Eight bytes at a time with A to Z folded: bytes with the high bit set are never letters.
std::uint64_t FoldWord(std::uint64_t x) {
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    const std::uint64_t low = x & (0x7F * ones);
    const std::uint64_t atLeastA = low + (0x80 - 'A') * ones;
    const std::uint64_t aboveZ = low + (0x80 - 'Z' - 1) * ones;
    const std::uint64_t upper = atLeastA & ~aboveZ & ~x & (0x80 * ones);
    return x | (upper >> 2);
}
} // namespace

std::size_t AsciiNoCaseHash::operator()(std::string_view text) const {
    constexpr std::uint64_t k = 0x9E3779B97F4A7C15ull;
    std::uint64_t h = text.size() * k;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, text.data() + i, 8);
        h = (h ^ FoldWord(w)) * k;
        h ^= h >> 31;
    }
    if (i < text.size()) {
        std::uint64_t w = 0;
        std::memcpy(&w, text.data() + i, text.size() - i);
        h = (h ^ FoldWord(w)) * k;
    }
    // The table takes the low bits: the high ones are mixed down.
    h ^= h >> 32;
    h *= 0xD6E8FEB86659FD93ull;
    h ^= h >> 29;
    return static_cast<std::size_t>(h);
}

bool AsciiNoCaseEqual::operator()(std::string_view a, std::string_view b) const {
    if (a.size() != b.size())
        return false;
    std::size_t i = 0;
    for (; i + 8 <= a.size(); i += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y && FoldWord(x) != FoldWord(y))
            return false;
    }
    for (; i < a.size(); ++i)
        if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string QuoteForMessage(std::string_view s, std::size_t limit) {
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    std::size_t shown = 0;
    for (std::size_t i = 0; i < s.size(); ++shown) {
        if (shown == limit)
            return out + "...";
        const auto c = static_cast<unsigned char>(s[i]);
        // The length of a well-formed UTF-8 sequence starting here, or 0.
        std::size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len > 1 && (i + len > s.size() || c == 0xC0 || c == 0xC1))
            len = 0;
        for (std::size_t k = 1; k < len && len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                len = 0;
        if (len == 1 && (c < 0x20 || c == 0x7F))
            len = 0;
        if (len == 0) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
            ++i;
        } else {
            out.append(s.substr(i, len));
            i += len;
        }
    }
    return out;
}

std::string ReadInputFile(const std::string& path) {
    InputFile in(path);
    std::string bytes;
    bytes.reserve(in.SizeHint());
    char buffer[1 << 16];
    while (const std::size_t n = in.Read(buffer, sizeof buffer))
        bytes.append(buffer, n);
    return bytes;
}

} // namespace lynkora
