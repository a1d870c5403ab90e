#include "CliCommand.h"

#include "cfb/Storage.h"

#include <ostream>

namespace lynkora::cli {

namespace {

void List(const cfb::Storage& st, const std::string& prefix, std::ostream& out) {
    for (const auto& e : st.Elements()) {
        const std::string path = prefix.empty() ? e.name : prefix + "/" + e.name;
        if (e.kind == cfb::ElementKind::Storage) {
            out << path << "\tstorage\n";
            List(st.OpenStorage(e.name), path, out);
        } else {
            out << path << "\tstream\t" << e.size << "\n";
        }
    }
}

} // namespace

int InspectCommand(CommandContext& ctx) {
    if (ctx.args.empty() || ctx.args.size() > 2)
        throw UsageError{"inspect takes a file and an optional stream path"};
    cfb::Storage root = cfb::OpenCompoundFile(ctx.args[0], false);
    if (ctx.args.size() == 1) {
        List(root, {}, ctx.out);
        return 0;
    }
    const std::string& path = ctx.args[1];
    cfb::Storage st = root;
    std::size_t start = 0;
    for (std::size_t slash; (slash = path.find('/', start)) != std::string::npos; start = slash + 1)
        st = st.OpenStorage(path.substr(start, slash - start));
    const std::string bytes = st.OpenStream(path.substr(start)).ReadAll();
    ctx.out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return 0;
}

} // namespace lynkora::cli
