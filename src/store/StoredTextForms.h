#pragma once

#include <string>
#include <string_view>

namespace lynkora {

// Stored text is kept as bytes in one of two forms: UTF-8, or Windows-1252 for text made by the
// older program on Windows (invalid as UTF-8). Everything that shows or compares texts reads
// them the same way.

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

// The code point of a Windows-1252 byte (the five bytes the page leaves open keep their value).
char16_t Windows1252CodePoint(unsigned char byte);

// The text as UTF-8: as it is when valid, else read as Windows-1252.
std::string StoredTextAsUtf8(std::string_view bytes);

} // namespace lynkora
