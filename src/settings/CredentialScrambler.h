#pragma once

#include <string>
#include <string_view>

namespace lynkora {

// The reversible scrambling of the proxy credentials ("UserInfo"): each byte XOR bits 8 to 15
// of a running 32-bit key, advanced with the scrambled byte. Texts are cut to 255 bytes.
std::string ScrambleText(std::string_view text);
std::string UnscrambleText(std::string_view scrambled);

} // namespace lynkora
