#include "NetscapeReader.h"

#include "store/TextTools.h"
#include "TextDecoding.h"

#include "store/DateTime.h"
#include "store/Errors.h"
#include "store/FileReplace.h"
#include "store/InputFile.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>

namespace lynkora {

namespace {

bool IsBlank(char c) {
    // One compare for the letters that make up nearly all of a text.
    return static_cast<unsigned char>(c) <= ' ' && (c == ' ' || c == '\t' || c == '\r' || c == '\n');
}
bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Blank runs become one space, none at either end; the words between are copied whole. The
// result replaces what `out` held, in its room: a reader reuses one buffer for every link.
void CollapseBlanks(std::string_view s, std::string& out) {
    const std::size_t n = s.size();
    std::size_t i = 0;
    while (i < n && IsBlank(s[i]))
        ++i;
    out.clear();
    while (i < n) {
        const std::size_t word = i;
        // Eight bytes at a time while none is a space or a control character.
        for (std::uint64_t w; i + 8 <= n; i += 8) {
            std::memcpy(&w, s.data() + i, 8);
            if (((w - 0x2121212121212121ull) & ~w & 0x8080808080808080ull) != 0)
                break;
        }
        while (i < n && !IsBlank(s[i]))
            ++i;
        out.append(s.data() + word, i - word);
        while (i < n && IsBlank(s[i]))
            ++i;
        if (i < n)
            out.push_back(' ');
    }
}

// Entities decoded and blanks collapsed; a text with neither is taken as it stands.
void CleanText(std::string_view s, std::string& out) {
    if (s.find('&') != std::string_view::npos)
        CollapseBlanks(DecodeEntities(s), out);
    else
        CollapseBlanks(s, out);
}

// Whether the view equals the lower-case word, ignoring ASCII case.
bool EqualsLower(std::string_view s, std::string_view lower) {
    if (s.size() != lower.size())
        return false;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (static_cast<char>(std::tolower(static_cast<unsigned char>(s[i]))) != lower[i])
            return false;
    return true;
}

// One tag: its lower-case name ("dl", "/dl", "a" ...) and its attributes, both views into the
// document (the name is lower-cased into a buffer of its own).
struct Tag {
    std::string name;
    std::string_view raw; // between the name and ">"
    std::string_view Attribute(std::string_view wanted) const;
};

std::string_view Tag::Attribute(std::string_view wanted) const {
    std::size_t i = 0;
    while (i < raw.size()) {
        while (i < raw.size() && IsSpace(raw[i]))
            ++i;
        std::size_t start = i;
        while (i < raw.size() && !IsSpace(raw[i]) && raw[i] != '=')
            ++i;
        const std::string_view key = raw.substr(start, i - start);
        while (i < raw.size() && IsSpace(raw[i]))
            ++i;
        std::string_view value;
        if (i < raw.size() && raw[i] == '=') {
            ++i;
            while (i < raw.size() && IsSpace(raw[i]))
                ++i;
            if (i < raw.size() && (raw[i] == '"' || raw[i] == '\'')) {
                const char quote = raw[i++];
                const auto end = raw.find(quote, i);
                value = raw.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i);
                i = end == std::string_view::npos ? raw.size() : end + 1;
            } else {
                start = i;
                while (i < raw.size() && !IsSpace(raw[i]))
                    ++i;
                value = raw.substr(start, i - start);
            }
        }
        if (EqualsLower(key, wanted))
            return value;
        if (key.empty())
            ++i;
    }
    return {};
}

// Walks the document as a sequence of tags and texts, quotes inside tags honoured. Texts and
// attributes are views into the document: nothing is copied until a bookmark takes it, and a
// view lasts until the next call. A file is read a piece at a time, the read part dropped as the
// walk goes on, so only a window of it is held (a tag or text longer than the window widens it).
class Scanner {
public:
    explicit Scanner(std::string_view text) : m_s(text), m_end(true) {}
    explicit Scanner(InputFile& file) : m_file(&file) {}

    // The next tag, with the text before it in `text`; false at the end.
    bool Next(Tag& tag, std::string_view& text) {
        DropReadPart();
        for (;;) {
            const Step step = TryNext(tag, text);
            if (step != Step::NeedMore)
                return step == Step::Tag;
            ReadMore();
        }
    }

    // The text up to the closing tag `close` (inner tags dropped), in place of what `out` held.
    void TextUntil(std::string_view close, std::string& out) {
        out.clear();
        std::string_view text;
        Tag tag;
        while (true) {
            const std::size_t before = m_base + m_pos;
            const bool more = Next(tag, text);
            out += text;
            if (!more)
                return;
            if (tag.name == close)
                return;
            // A structural tag ends an unclosed text; it is read again by the caller.
            if (tag.name == "dl" || tag.name == "/dl" || tag.name == "dt" || tag.name == "h3" ||
                tag.name == "a" || tag.name == "dd") {
                m_pos = before - m_base + text.size();
                return;
            }
        }
    }

private:
    enum class Step { Tag, End, NeedMore };
    static constexpr std::size_t kPiece = std::size_t{1} << 20;

    // Leaves everything as it was when the window ends before the tag does.
    Step TryNext(Tag& tag, std::string_view& text) {
        const auto lt = m_s.find('<', m_pos);
        if (lt == std::string_view::npos) {
            if (!m_end)
                return Step::NeedMore;
            text = m_s.substr(m_pos);
            m_pos = m_s.size();
            return Step::End;
        }
        if (!m_end && lt + 4 > m_s.size())
            return Step::NeedMore;
        std::size_t i = lt + 1;
        if (m_s.compare(lt, 4, "<!--") == 0) { // comments hold no bookmarks
            const auto end = m_s.find("-->", lt + 4);
            if (end == std::string_view::npos && !m_end)
                return Step::NeedMore;
            text = m_s.substr(m_pos, lt - m_pos);
            m_pos = end == std::string_view::npos ? m_s.size() : end + 3;
            tag.name = "!--";
            tag.raw = {};
            return Step::Tag;
        }
        std::size_t nameEnd = i;
        while (nameEnd < m_s.size() && !IsSpace(m_s[nameEnd]) && m_s[nameEnd] != '>')
            ++nameEnd;
        char quote = 0;
        std::size_t j = nameEnd;
        for (; j < m_s.size(); ++j) {
            const char c = m_s[j];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                // A quote opens a value only right after "=".
                std::size_t k = j;
                while (k > nameEnd && IsSpace(m_s[k - 1]))
                    --k;
                if (k > nameEnd && m_s[k - 1] == '=')
                    quote = c;
            } else if (c == '>') {
                break;
            }
        }
        if (j >= m_s.size() && !m_end)
            return Step::NeedMore;
        text = m_s.substr(m_pos, lt - m_pos);
        tag.name.assign(m_s.substr(i, nameEnd - i));
        for (char& c : tag.name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        tag.raw = m_s.substr(nameEnd, j - nameEnd);
        m_pos = j < m_s.size() ? j + 1 : m_s.size();
        return Step::Tag;
    }

    // Widens the window by at least its own size, so a long tag is scanned a bounded number of
    // times; at the end of the file the window is all there is.
    void ReadMore() {
        if (!m_file->AppendTo(m_window, std::max(kPiece, m_window.size())))
            m_end = true;
        m_s = m_window;
    }

    void DropReadPart() {
        if (!m_file || m_pos < kPiece)
            return;
        m_window.erase(0, m_pos);
        m_base += m_pos;
        m_pos = 0;
        m_s = m_window;
    }

    InputFile* m_file = nullptr;
    std::string m_window; // the part of the file at hand
    std::string_view m_s;
    std::size_t m_base = 0; // where m_s starts in the document
    std::size_t m_pos = 0;
    bool m_end = false; // nothing beyond m_s
};

} // namespace

namespace {

void ReadDocument(Scanner& scanner, ImportTarget& target) {
    static const std::string kKeyword = "Netscape";
    const TDateTime now = NowDateTime();
    ImportCursor cursor(target);
    Tag tag;
    std::string_view ignored;
    std::string text, url, name; // one room for every link's texts
    while (scanner.Next(tag, ignored)) {
        if (tag.name == "dl") {
            cursor.OpenList();
        } else if (tag.name == "h3") {
            scanner.TextUntil("/h3", text);
            std::string heading;
            CleanText(text, heading);
            if (heading.empty())
                heading = kRootFolderName;
            cursor.EnterFolder(heading, [&] {
                auto category = std::make_unique<TISFolder>();
                category->FolderName = heading;
                category->Keywords.Add("Netscape");
                return category;
            });
        } else if (tag.name == "a") {
            CleanText(tag.Attribute("href"), url);
            scanner.TextUntil("/a", text);
            CleanText(text, name);
            if (!url.empty())
                cursor.AddLink(url, name, kKeyword, now);
        } else if (tag.name == "/dl") {
            cursor.CloseList();
        }
    }
}

// A UTF-8 file is read as it streams past; any other is decoded whole first.
void ReadFile(const std::string& path, ImportTarget& target) {
    InputFile file(path);
    std::string head;
    file.AppendTo(head, 4096);
    const HtmlEncoding encoding = HtmlHeadEncoding(head);
    bool utf8 = encoding == HtmlEncoding::Utf8Bom;
    if (encoding == HtmlEncoding::Utf8IfValid) {
        Utf8Check check;
        std::string piece;
        for (bool more = check.Feed(head); more;) {
            piece.clear();
            more = file.AppendTo(piece, std::size_t{1} << 20) && check.Feed(piece);
        }
        utf8 = check.Valid();
    }
    file.Rewind();
    if (utf8) {
        if (encoding == HtmlEncoding::Utf8Bom) {
            char bom[3];
            file.Read(bom, sizeof bom);
        }
        Scanner scanner(file);
        ReadDocument(scanner, target);
        return;
    }
    std::string bytes;
    bytes.reserve(file.SizeHint());
    while (file.AppendTo(bytes, std::size_t{1} << 20)) {
    }
    const std::string text = DecodeHtmlFile(bytes);
    std::string().swap(bytes);
    Scanner scanner(text);
    ReadDocument(scanner, target);
}

} // namespace

void ReadNetscapeBookmarks(const std::string& bytes, ImportTarget& target) {
    const std::string text = DecodeHtmlFile(bytes);
    Scanner scanner(text);
    ReadDocument(scanner, target);
}

void ImportNetscapeBookmarks(const std::string& path, ImportTarget& target) {
    std::string file = path;
    const std::string lower = LowerAscii(path);
    if (lower.find(".htm") != std::string::npos) {
        if (!FileExists(file))
            throw ELynkora("The specified file could not be found!      \n\n" + lower);
    } else {
        std::string dir = path;
        if (!dir.empty() && dir.back() == '/')
            dir.pop_back();
        if (FileExists(dir + "/bookmark.htm"))
            file = dir + "/bookmark.htm";
        else if (FileExists(dir + "/bookmarks.html"))
            file = dir + "/bookmarks.html";
        else
            throw ELynkora("Lynkora could not find a Netscape bookmarks file      \nin the folder "
                           "specified.\n\n" + lower);
    }
    ReadFile(file, target);
}

} // namespace lynkora
