// Files the engine writes are read by other readers with the same tree and bytes, and files
// other writers made are read (and modified) by the engine as those readers see them.
#include "CfbTestSupport.h"

#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace lynkora;
using namespace lynkora::cfb;
using lynkora::test::Pattern;

namespace fs = std::filesystem;

namespace {

std::string NewPath(const std::string& name) { return (test::FreshDir("peer") / name).string(); }

std::vector<fs::path> Fixtures(const std::string& sub) {
    std::vector<fs::path> out;
    const fs::path dir = test::FixturesDir() / "cfb" / sub;
    if (test::FixturesDir().empty() || !fs::is_directory(dir))
        return out;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.is_regular_file() && e.path().filename().string()[0] != '.')
            out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

TEST(CfbPeers, LargeFileGrowsTheDifatPastTheHeader) {
    const std::string path = NewPath("large.cfb");
    {
        auto root = CreateCompoundFile(path);
        for (int i = 0; i < 8; ++i)
            root.CreateStream("Big" + std::to_string(i)).Write(Pattern(1000000, i));
        root.Close();
    }
    EXPECT_GT(fs::file_size(path), 7u * 1024 * 1024);
    test::ExpectPeersAgree(path);
    // Shrinking and regrowing keeps the tables right.
    {
        auto root = OpenCompoundFile(path, true);
        root.DestroyElement("Big3");
        root.OpenStream("Big5").SetSize(10);
        root.CreateStream("Again").Write(Pattern(2500000, 9));
        root.Close();
    }
    test::ExpectPeersAgree(path);
}

TEST(CfbPeers, ManyStoragesWideAndDeep) {
    const std::string path = NewPath("many.cfb");
    {
        auto root = CreateCompoundFile(path);
        auto wide = root.CreateStorage("ROOTFOLDER");
        for (int i = 0; i < 10000; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "FL%08X", i);
            wide.CreateStorage(name).CreateStream("DATA").Write(Pattern(64 + i % 300, i));
        }
        auto siblings = root.CreateStorage("SIBLINGS");
        for (int i = 0; i < 2000; ++i)
            siblings.CreateStream("S" + std::to_string(i * 7919 % 2000));
        auto deep = root.CreateStorage("DEEP");
        for (int level = 0; level < 20; ++level) {
            deep.CreateStream("DATA").Write(Pattern(100, level));
            deep = deep.CreateStorage("L" + std::to_string(level));
        }
        root.Close();
    }
    test::ExpectPeersAgree(path);
}

TEST(CfbPeers, EveryFixtureReadsAsOlefileReadsIt) {
    const auto files = Fixtures("");
    if (files.empty())
        GTEST_SKIP() << "../shared/fixtures/cfb is absent";
    if (!test::HaveOlefile())
        GTEST_SKIP() << "olefile is not installed";
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        std::string error;
        const std::string peer = test::PeerDump(file.string(), error);
        ASSERT_TRUE(error.empty()) << error;
        auto root = OpenCompoundFile(file.string(), false);
        EXPECT_EQ(test::DumpTree(root), peer);
    }
}

TEST(CfbPeers, EveryFixtureCanBeModifiedInPlace) {
    const auto files = Fixtures("");
    if (files.empty())
        GTEST_SKIP() << "../shared/fixtures/cfb is absent";
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        const std::string copy = NewPath(file.filename().string());
        fs::copy_file(file, copy);
        {
            auto root = OpenCompoundFile(copy, true);
            const int version = root.MajorVersion();
            // Rewrite the first stream found with other content of another size, add a
            // storage with streams on both sides of the cutoff, and remove one element.
            std::vector<ElementInfo> elements = root.Elements();
            for (const auto& e : elements) {
                if (e.kind == ElementKind::Stream) {
                    auto s = root.OpenStream(e.name);
                    s.SetSize(0);
                    s.Write(Pattern(5000, 3));
                    break;
                }
            }
            auto added = root.CreateStorage("LynkoraAdded");
            added.CreateStream("small").Write(Pattern(100, 1));
            added.CreateStream("large").Write(Pattern(10000, 2));
            root.Close();
            auto again = OpenCompoundFile(copy, true);
            EXPECT_EQ(again.MajorVersion(), version);
            EXPECT_EQ(again.OpenStorage("LynkoraAdded").OpenStream("large").ReadAll(),
                      Pattern(10000, 2));
            again.DestroyElement("LynkoraAdded");
            again.CreateStream("LynkoraNote").Write(std::string("kept"));
            again.Close();
        }
        if (test::HaveOlefile()) {
            std::string error;
            const std::string peer = test::PeerDump(copy, error);
            ASSERT_TRUE(error.empty()) << error;
            auto root = OpenCompoundFile(copy, false);
            EXPECT_EQ(test::DumpTree(root), peer);
            EXPECT_NE(peer.find("LynkoraNote"), std::string::npos);
        }
    }
}
