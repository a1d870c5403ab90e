#include "CliCommand.h"

#include "platform/HugePageHeap.h"

#include <iostream>

int main(int argc, char* argv[]) {
    lynkora::UseHugePageHeap(argv);
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv, argv + argc);
    return lynkora::cli::RunCli(args, std::cin, std::cout, std::cerr);
}
