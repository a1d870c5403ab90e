#pragma once

#include <string>
#include <string_view>

namespace lynkora {

// The text of an HTML bookmark file as UTF-8: the encoding comes from a byte-order mark, else
// the META charset, else UTF-8 when the bytes are valid UTF-8, else Windows-1252.
std::string DecodeHtmlFile(std::string_view bytes);
// Text of an unknown 8-bit file: UTF-8 when valid, else Windows-1252.
std::string DecodeEightBit(std::string_view bytes);
// A text file as UTF-8: by its byte order mark (UTF-8, UTF-16), else as DecodeEightBit does.
std::string DecodeTextFile(std::string_view bytes);
bool IsValidUtf8(std::string_view bytes);

// UTF-8 validity of a text given in pieces (a sequence may be cut between two).
class Utf8Check {
public:
    // False once the bytes so far are not UTF-8.
    bool Feed(std::string_view piece);
    // Whether everything fed is UTF-8, with no sequence left unfinished.
    bool Valid() const { return m_valid && m_pending == 0; }

private:
    bool m_valid = true;
    int m_pending = 0; // continuation bytes still owed by the last piece's final sequence
};

// What the first bytes of an HTML bookmark file (at least its first 4 KB) say of its encoding:
// UTF-8 after a byte-order mark; UTF-8 if the bytes are valid (no BOM, and a META charset that
// is absent or one of the names read as UTF-8 when valid); anything else needs decoding.
enum class HtmlEncoding { Utf8Bom, Utf8IfValid, Other };
HtmlEncoding HtmlHeadEncoding(std::string_view head);

// Decodes &amp; &lt; &gt; &quot; &apos; &#39; &nbsp; &#NNN; &#xHH; (a raw & stays as it is).
std::string DecodeEntities(std::string_view text);
// Escapes & < > " for HTML text and attribute values.
std::string EscapeHtml(std::string_view text);

// UTF-7 (as in a favourite's [InternetShortcut.W] section) to UTF-8.
std::string DecodeUtf7(std::string_view text);

} // namespace lynkora
