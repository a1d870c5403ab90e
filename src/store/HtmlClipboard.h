#pragma once

#include <string>
#include <string_view>

namespace lynkora {

// The clipboard's "HTML Format" (version 0.9) text for an HTML fragment, with the byte offsets
// of the page and the fragment in its header.
std::string BuildHtmlClipboardText(std::string_view fragment);

// The fragment the "Copy URL as HTML" command puts on the clipboard: <a href="URL">name</a>,
// both trimmed and inserted as they are; an empty name is replaced by the URL.
std::string HtmlLinkFragment(std::string_view url, std::string_view name);

// Removes control characters and blanks at both ends.
std::string_view TrimBlanks(std::string_view text);

} // namespace lynkora
