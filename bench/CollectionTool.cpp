// collection_tool generate OUT [--shortcuts N] [--categories M] [--depth D] [--seed S]
//                                                         writes a large collection (the older
//                                                         form OUT [SHORTCUTS [CATEGORIES]] too)
// collection_tool open FILE                               opens and loads it as the program
//                                                         does; prints the time and peak memory
// collection_tool save|duplicates|find FILE               opens and loads it, then times one
//                                                         save, duplicate scan or Find next that
//                                                         matches nothing (all fields)
// Each command ends with "measured MS ms, peak memory MB MB" (read by bench_scale).
#include "CollectionGenerator.h"

#include "platform/HugePageHeap.h"
#include "store/DataFile.h"
#include "store/Version.h"
#include "tools/DuplicateScan.h"
#include "tools/Find.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>

using namespace lynkora;

int main(int argc, char** argv) {
    UseHugePageHeap(argv, 8u << 20);
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
    if (argc == 3) {
        const std::string command = argv[1];
        if (command != "open" && command != "save" && command != "duplicates" && command != "find") {
            std::fprintf(stderr, "collection_tool: unknown command %s\n", command.c_str());
            return 2;
        }
        using Clock = std::chrono::steady_clock;
        auto ms = [](Clock::time_point from, Clock::time_point to) {
            return std::chrono::duration<double, std::milli>(to - from).count();
        };
        const auto start = Clock::now();
        TDataFile file(argv[2], false);
        file.CheckVersion(kProgramVersion);
        const auto opened = Clock::now();
        CategoryTree tree;
        file.LoadTree(tree);
        const auto loaded = Clock::now();
        std::printf("%zu shortcuts in %zu categories: open %.0f ms, load %.0f ms\n", tree.ShortcutCount(),
                    tree.NodeCount(), ms(start, opened), ms(opened, loaded));
        auto from = start;
        if (command == "save") {
            from = Clock::now();
            tree.RootNode()->Folder().Descr = "saved";
            file.WriteCategory(*tree.RootNode());
            file.Save();
        } else if (command == "duplicates") {
            from = Clock::now();
            const std::size_t groups = ScanDuplicates(tree).size();
            std::printf("%zu groups of duplicates\n", groups);
        } else if (command == "find") {
            from = Clock::now();
            TSearchOptions options;
            options.FindText = "Nowhere To Be Found";
            options.SearchIn = sfAll;
            SearchMatch match;
            if (SearchFrom(options, tree, match))
                std::printf("found, unexpectedly\n");
        }
        const auto done = Clock::now();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%s: measured %.1f ms, peak memory %.1f MB\n", command.c_str(), ms(from, done),
                    usage.ru_maxrss / 1024.0);
        std::fflush(stdout);
        file.Close();
        return 0;
    }
    std::fprintf(stderr, "usage: collection_tool generate OUT [--shortcuts N] [--categories M] [--depth D] [--seed S]"
                         " | open|save|duplicates|find FILE\n");
    return 2;
}
