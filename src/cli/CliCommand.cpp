#include "CliCommand.h"

#include "store/Errors.h"
#include "store/StorageErrorText.h"

#include <iostream>

namespace lynkora::cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> table = {
        {"info", "info FILE", InfoCommand},
        {"export-json", "export-json FILE", ExportJsonCommand},
        {"import-json", "import-json FILE [--force]   (JSON on standard input)", ImportJsonCommand},
        {"inspect", "inspect FILE [PATH]", InspectCommand},
        {"compact", "compact FILE", CompactCommand},
        {"import", "import FILE --netscape PATH | --opera PATH | --favorites DIR | --firefox PROFILE\n"
                   "                 | --chromium PROFILE | --html PAGE [--into CATEGORY] | --ldb OLD | --lyx OTHER",
         ImportCommand},
        {"sync", "sync FILE [--import TYPE:PATH]... [--export TYPE:PATH]... [--direct]\n"
                 "                 (TYPE: favorites, netscape, mozilla, opera, firefox, chromium)",
         SyncCommand},
        {"export", "export FILE --netscape PATH | --mozilla PATH | --opera PATH | --favorites DIR\n"
                   "                 | --html PAGE [--category PATH] [--no-toc] [--style NAME | --css FILE]\n"
                   "                 [--title TEXT]",
         ExportCommand},
        {"verify",
         "verify FILE [--category PATH] [--errors-only] [--proxy HOST:PORT]\n"
         "                 [--proxy-user U --proxy-password P] [--ca-file FILE] [--jobs N]",
         VerifyCommand},
        {"find", "find FILE TEXT [--in names|urls|descriptions|keywords|all] [--case] [--from CATEGORY]",
         FindCommand},
        {"duplicates", "duplicates FILE [--json]", DuplicatesCommand},
    };
    return table;
}

namespace {

void PrintUsage(std::ostream& err) {
    err << "usage: lynkora-cli COMMAND ARGUMENTS\n";
    for (const auto& c : Commands())
        err << "  lynkora-cli " << c.usage << "\n";
}

} // namespace

int RunCli(const std::vector<std::string>& argv, std::istream& in, std::ostream& out,
           std::ostream& err) {
    if (argv.size() < 2) {
        PrintUsage(err);
        return 2;
    }
    for (const auto& c : Commands()) {
        if (argv[1] != c.name)
            continue;
        CommandContext ctx{{argv.begin() + 2, argv.end()}, in, out, err};
        try {
            return c.handler(ctx);
        } catch (const UsageError& e) {
            err << "lynkora-cli: " << e.message << "\nusage: lynkora-cli " << c.usage << "\n";
            return 2;
        } catch (const EStorageError& e) {
            // The storage error's text, then what and where: the path and the system's reason.
            err << StorageErrorText(e.code()) << "\n";
            if (*e.what())
                err << e.what() << "\n";
            return 1;
        } catch (const std::exception& e) {
            err << e.what() << "\n";
            return 1;
        }
    }
    err << "lynkora-cli: unknown command \"" << argv[1] << "\"\n";
    PrintUsage(err);
    return 2;
}

} // namespace lynkora::cli
