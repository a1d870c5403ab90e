#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lynkora {

// A colour (00BBGGRR) as "#RRGGBB".
std::string HtmlColor(std::uint32_t color);
// The HTML colour of the colour with its 24 colour bits inverted.
std::string InverseHtmlColor(std::uint32_t color);
// The text without any occurrence of the character.
std::string RemoveChar(std::string_view text, char c);
// The value of a text of hexadecimal digits; anything else fails with
// "'$<text>' is not a valid integer value".
std::uint32_t HexValue(std::string_view text);

} // namespace lynkora
