#include "CliCommand.h"

#include "store/Compaction.h"

namespace lynkora::cli {

int CompactCommand(CommandContext& ctx) {
    if (ctx.args.size() != 1)
        throw UsageError{"compact takes one file"};
    CompactDataFile(ctx.args[0]);
    return 0;
}

} // namespace lynkora::cli
