#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

bool HugePagesOn() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return false; // the heap is left alone under a sanitizer
#else
    std::ifstream in("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string line;
    std::getline(in, line);
    return line.find("[always]") != std::string::npos || line.find("[madvise]") != std::string::npos;
#endif
}

struct Probe {
    int starts = 0;
    std::string output;
};

// Runs the probe with the environment given (NAME=value ..., or nothing) and its arguments.
Probe RunProbe(const std::string& env, const std::string& args) {
    const std::string log = (lynkora::test::FreshDir("heap") / "starts.log").string();
    const std::string command = "env -u GLIBC_TUNABLES -u LYNKORA_SMALL_PAGES -u LYNKORA_HEAP_TUNED " + env +
                                " '" LYNKORA_HEAP_PROBE "' '" + log + "' " + args;
    Probe p;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buf[512];
        while (std::fgets(buf, sizeof buf, pipe))
            p.output += buf;
        ::pclose(pipe);
    }
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);)
        p.starts += line == "start";
    return p;
}

} // namespace

// The restart happens once at most, only when it is wanted, and whatever the program starts
// afterwards sees the environment as it was before the restart.
TEST(HugePageHeap, RestartsOnceAndHandsChildrenTheOriginalEnvironment) {
    const bool on = HugePagesOn();
    Probe plain = RunProbe("", "0");
    EXPECT_EQ(plain.starts, on ? 2 : 1);
    EXPECT_EQ(plain.output, "tunables=(none) marker=(none)\n");

    Probe kept = RunProbe("GLIBC_TUNABLES=glibc.malloc.check=0", "0");
    EXPECT_EQ(kept.starts, on ? 2 : 1);
    EXPECT_EQ(kept.output, "tunables=glibc.malloc.check=0 marker=(none)\n");

    EXPECT_EQ(RunProbe("LYNKORA_SMALL_PAGES=1", "0").starts, 1);
    EXPECT_EQ(RunProbe("GLIBC_TUNABLES=glibc.malloc.hugetlb=0", "0").starts, 1) << "the user's own choice stands";

    // Only a large enough file among the arguments is worth the second start.
    const std::string file = (lynkora::test::FreshDir("heap-input") / "input.html").string();
    std::ofstream(file) << std::string(4096, 'x');
    EXPECT_EQ(RunProbe("", "8192 '" + file + "' /no/such/file").starts, 1);
    EXPECT_EQ(RunProbe("", "4096 '" + file + "'").starts, on ? 2 : 1);
}
