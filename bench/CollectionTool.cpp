// collection_tool generate OUT [--shortcuts N] [--categories M] [--depth D] [--seed S]
//                                                         writes a large collection (the older
//                                                         form OUT [SHORTCUTS [CATEGORIES]] too)
// collection_tool open FILE                               opens and loads it as the program
//                                                         does; prints the time and peak memory
#include "CollectionGenerator.h"

#include "platform/HugePageHeap.h"
#include "store/DataFile.h"
#include "store/Version.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>

using namespace lynkora;

int main(int argc, char** argv) {
    UseHugePageHeap(argv);
    if (argc >= 3 && std::string(argv[1]) == "generate") {
        bench::CollectionShape shape;
        int positional = 0;
        for (int i = 3; i < argc; ++i) {
            const std::string a = argv[i];
            const bool hasValue = i + 1 < argc;
            if (a == "--shortcuts" && hasValue)
                shape.shortcuts = std::atoi(argv[++i]);
            else if (a == "--categories" && hasValue)
                shape.categories = std::atoi(argv[++i]);
            else if (a == "--depth" && hasValue)
                shape.maxDepth = std::atoi(argv[++i]);
            else if (a == "--seed" && hasValue)
                shape.seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
            else if (a.rfind("--", 0) != 0 && positional < 2)
                (positional++ == 0 ? shape.shortcuts : shape.categories) = std::atoi(a.c_str());
            else {
                std::fprintf(stderr, "collection_tool: unexpected %s\n", a.c_str());
                return 2;
            }
        }
        if (shape.shortcuts < 0 || shape.categories < 1 || shape.maxDepth < 1) {
            std::fprintf(stderr, "collection_tool: sizes must be positive\n");
            return 2;
        }
        bench::GenerateCollection(argv[2], shape);
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "open") {
        const auto start = std::chrono::steady_clock::now();
        TDataFile file(argv[2], false);
        file.CheckVersion(kProgramVersion);
        const auto opened = std::chrono::steady_clock::now();
        CategoryTree tree;
        file.LoadTree(tree);
        const auto loaded = std::chrono::steady_clock::now();
        const double ms = std::chrono::duration<double, std::milli>(loaded - start).count();
        std::printf("open %.0f ms, load %.0f ms\n",
                    std::chrono::duration<double, std::milli>(opened - start).count(),
                    std::chrono::duration<double, std::milli>(loaded - opened).count());
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%zu shortcuts in %zu categories: open and load %.0f ms, peak memory %.1f MB\n",
                    tree.ShortcutCount(), tree.NodeCount(), ms, usage.ru_maxrss / 1024.0);
        file.Close();
        return 0;
    }
    std::fprintf(stderr, "usage: collection_tool generate OUT [--shortcuts N] [--categories M] [--depth D] [--seed S]"
                         " | open FILE\n");
    return 2;
}
