#include "CliCommand.h"

#include "platform/HugePageHeap.h"

#include <iostream>

int main(int argc, char* argv[]) {
    lynkora::UseHugePageHeap(argv, 8u << 20); // a collection or bookmark file of 8 MB and more
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv, argv + argc);
    return lynkora::cli::RunCli(args, std::cin, std::cout, std::cerr);
}
