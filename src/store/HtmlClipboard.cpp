#include "HtmlClipboard.h"

#include <cstdio>

namespace lynkora {

namespace {

std::string Build(std::string_view fragment, long startHtml, long endHtml, long startFragment,
                  long endFragment) {
    char header[160];
    std::snprintf(header, sizeof header,
                  "Version:0.9\r\nStartHTML:%8.8ld\r\nEndHTML:%8.8ld\r\nStartFragment:%8.8ld\r\n"
                  "EndFragment:%8.8ld\r\n",
                  startHtml, endHtml, startFragment, endFragment);
    std::string text = header;
    text += "<html><body>\r\n<!--StartFragment-->\r\n";
    text += fragment;
    text += "\r\n<!--EndFragment-->\r\n</body></html>";
    return text;
}

} // namespace

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

std::string BuildHtmlClipboardText(std::string_view fragment) {
    fragment = TrimBlanks(fragment);
    // Built once with zeros to measure, then again with the offsets: the header has a fixed
    // length, so the offsets do not move.
    const std::string draft = Build(fragment, 0, 0, 0, 0);
    const auto startHtml = static_cast<long>(draft.find("<html>"));
    const auto startFragment = static_cast<long>(draft.find("<!--StartFragment-->"));
    const auto endFragment = static_cast<long>(draft.rfind("<!--EndFragment-->"));
    return Build(fragment, startHtml, static_cast<long>(draft.size()), startFragment, endFragment);
}

std::string HtmlLinkFragment(std::string_view url, std::string_view name) {
    url = TrimBlanks(url);
    name = TrimBlanks(name);
    if (name.empty())
        name = url;
    std::string out = "<a href=\"";
    out += url;
    out += "\">";
    out += name;
    out += "</a>";
    return out;
}

} // namespace lynkora
