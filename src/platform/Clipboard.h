#pragma once

#include <string>

namespace lynkora {

// Puts an HTML fragment on the clipboard in the clipboard's HTML form: the "HTML Format" text
// on Windows, its page as text/html elsewhere. No plain-text form goes alongside. Needs a
// running QGuiApplication; does nothing without one.
void PutHtmlOnClipboard(const std::string& fragment);
// Puts plain text on the clipboard.
void PutTextOnClipboard(const std::string& text);

} // namespace lynkora
