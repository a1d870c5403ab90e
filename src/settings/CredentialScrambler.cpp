#include "CredentialScrambler.h"

#include <cstdint>

namespace lynkora {

namespace {

constexpr std::uint32_t kStartKey = 418327;
constexpr std::uint32_t kMultiplier = 539164;
constexpr std::uint32_t kAddend = 106853;

std::string Run(std::string_view in, bool scramble) {
    if (in.size() > 255)
        in = in.substr(0, 255);
    std::string out;
    out.reserve(in.size());
    std::uint32_t key = kStartKey;
    for (char ch : in) {
        const auto b = static_cast<std::uint8_t>(ch);
        const auto mask = static_cast<std::uint8_t>(key >> 8);
        const std::uint8_t result = b ^ mask;
        const std::uint8_t scrambled = scramble ? result : b;
        out.push_back(static_cast<char>(result));
        key = (key + scrambled) * kMultiplier + kAddend;
    }
    return out;
}

} // namespace

std::string ScrambleText(std::string_view text) { return Run(text, true); }
std::string UnscrambleText(std::string_view scrambled) { return Run(scrambled, false); }

} // namespace lynkora
