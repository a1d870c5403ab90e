// export-json: the whole collection as UTF-8 JSON, property names as the object model has them.
#include "CliCommand.h"
#include "JsonText.h"
#include "ReadOnlyCollection.h"

#include "platform/StoredText.h"

#include <ostream>

namespace lynkora::cli {

namespace {

class Writer {
public:
    explicit Writer(std::ostream& out) : m_out(out) {}

    void Collection(const ReadOnlyCollection& c) {
        m_out << "{\n  \"AppVersion\": " << Text(c.appVersion)
              << ",\n  \"LastDate\": " << FormatNumber(c.lastDate) << ",\n  \"Root\": ";
        if (c.tree.RootNode())
            Category(*c.tree.RootNode(), 1);
        else
            m_out << "null";
        m_out << "\n}\n";
    }

private:
    static std::string Text(const std::string& stored) {
        return JsonString(EncodeUserText(DecodeStoredText(stored)));
    }

    void Indent(int level) { m_out << std::string(static_cast<std::size_t>(level) * 2, ' '); }

    void Keywords(const TKeywords& k) {
        m_out << "[";
        for (std::size_t i = 0; i < k.Count(); ++i)
            m_out << (i ? ", " : "") << Text(k[i]);
        m_out << "]";
    }

    void Shortcut(const TIShortcut& s, int level) {
        Indent(level);
        m_out << "{\"Added\": " << FormatNumber(s.Added) << ", \"Access\": " << FormatNumber(s.Access)
              << ", \"Verified\": " << FormatNumber(s.Verified) << ", \"Count\": " << s.Count
              << ", \"VerState\": " << s.VerState << ", \"Name\": " << Text(s.Name)
              << ", \"Descr\": " << Text(s.Descr) << ", \"Keywords\": ";
        Keywords(s.Keywords);
        m_out << ", \"URL\": " << Text(s.URL) << ", \"verResponse\": " << Text(s.verResponse)
              << ", \"IgnoreDup\": " << (s.IgnoreDup ? "true" : "false") << "}";
    }

    void Category(const CategoryNode& node, int level) {
        const TISFolder& f = node.Folder();
        m_out << "{\n";
        auto field = [&](const char* name) {
            Indent(level + 1);
            m_out << "\"" << name << "\": ";
        };
        field("FolderID");
        m_out << Text(f.FolderID) << ",\n";
        field("FolderName");
        m_out << Text(f.FolderName) << ",\n";
        field("Descr");
        m_out << Text(f.Descr) << ",\n";
        field("Keywords");
        Keywords(f.Keywords);
        m_out << ",\n";
        field("Parent");
        m_out << Text(f.Parent) << ",\n";
        field("AccessCount");
        m_out << f.AccessCount << ",\n";
        field("Exclude");
        m_out << (f.Exclude ? "true" : "false") << ",\n";
        field("New");
        m_out << (f.New ? "true" : "false") << ",\n";
        field("Shortcuts");
        m_out << "[";
        for (std::size_t i = 0; i < f.Shortcuts.Count(); ++i) {
            m_out << (i ? ",\n" : "\n");
            Shortcut(f.Shortcuts[i], level + 2);
        }
        if (f.Shortcuts.Count())
            m_out << "\n", Indent(level + 1);
        m_out << "],\n";
        field("Categories");
        m_out << "[";
        for (std::size_t i = 0; i < node.ChildCount(); ++i) {
            m_out << (i ? ",\n" : "\n");
            Indent(level + 2);
            Category(node.Child(i), level + 2);
        }
        if (node.ChildCount())
            m_out << "\n", Indent(level + 1);
        m_out << "]\n";
        Indent(level);
        m_out << "}";
    }

    std::ostream& m_out;
};

} // namespace

int ExportJsonCommand(CommandContext& ctx) {
    if (ctx.args.size() != 1)
        throw UsageError{"export-json takes one file"};
    ReadOnlyCollection c;
    LoadReadOnly(ctx.args[0], c);
    Writer(ctx.out).Collection(c);
    return 0;
}

} // namespace lynkora::cli
