#pragma once

#include "PeerCheck.h"

#include "cfb/Storage.h"

#include <gtest/gtest.h>

#include <string>

namespace lynkora::test {

// Checks a closed file the engine wrote: the structure checker in strict mode, 7-Zip's test,
// and olefile's listing against the engine's own.
inline void ExpectPeersAgree(const std::string& path) {
    std::string out;
    const std::string tool = CfbCheckTool();
    if (!tool.empty()) {
        EXPECT_EQ(RunCommand("/usr/bin/python3 '" + tool + "' --strict '" + path + "'", out), 0)
            << out;
    }
    if (Have7zip()) {
        EXPECT_EQ(RunCommand("7zz t '" + path + "'", out), 0) << out;
    }
    if (HaveOlefile()) {
        std::string error;
        const std::string peer = PeerDump(path, error);
        EXPECT_TRUE(error.empty()) << error;
        auto root = cfb::OpenCompoundFile(path, false);
        EXPECT_EQ(DumpTree(root), peer);
    }
}

inline std::string Pattern(std::size_t size, unsigned seed) {
    std::string s(size, '\0');
    unsigned x = seed * 2654435761u + 1;
    for (auto& c : s) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 16);
    }
    return s;
}

} // namespace lynkora::test
