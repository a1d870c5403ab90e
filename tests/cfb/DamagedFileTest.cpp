// Damaged and hostile files fail with the corrupt-document code (or another storage code),
// never crash and never hang.
#include "CfbTestSupport.h"

#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

using namespace lynkora;
using namespace lynkora::cfb;

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Reads everything the file holds; returns the storage code of the first failure, or 0.
std::uint32_t ReadEverything(std::string bytes) {
    try {
        auto root = OpenCompoundFileFromBytes(std::move(bytes));
        std::vector<Storage> todo{root};
        while (!todo.empty()) {
            Storage st = todo.back();
            todo.pop_back();
            for (const auto& e : st.Elements()) {
                if (e.kind == ElementKind::Storage)
                    todo.push_back(st.OpenStorage(e.name));
                else
                    st.OpenStream(e.name).ReadAll();
            }
        }
    } catch (const StorageError& e) {
        return e.code();
    }
    return 0;
}

} // namespace

TEST(CfbDamaged, MalformedFixturesAreRefused) {
    const fs::path dir = test::FixturesDir() / "cfb" / "malformed";
    if (test::FixturesDir().empty() || !fs::is_directory(dir))
        GTEST_SKIP() << "malformed fixtures are absent";
    int count = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        SCOPED_TRACE(e.path().filename().string());
        const std::uint32_t code = ReadEverything(ReadFile(e.path()));
        EXPECT_TRUE(code == STG_E_DOCFILECORRUPT || code == STG_E_INVALIDHEADER)
            << std::hex << code;
        // The same through a real file opened for writing: refused, file left alone.
        const std::string copy = (test::FreshDir("malformed") / e.path().filename()).string();
        fs::copy_file(e.path(), copy);
        try {
            auto root = OpenCompoundFile(copy, true);
            root.Close();
        } catch (const StorageError&) {
        }
        ++count;
    }
    EXPECT_GT(count, 0);
}

TEST(CfbDamaged, TruncatedAndScrambledFilesNeverCrash) {
    const std::string path = (test::FreshDir("damaged") / "good.cfb").string();
    {
        auto root = CreateCompoundFile(path);
        auto f = root.CreateStorage("ROOTFOLDER");
        for (int i = 0; i < 30; ++i)
            f.CreateStorage("FL" + std::to_string(i)).CreateStream("DATA").Write(test::Pattern(i * 300, i));
        root.CreateStream("Big").Write(test::Pattern(20000, 7));
        root.Close();
    }
    const std::string good = ReadFile(path);
    ASSERT_EQ(ReadEverything(good), 0u);
    for (std::size_t len = 0; len < good.size(); len += 97)
        ReadEverything(good.substr(0, len));
    std::mt19937 rng(99);
    for (int round = 0; round < 3000; ++round) {
        std::string bad = good;
        const int flips = 1 + static_cast<int>(rng() % 8);
        for (int f = 0; f < flips; ++f) {
            // Aim most damage at the header, the FAT and the directory.
            const std::size_t at = rng() % 4 == 0 ? rng() % bad.size() : rng() % std::min<std::size_t>(bad.size(), 3072);
            bad[at] = static_cast<char>(rng());
        }
        ReadEverything(bad);
    }
}
