// find and duplicates: the window's Find next and duplicate scan, printed.
#include "CliCommand.h"
#include "FindCategoryPath.h"
#include "JsonText.h"
#include "ReadOnlyCollection.h"

#include "platform/StoredText.h"
#include "store/Errors.h"
#include "tools/DuplicateScan.h"
#include "tools/Find.h"

#include <ostream>

namespace lynkora::cli {

namespace {

std::string Utf8(const std::string& stored) { return EncodeUserText(DecodeStoredText(stored)); }

// A stored text as a line of plain output: control characters (C0, DEL and C1, escape
// sequences among them) are written as \xHH, so that a name can neither drive the terminal nor
// break the tab-separated columns.
std::string Line(const std::string& stored) {
    const std::string text = Utf8(stored);
    std::string out;
    out.reserve(text.size());
    static const char* hex = "0123456789abcdef";
    auto escape = [&](unsigned value) {
        out += "\\x";
        out += hex[(value >> 4) & 0xF];
        out += hex[value & 0xF];
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F)
            escape(c);
        else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0)
            escape(static_cast<unsigned char>(text[++i])); // U+0080..U+009F: the second byte is the code
        else
            out += static_cast<char>(c);
    }
    return out;
}

int SearchFieldsNamed(const std::string& name) {
    static const char* names[] = {"names", "urls", "descriptions", "keywords", "all"};
    for (int i = 0; i < 5; ++i)
        if (name == names[i])
            return i;
    throw UsageError{"--in takes names, urls, descriptions, keywords or all"};
}

} // namespace

int FindCommand(CommandContext& ctx) {
    std::vector<std::string> positional;
    std::string from;
    bool fromGiven = false;
    TSearchOptions o;
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string& a = ctx.args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= ctx.args.size())
                throw UsageError{a + " needs a value"};
            return ctx.args[++i];
        };
        if (a == "--in")
            o.SearchIn = SearchFieldsNamed(value());
        else if (a == "--case")
            o.CaseSensitive = true;
        else if (a == "--from") {
            from = value();
            fromGiven = true;
        } else if (a.rfind("--", 0) == 0)
            throw UsageError{"unknown option " + a};
        else
            positional.push_back(a);
    }
    if (positional.size() != 2)
        throw UsageError{"a data file and a text to find"};
    if (positional[1].empty())
        throw UsageError{"the text to find is empty"};
    ReadOnlyCollection c;
    LoadReadOnly(positional[0], c);
    o.FindText = positional[1];
    if (fromGiven) {
        const CategoryNode* node = FindCategoryPath(c.tree, from);
        if (!node)
            throw ELynkora("No category \"" + from + "\"");
        o.Origin = 0;
        o.StartCategory = TreePosition(c.tree, node);
    }
    // Find, then Find next until the first miss: each match once, in the window's order.
    for (SearchMatch m; SearchFrom(o, c.tree, m);) {
        const TIShortcut& s = m.node->Folder().Shortcuts[m.index];
        ctx.out << Line(CategoryTree::CategoryPath(*m.node)) << '\t' << Line(s.Name) << '\t' << Line(s.URL) << '\n';
    }
    return 0;
}

int DuplicatesCommand(CommandContext& ctx) {
    std::string file;
    bool json = false;
    for (const std::string& a : ctx.args) {
        if (a == "--json")
            json = true;
        else if (a.rfind("--", 0) == 0 || !file.empty())
            throw UsageError{"unknown argument " + a};
        else
            file = a;
    }
    if (file.empty())
        throw UsageError{"a data file"};
    ReadOnlyCollection c;
    LoadReadOnly(file, c);
    const std::vector<TDupItems> groups = ScanDuplicates(c.tree);
    if (!json) {
        // As the window lists them: the URL, then one line per shortcut, the head first.
        for (const TDupItems& g : groups) {
            ctx.out << Line(g.URL) << '\n';
            for (std::size_t i = 0; i < g.URLs.Count(); ++i)
                ctx.out << "  " << Line(g.URLs.Items(i).Name) << " (Category: " << Line(g.URLs.Items(i).Category)
                        << ")\n";
        }
        return 0;
    }
    ctx.out << "[";
    for (std::size_t gi = 0; gi < groups.size(); ++gi) {
        const TDupItems& g = groups[gi];
        ctx.out << (gi ? ",\n " : "\n ") << "{\"URL\": " << JsonString(Utf8(g.URL)) << ", \"Entries\": [";
        for (std::size_t i = 0; i < g.URLs.Count(); ++i) {
            const TDupURL& e = g.URLs.Items(i);
            ctx.out << (i ? ",\n   " : "\n   ") << "{\"ShortID\": " << e.ShortID << ", \"Name\": " << JsonString(Utf8(e.Name))
                    << ", \"Category\": " << JsonString(Utf8(e.Category)) << "}";
        }
        ctx.out << "]}";
    }
    ctx.out << (groups.empty() ? "]\n" : "\n]\n");
    return 0;
}

} // namespace lynkora::cli
