#include "TextTools.h"

#include "Errors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

std::size_t AsciiNoCaseHash::operator()(std::string_view text) const {
    std::size_t h = 14695981039346656037ull; // FNV-1a over the folded bytes
    for (char c : text)
        h = (h ^ FoldAscii(static_cast<unsigned char>(c))) * 1099511628211ull;
    return h;
}

bool AsciiNoCaseEqual::operator()(std::string_view a, std::string_view b) const {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
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
    auto fail = [&](int err) -> std::string {
        throw ELynkora("Could not read " + path + ": " + std::strerror(err));
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw ELynkora("Could not read " + path + ": it is not a regular file");
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            return fail(err);
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

} // namespace lynkora
