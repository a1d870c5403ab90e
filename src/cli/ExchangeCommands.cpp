// export: the browser bookmark writers on a data file.
#include "CliCommand.h"
#include "ReadOnlyCollection.h"

#include "exchange/Synchronize.h"
#include "store/DataFile.h"
#include "store/DataFileStorage.h"
#include "store/Errors.h"
#include "store/FileReplace.h"
#include "store/Version.h"

#include <chrono>
#include <ostream>
#include <algorithm>
#include <map>
#include <random>

namespace lynkora::cli {

namespace {

struct Target {
    std::string file, format, path;
};

Target Parse(const std::vector<std::string>& args, const std::vector<std::string>& formats,
             const char* command) {
    Target t;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) == 0) {
            const std::string format = a.substr(2);
            if (std::find(formats.begin(), formats.end(), format) == formats.end())
                throw UsageError{"unknown option " + a};
            if (!t.format.empty() || i + 1 >= args.size())
                throw UsageError{std::string(command) + " takes one source or target"};
            t.format = format;
            t.path = args[++i];
        } else if (t.file.empty()) {
            t.file = a;
        } else {
            throw UsageError{"unexpected argument " + a};
        }
    }
    if (t.file.empty() || t.format.empty())
        throw UsageError{std::string(command) + " takes a file and one source or target"};
    return t;
}

} // namespace

int ExportCommand(CommandContext& ctx) {
    if (std::find(ctx.args.begin(), ctx.args.end(), "--html") != ctx.args.end())
        return HtmlExportCommand(ctx);
    const Target t = Parse(ctx.args, {"netscape", "mozilla", "opera", "favorites"}, "export");
    ReadOnlyCollection c;
    LoadReadOnly(t.file, c);
    static const std::map<std::string, int> kTypes = {{"favorites", 0}, {"netscape", 1}, {"mozilla", 2}, {"opera", 3}};
    std::mt19937 random(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    ExportLibrary({kLibraryTypes[kTypes.at(t.format)], t.path}, c.tree, random);
    return 0;
}

} // namespace lynkora::cli
