#pragma once

#include <string>
#include <string_view>

namespace lynkora::cli {

// A JSON string literal for UTF-8 text.
std::string JsonString(std::string_view utf8);
// The shortest text that reads back as the same double; integral values keep a ".0".
// Non-finite values, which JSON cannot carry, are written as null.
std::string FormatNumber(double value);

} // namespace lynkora::cli
