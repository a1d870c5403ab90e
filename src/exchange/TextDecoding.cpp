#include "TextDecoding.h"

#include "cfb/Names.h"
#include "store/StoredTextForms.h"
#include "platform/StoredText.h"

#include <QStringDecoder>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <vector>

namespace lynkora {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (auto& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The charset named by a META element in the first few kilobytes.
std::string MetaCharset(std::string_view bytes) {
    const std::string head = Lower(bytes.substr(0, 4096));
    std::size_t pos = 0;
    while ((pos = head.find("<meta", pos)) != std::string::npos) {
        const auto end = head.find('>', pos);
        const std::string tag = head.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        const auto cs = tag.find("charset");
        if (cs != std::string::npos) {
            std::size_t i = cs + 7;
            while (i < tag.size() && (tag[i] == ' ' || tag[i] == '=' || tag[i] == '"' || tag[i] == '\''))
                ++i;
            std::size_t j = i;
            while (j < tag.size() && (std::isalnum(static_cast<unsigned char>(tag[j])) || tag[j] == '-' || tag[j] == '_'))
                ++j;
            if (j > i)
                return tag.substr(i, j - i);
        }
        pos = end == std::string::npos ? head.size() : end;
    }
    return {};
}

std::string ViaQt(const char* encoding, std::string_view bytes, bool& ok) {
    QStringDecoder decoder(encoding);
    ok = decoder.isValid();
    if (!ok)
        return {};
    const QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return text.toUtf8().toStdString();
}

} // namespace

std::string DecodeEightBit(std::string_view bytes) { return StoredTextAsUtf8(bytes); }

namespace {

// The text after a byte order mark, decoded; false when there is none.
bool ByOrderMark(std::string_view bytes, std::string& text) {
    bool ok = false;
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        text = std::string(bytes.substr(3));
    else if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE")
        text = ViaQt("UTF-16LE", bytes.substr(2), ok);
    else if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFE\xFF")
        text = ViaQt("UTF-16BE", bytes.substr(2), ok);
    else
        return false;
    return true;
}

} // namespace

std::string DecodeTextFile(std::string_view bytes) {
    std::string text;
    return ByOrderMark(bytes, text) ? text : DecodeEightBit(bytes);
}

std::string DecodeHtmlFile(std::string_view bytes) {
    bool ok = false;
    if (std::string text; ByOrderMark(bytes, text))
        return text;
    const std::string charset = MetaCharset(bytes);
    if (!charset.empty() && charset != "utf-8" && charset != "utf8") {
        // Windows-1252 is what "iso-8859-1" means in practice; other names go to the codecs.
        if (charset == "iso-8859-1" || charset == "windows-1252" || charset == "latin1")
            return IsValidUtf8(bytes) ? std::string(bytes) : EncodeUserText(DecodeStoredText(bytes));
        const std::string name = charset == "x-mac-system" ? "macintosh" : charset == "x-mac-roman" ? "macintosh" : charset;
        std::string text = ViaQt(name.c_str(), bytes, ok);
        if (ok)
            return text;
    }
    return DecodeEightBit(bytes);
}

// HTML's named references, sorted by name.
struct NamedEntity {
    const char* name;
    const char* text;
};
constexpr NamedEntity kNamedEntities[] = {
#include "HtmlEntities.inc"
};

const char* NamedReference(std::string_view name) {
    const auto it = std::lower_bound(std::begin(kNamedEntities), std::end(kNamedEntities), name,
                                     [](const NamedEntity& e, std::string_view n) { return std::string_view(e.name) < n; });
    return it != std::end(kNamedEntities) && std::string_view(it->name) == name ? it->text : nullptr;
}

constexpr std::size_t kMaxReference = 40; // "&CounterClockwiseContourIntegral;" is 33

HtmlEncoding HtmlHeadEncoding(std::string_view head) {
    if (head.substr(0, 3) == "\xEF\xBB\xBF")
        return HtmlEncoding::Utf8Bom;
    if (head.substr(0, 2) == "\xFF\xFE" || head.substr(0, 2) == "\xFE\xFF")
        return HtmlEncoding::Other;
    const std::string charset = MetaCharset(head);
    const bool utf8 = charset.empty() || charset == "utf-8" || charset == "utf8" || charset == "iso-8859-1" ||
                      charset == "windows-1252" || charset == "latin1";
    return utf8 ? HtmlEncoding::Utf8IfValid : HtmlEncoding::Other;
}

std::string DecodeEntities(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out.push_back(s[i]);
            continue;
        }
        // A reference is short: the ";" is looked for only that far, so a text of many "&"
        // is read in one pass.
        const auto semi = s.substr(0, std::min(s.size(), i + kMaxReference)).find(';', i);
        if (semi == std::string_view::npos) {
            out.push_back('&');
            continue;
        }
        const std::string name(s.substr(i + 1, semi - i - 1));
        std::uint32_t cp = 0;
        if (const char* named = NamedReference(name)) {
            out += named;
            i = semi;
            continue;
        }
        if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            const std::string digits = name.substr(hex ? 2 : 1);
            char* end = nullptr;
            const unsigned long v = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
            if (!digits.empty() && *end == '\0' && v > 0 && v < 0x110000)
                cp = static_cast<std::uint32_t>(v);
        }
        if (cp == 0) {
            out.push_back('&'); // not a reference: the & stays
            continue;
        }
        cfb::AppendUtf8(out, cp);
        i = semi;
    }
    return out;
}

std::string EscapeHtml(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out.push_back(c);
        }
    }
    return out;
}

std::string DecodeUtf7(std::string_view s) {
    static const std::string alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    while (i < s.size()) {
        if (s[i] != '+') {
            out.push_back(s[i++]);
            continue;
        }
        ++i;
        if (i < s.size() && s[i] == '-') { // "+-" is a plus sign
            out.push_back('+');
            ++i;
            continue;
        }
        std::uint32_t bits = 0;
        int count = 0;
        std::vector<std::uint16_t> units;
        while (i < s.size()) {
            const auto pos = alphabet.find(s[i]);
            if (pos == std::string::npos)
                break;
            bits = (bits << 6) | static_cast<std::uint32_t>(pos);
            count += 6;
            if (count >= 16) {
                count -= 16;
                units.push_back(static_cast<std::uint16_t>(bits >> count));
                bits &= (1u << count) - 1;
            }
            ++i;
        }
        if (i < s.size() && s[i] == '-')
            ++i;
        for (std::size_t k = 0; k < units.size(); ++k) {
            std::uint32_t cp = units[k];
            if (cp >= 0xD800 && cp < 0xDC00 && k + 1 < units.size()) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (units[k + 1] - 0xDC00);
                ++k;
            }
            cfb::AppendUtf8(out, cp);
        }
    }
    return out;
}

} // namespace lynkora
