// export FILE --html PAGE: the styled page of the whole file or one category, with the options
// given on the command line instead of the export window.
#include "CliCommand.h"
#include "FindCategoryPath.h"
#include "ReadOnlyCollection.h"

#include "companions/Companions.h"
#include "exchange/HtmlExport.h"
#include "settings/ExportSettings.h"
#include "store/Errors.h"
#include "store/NameCollator.h"
#include "store/Version.h"

#include <filesystem>
#include <ostream>
#include <sstream>

namespace lynkora::cli {

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The predefined style sheet of that name ("Classic", "Ocean" ...), from the resource library.
std::vector<std::string> PredefinedNamed(const std::string& name) {
    std::vector<std::string> names;
    for (int i = 0; i < 64; ++i) {
        const auto text = PredefinedStyleSheet(i);
        if (!text)
            continue;
        const std::vector<std::string> lines = Lines(*text);
        const std::string sheet = lines.empty() ? std::string() : StyleSheetName(lines.front());
        if (CompareAsciiNoCase(sheet, name) == 0)
            return lines;
        names.push_back(sheet);
    }
    std::string known;
    for (const std::string& n : names)
        known += (known.empty() ? "" : ", ") + n;
    throw ELynkora("No predefined style \"" + name + "\"" + (known.empty() ? std::string() : " (there are: " + known + ")"));
}


} // namespace

int HtmlExportCommand(CommandContext& ctx) {
    std::string file, category, style = "Classic", css;
    HtmlExportOptions o;
    o.title = "My Internet Shortcuts";
    o.generator = "Exported on";
    o.contentsHeading = "Contents";
    o.backToTop = "Back to top";
    bool styleGiven = false;
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string& a = ctx.args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= ctx.args.size())
                throw UsageError{a + " needs a value"};
            return ctx.args[++i];
        };
        if (a == "--html")
            o.output = value();
        else if (a == "--category")
            category = value();
        else if (a == "--no-toc")
            o.contents = false;
        else if (a == "--style") {
            if (styleGiven)
                throw UsageError{"one of --style and --css"};
            style = value();
            styleGiven = true;
        } else if (a == "--css") {
            if (styleGiven)
                throw UsageError{"one of --style and --css"};
            css = value();
            styleGiven = true;
        } else if (a == "--title")
            o.title = value();
        else if (a.rfind("--", 0) == 0 || !file.empty())
            throw UsageError{"unexpected argument " + a};
        else
            file = a;
    }
    if (file.empty() || o.output.empty())
        throw UsageError{"export --html takes a file and a page"};

    ReadOnlyCollection c;
    LoadReadOnly(file, c);
    namespace fs = std::filesystem;
    o.output = fs::absolute(o.output).string();
    o.exportFolder = fs::path(o.output).parent_path().string();
    if (!css.empty()) {
        o.linkStyleSheet = true;
        o.styleSheetPath = fs::absolute(css).string();
    } else {
        o.styleSheetText = PredefinedNamed(style);
    }
    o.programVersion = kProgramVersion;
    o.now = NowDateTime();
    o.lastDate = c.lastDate;
    o.englishDate = true;
    HtmlExportReport report;
    if (category.empty()) {
        report = ExportHtmlPage(c.tree, o);
    } else {
        const CategoryNode* node = FindCategoryPath(c.tree, category);
        if (!node)
            throw ELynkora("No category \"" + category + "\" in " + file);
        report = ExportHtmlCategory(*node, o);
    }
    for (const std::string& warning : report.warnings)
        ctx.err << warning << "\n";
    return 0;
}

} // namespace lynkora::cli
