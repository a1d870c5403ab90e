// collection_tool generate OUT [SHORTCUTS [CATEGORIES]]   writes a large collection
// collection_tool open FILE                               opens and loads it as the program
//                                                         does; prints the time and peak memory
#include "CollectionGenerator.h"

#include "store/DataFile.h"
#include "store/Version.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>

using namespace lynkora;

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "generate") {
        bench::CollectionShape shape;
        if (argc >= 4)
            shape.shortcuts = std::atoi(argv[3]);
        if (argc >= 5)
            shape.categories = std::atoi(argv[4]);
        bench::GenerateCollection(argv[2], shape);
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "open") {
        const auto start = std::chrono::steady_clock::now();
        TDataFile file(argv[2], false);
        file.CheckVersion(kProgramVersion);
        CategoryTree tree;
        file.LoadTree(tree);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%zu shortcuts in %zu categories: open and load %.0f ms, peak memory %.1f MB\n",
                    tree.ShortcutCount(), tree.NodeCount(), ms, usage.ru_maxrss / 1024.0);
        file.Close();
        return 0;
    }
    std::fprintf(stderr, "usage: collection_tool generate OUT [SHORTCUTS [CATEGORIES]] | open FILE\n");
    return 2;
}
