#pragma once

#include "cli/CliCommand.h"

#include <sstream>
#include <string>
#include <vector>

namespace lynkora::test {

struct CliResult {
    int code;
    std::string out;
    std::string err;
};

// Runs lynkora-cli in this process with the given arguments and standard input.
inline CliResult Cli(std::vector<std::string> args, const std::string& input = {}) {
    args.insert(args.begin(), "lynkora-cli");
    std::istringstream in(input);
    std::ostringstream out, err;
    const int code = cli::RunCli(args, in, out, err);
    return {code, out.str(), err.str()};
}

} // namespace lynkora::test
