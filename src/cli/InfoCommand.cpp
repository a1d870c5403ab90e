#include "CliCommand.h"
#include "JsonText.h"
#include "ReadOnlyCollection.h"

#include <ostream>

namespace lynkora::cli {

int InfoCommand(CommandContext& ctx) {
    if (ctx.args.size() != 1)
        throw UsageError{"info takes one file"};
    ReadOnlyCollection c;
    LoadReadOnly(ctx.args[0], c);
    ctx.out << "Program version: " << c.appVersion << "\n"
            << "LASTDATE: " << FormatNumber(c.lastDate) << "\n"
            << "Categories: " << c.tree.NodeCount() << "\n"
            << "Shortcuts: " << c.tree.ShortcutCount() << "\n";
    return 0;
}

} // namespace lynkora::cli
