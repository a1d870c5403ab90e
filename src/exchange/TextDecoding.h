#pragma once

#include "store/StoredTextForms.h"

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
