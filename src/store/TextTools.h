#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lynkora {

// ASCII letters in lower case; other bytes as they are.
std::string LowerAscii(std::string_view text);
// Hashing and comparing with the letters A to Z folded, for sets of URLs and names held as views.
struct AsciiNoCaseHash {
    std::size_t operator()(std::string_view text) const;
};
struct AsciiNoCaseEqual {
    bool operator()(std::string_view a, std::string_view b) const;
};
// Without blanks and tabs at both ends.
std::string TrimSpaces(std::string_view text);
// The lines of a text, without their CR LF or LF; no empty last line for a final line break.
std::vector<std::string> SplitLines(std::string_view text);
// A file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// Text from a file, fit to quote in a message: control characters and bytes that are not UTF-8
// as "\xNN", and at most `limit` characters (then "...").
std::string QuoteForMessage(std::string_view text, std::size_t limit = 80);
// The bytes of a file given to read (an import source): fails with "Could not read PATH: the
// system's reason" when it cannot be opened or read, and refuses what is not a regular file
// (a FIFO would wait for ever) before reading it.
std::string ReadInputFile(const std::string& path);

} // namespace lynkora
