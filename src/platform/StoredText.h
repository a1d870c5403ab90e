#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace lynkora {

// Stored text is kept as bytes: UTF-8, or Windows-1252 for text made on Windows. These convert
// between those bytes and what the user interface shows and types.
QString DecodeStoredText(std::string_view bytes);
std::string EncodeUserText(const QString& text);

} // namespace lynkora
