#include "HtmlExport.h"

#include "BookmarkWriters.h"
#include "TextDecoding.h"

#include "store/DateText.h"
#include "store/Errors.h"
#include "store/ProtectedFiles.h"
#include "store/TextTools.h"
#include "store/Version.h"

#include <QCollator>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <string_view>
#include <system_error>
#include <unordered_map>

namespace lynkora {

namespace {

constexpr const char* kRule = "<hr noshade size=\"1\" color=\"#000000\">";
constexpr const char* kTable90 = "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"90%\">";

// A text of the collection or the settings as page text: UTF-8 (bytes that are not are read as
// Windows-1252), markup characters escaped.
std::string Text(const std::string& stored) { return EscapeHtml(DecodeEightBit(stored)); }

// Whether a URL is written as a link. Only the schemes a bookmark page links to are, read as
// a browser reads them (the URL standard): C0 controls and blanks at the ends dropped, tabs and
// line breaks anywhere removed. A relative reference (no scheme) is harmless; anything else
// (script, data, a scheme a browser would hand to another program, a scheme that does not parse)
// is shown as text.
bool WrittenAsLink(std::string_view url) {
    std::string u;
    u.reserve(url.size());
    for (const char c : url)
        if (c != '\t' && c != '\n' && c != '\r')
            u.push_back(c);
    const auto control = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    const auto first = std::find_if_not(u.begin(), u.end(), control);
    const auto last = std::find_if_not(u.rbegin(), u.rend(), control).base();
    const std::string_view s = first < last ? std::string_view(&*first, static_cast<std::size_t>(last - first)) : std::string_view();
    if (std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        return false;
    const std::size_t end = s.find_first_of(":/?#");
    if (end == std::string_view::npos || s[end] != ':')
        return true; // no scheme: relative to the page
    const std::string scheme = LowerAscii(std::string(s.substr(0, end)));
    static const std::set<std::string> linked = {"http", "https", "ftp", "ftps", "sftp", "file", "mailto",
                                                 "news", "nntp", "snews", "gopher", "telnet", "irc", "ircs"};
    return linked.count(scheme) != 0;
}

class PageWriter {
public:
    // Anchor keys count every node of the tree in pre-order, from its root `top`.
    PageWriter(const HtmlExportOptions& options, const CategoryNode& top) : m_o(options) { Number(top); }

    std::string Page() const { return m_out; }

    void Line(const std::string& text) {
        m_out += text;
        m_out += "\r\n";
    }

    void Head() {
        Line("<html>");
        Line("<head>");
        Line("<meta charset=\"utf-8\">");
        Line("<title>" + Text(m_o.title) + "</title>");
        Line("<meta name=\"generator\" content=\"Lynkora 4.0\">");
        Line("<base target=\"_blank\">");
        if (m_o.linkStyleSheet) {
            const std::string name = std::filesystem::path(m_o.styleSheetPath).filename().string();
            Line("<link rel=\"stylesheet\" type=\"text/css\" href=\"" + EscapeHtml(name) + "\">");
        } else {
            Line("<style type=\"text/css\"><!--");
            for (const std::string& line : m_o.styleSheetText)
                Line(StyleLine(line));
            Line("}-->");
            Line("</style>");
        }
        Line("</head>");
        Line(kTable90);
        Line("<tr>");
        Line("<td width=\"100%\"><h1><strong>" + Text(m_o.title) + "</strong></h1></td>");
        Line("</tr>");
        Line("<tr>");
        Line("<td width=\"100%\">");
        const std::string date = LongDateText(m_o.englishDate, m_o.now, m_o.locale);
        Line((m_o.generator.empty() ? std::string() : Text(m_o.generator) + " ") + Text(date) + "</td>");
        Line("</tr></table><br><br>");
    }

    void Contents(const CategoryNode& of, bool wholeFile) {
        Line(kTable90);
        Line("<tr>");
        Line("<td width=\"100%\"><h3><strong>" + Text(m_o.contentsHeading) + "</strong></h3>");
        Line("</td></tr>");
        Line("<tr><td width=\"100%\">");
        if (wholeFile)
            Line("<!-- Table of contents -->");
        Line("<menu>");
        for (const auto& child : of.Children())
            ContentsEntry(*child);
        Line("</menu></td></tr></table><br>");
        Line(kRule);
    }

    void Section(const CategoryNode& node, int base) {
        if (IsExcluded(node))
            return;
        const std::string indented = "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"90%\" "
                                     "style=\"margin-left: " +
                                     std::to_string((node.Depth() - base) * 30) + "\"><p>";
        if (m_o.contents) {
            Line("<a name=\"" + Anchor(node) + "\"></a>");
            Line("<br>");
        }
        Line(indented);
        Line("<tr>");
        Line("<td width=\"50%\"><h3><strong>" + Text(node.Text()) + "</strong></h3>");
        if (!node.Folder().Descr.empty()) {
            Line("</td></tr>");
            Line("<tr><td width=\"100%\">" + Text(node.Folder().Descr) + "<br><br>");
        }
        if (m_o.contents) {
            Line("</td></tr>");
            Line("<tr><td width=\"100%\"><a href=\"#top\" target=\"_self\">[ " + Text(m_o.backToTop) +
                 " ]</a><br><br></td>");
            Line("</tr></table>");
        } else {
            Line("</td></tr></p></table>");
        }
        Line(indented);
        for (const TIShortcut* s : SortedByName(node.Folder())) {
            Line("<tr><td width=\"100%\">");
            Line(LinkLine(*s));
            Line("</td></tr>");
        }
        Line("</p></table>");
        Line("<br>");
        for (const auto& child : node.Children())
            Section(*child, base);
        Line("<br>");
    }

    void RootShortcuts(const TISFolder& root) {
        if (root.Shortcuts.Count() == 0)
            return;
        Line("<br>");
        Line("<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"100%\"><p>");
        for (const TIShortcut* s : SortedByName(root)) {
            Line("<tr><td width=\"100%\">");
            Line(LinkLine(*s));
        }
        Line("</p></table>");
    }

    void CategoryShortcuts(const TISFolder& folder) {
        Line("<br>");
        Line("<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"90%\"><p>");
        for (const auto& s : folder.Shortcuts) {
            Line("<tr><td width=\"100%\">");
            Line(LinkLine(*s));
            Line("</td></tr>");
        }
        Line("</p></table>");
    }

    void Footer() {
        Line("<br>");
        Line(kRule);
        Line("<table border=\"0\" width=\"100%\" cellpadding=\"0\" cellspacing=\"0\">");
        Line("<tr>");
        Line("<td width=\"100%\">Created with <strong>Lynkora 4.0</strong> - version " + Text(m_o.programVersion) +
             "</td>");
        Line("</tr>");
        Line("<tr>");
        Line("<td width=\"100%\">Lynkora is free software by the Lynkora developers.<br><br>");
        Line(std::string("<a href=\"") + kWebSite + "\">" + kWebSite + "</a></td>");
        Line("</tr>");
        Line("</table>");
        Line("<br><br>");
        Line("</BODY>");
        Line("</HTML>");
    }

private:
    void Number(const CategoryNode& node) {
        m_position.emplace(&node, m_position.size());
        for (const auto& child : node.Children())
            Number(*child);
    }

    // A style sheet line goes into the page as it is, except where it could end the style
    // element early.
    static std::string StyleLine(std::string line) {
        for (std::size_t at = 0; (at = LowerAscii(line).find("</style", at)) != std::string::npos;)
            line.replace(at, 2, "<\\/");
        return line;
    }

    std::string Anchor(const CategoryNode& node) const {
        const int parentDepth = node.Parent() ? node.Parent()->Depth() : 0;
        const auto it = m_position.find(&node);
        const std::size_t position = it == m_position.end() ? 0 : it->second;
        return std::to_string(parentDepth) + "." + std::to_string(node.Depth()) + "." + std::to_string(position);
    }

    void ContentsEntry(const CategoryNode& node) {
        if (IsExcluded(node))
            return;
        Line("<ul><li>");
        Line("<a href=\"#" + Anchor(node) + "\" target=\"_self\">" + Text(node.Text()) + "</a></ul>");
        if (node.ChildCount() > 0) {
            Line("<menu>");
            for (const auto& child : node.Children())
                ContentsEntry(*child);
            Line("</menu>");
        }
    }

    std::string LinkLine(const TIShortcut& s) const {
        const bool isNew = s.Added > m_o.lastDate;
        std::string line = isNew ? "<span class=newitem>" : "";
        if (!WrittenAsLink(s.URL))
            line += Text(s.Name) + " (" + Text(s.URL) + ")"; // shown, never run
        else
            line += "<a href=\"" + Text(s.URL) + "\" >" + Text(s.Name) + "</a>";
        if (!s.Descr.empty())
            line += " - " + Text(s.Descr);
        if (isNew)
            line += "</span>";
        return line;
    }

    static std::vector<const TIShortcut*> SortedByName(const TISFolder& folder) {
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::vector<std::pair<QCollatorSortKey, const TIShortcut*>> keyed;
        keyed.reserve(folder.Shortcuts.Count());
        for (const auto& s : folder.Shortcuts)
            keyed.emplace_back(collator.sortKey(QString::fromStdString(DecodeEightBit(s->Name)).toCaseFolded()), s.get());
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
        std::vector<const TIShortcut*> out;
        out.reserve(keyed.size());
        for (const auto& k : keyed)
            out.push_back(k.second);
        return out;
    }

    const HtmlExportOptions& m_o;
    std::string m_out;
    std::unordered_map<const CategoryNode*, std::size_t> m_position;
};

// The linked style sheet goes into the export folder unless it is there already.
void CopyStyleSheet(const HtmlExportOptions& o, HtmlExportReport& report) {
    if (!o.linkStyleSheet || o.styleSheetPath.empty())
        return;
    namespace fs = std::filesystem;
    const fs::path source(o.styleSheetPath);
    const fs::path target = fs::path(o.exportFolder) / source.filename();
    if (LowerAscii(source.lexically_normal().string()) == LowerAscii(target.lexically_normal().string()))
        return;
    std::error_code ec;
    if (!fs::is_regular_file(source, ec)) {
        report.warnings.push_back("CopyFile failed: " + std::string(std::strerror(ENOENT)));
        return;
    }
    if (const std::string owner = WriteTargetCheck().Owner(target.string()); !owner.empty()) {
        report.warnings.push_back("CopyFile failed: " + ProtectedTargetReason(owner));
        return;
    }
    fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
    if (ec)
        report.warnings.push_back("CopyFile failed: " + ec.message());
}

void WritePage(const std::string& path, const std::string& text) {
    if (path.empty())
        throw ELynkora("No file to export to.");
    std::string why;
    if (!WriteFileReplacing(path, text, &why))
        throw ELynkora("Could not write " + path + ": " + why);
}

} // namespace

std::string HtmlPageText(const CategoryTree& tree, const HtmlExportOptions& options) {
    const CategoryNode* root = tree.RootNode();
    if (!root)
        throw ELynkora("The export routine aborted: no root-category available!      ");
    PageWriter page(options, *root);
    page.Head();
    if (options.contents && root->ChildCount() > 0) {
        page.Line("<a name=\"top\"></a>");
        page.Contents(*root, true);
    }
    page.RootShortcuts(root->Folder());
    for (const auto& child : root->Children())
        page.Section(*child, 0);
    page.Footer();
    return page.Page();
}

std::string HtmlCategoryText(const CategoryNode& category, const HtmlExportOptions& options) {
    const CategoryNode* top = &category;
    while (top->Parent())
        top = top->Parent();
    PageWriter page(options, *top);
    page.Head();
    if (options.contents && category.ChildCount() > 0)
        page.Contents(category, false);
    page.CategoryShortcuts(category.Folder());
    for (const auto& child : category.Children())
        page.Section(*child, category.Depth());
    page.Footer();
    return page.Page();
}

namespace {

HtmlExportReport Export(const std::string& text, const HtmlExportOptions& options) {
    HtmlExportReport report;
    CopyStyleSheet(options, report);
    WritePage(options.output, text);
    return report;
}

} // namespace

HtmlExportReport ExportHtmlPage(const CategoryTree& tree, const HtmlExportOptions& options) {
    return Export(HtmlPageText(tree, options), options);
}

HtmlExportReport ExportHtmlCategory(const CategoryNode& category, const HtmlExportOptions& options) {
    return Export(HtmlCategoryText(category, options), options);
}

} // namespace lynkora
