#include "CfbTestSupport.h"

#include "cfb/Names.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

using namespace lynkora;
using namespace lynkora::cfb;
using lynkora::test::Pattern;

namespace {

std::uint32_t CodeOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const StorageError& e) {
        return e.code();
    }
    return 0;
}

std::string NewPath(const std::string& name) {
    return (test::FreshDir("cfb") / name).string();
}

} // namespace

TEST(CfbEngine, StreamsOfEverySizeReadBackExactly) {
    const std::string path = NewPath("sizes.cfb");
    const std::size_t sizes[] = {0, 1, 63, 64, 65, 511, 512, 4095, 4096, 4097, 70000, 1000000};
    {
        auto root = CreateCompoundFile(path);
        auto st = root.CreateStorage("Sizes");
        for (std::size_t size : sizes) {
            auto s = st.CreateStream("S" + std::to_string(size));
            s.Write(Pattern(size, static_cast<unsigned>(size)));
            EXPECT_EQ(s.Size(), size);
        }
        root.Close();
    }
    auto root = OpenCompoundFile(path, false);
    auto st = root.OpenStorage("sizes"); // names are found ignoring case
    for (std::size_t size : sizes)
        EXPECT_EQ(st.OpenStream("s" + std::to_string(size)).ReadAll(),
                  Pattern(size, static_cast<unsigned>(size)));
    root.Close();
    test::ExpectPeersAgree(path);
}

// Small writes are gathered before they reach the file: whatever a flush returned from is in
// the file for any other reader, and a read sees what was written before it, flushed or not.
TEST(CfbEngine, AFlushLeavesNoWriteBehind) {
    const std::string path = NewPath("gathered.cfb");
    auto root = CreateCompoundFile(path);
    auto st = root.CreateStorage("Many");
    for (int i = 0; i < 300; ++i) {
        auto s = st.CreateStream("S" + std::to_string(i));
        s.Write(Pattern(100 + static_cast<std::size_t>(i) * 37, static_cast<unsigned>(i)));
        if (i % 50 == 0) { // read back at once, from among gathered writes
            EXPECT_EQ(s.ReadAll(), Pattern(100 + static_cast<std::size_t>(i) * 37, static_cast<unsigned>(i)));
        }
    }
    root.Flush();
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (int i = 0; i < 300; i += 7) {
        const std::string data = Pattern(100 + static_cast<std::size_t>(i) * 37, static_cast<unsigned>(i));
        EXPECT_NE(bytes.find(data.substr(0, 64)), std::string::npos) << "stream " << i << " not in the file";
    }
    root.Close();
    test::ExpectPeersAgree(path);
}

TEST(CfbEngine, StreamsMoveAcrossTheMiniStreamCutoff) {
    const std::string path = NewPath("cutoff.cfb");
    auto root = CreateCompoundFile(path);
    auto s = root.CreateStream("Grow");
    std::string expect;
    for (std::size_t target : {4095u, 4096u, 4097u, 100u, 4097u, 0u, 5000u}) {
        s.SetSize(target);
        expect.resize(target, '\0');
        if (target > 0) {
            const std::string fill = Pattern(target, static_cast<unsigned>(target));
            s.Seek(0);
            s.Write(fill);
            expect = fill;
        }
        ASSERT_EQ(s.ReadAll(), expect) << target;
        root.Flush();
        root.Close();
        test::ExpectPeersAgree(path);
        root = OpenCompoundFile(path, true);
        s = root.OpenStream("Grow");
        ASSERT_EQ(s.ReadAll(), expect) << target;
    }
    // Writing one byte more at the end moves a 4095-byte stream into regular sectors.
    s.SetSize(4095);
    s.Seek(0, SeekOrigin::End);
    s.Write("x", 1);
    EXPECT_EQ(s.Size(), 4096u);
    EXPECT_EQ(s.ReadAll().substr(0, 4095), expect.substr(0, 4095));
    root.Close();
    test::ExpectPeersAgree(path);
}

TEST(CfbEngine, OverwritingFromTheStartNeverShortens) {
    const std::string path = NewPath("overwrite.cfb");
    auto root = CreateCompoundFile(path);
    auto s = root.CreateStream("DATA");
    s.Write(std::string(300, 'a'));
    s.Seek(0);
    s.Write(std::string(10, 'b'));
    EXPECT_EQ(s.ReadAll(), std::string(10, 'b') + std::string(290, 'a'));
    // A write past the end leaves a gap of zeros.
    s.Seek(400);
    s.Write("z", 1);
    const std::string all = s.ReadAll();
    EXPECT_EQ(all.size(), 401u);
    EXPECT_EQ(all.substr(300, 100), std::string(100, '\0'));
    EXPECT_EQ(s.Seek(-1, SeekOrigin::End), 400u);
    char c = 0;
    EXPECT_EQ(s.Read(&c, 5), 1u);
    EXPECT_EQ(c, 'z');
    root.Close();
    test::ExpectPeersAgree(path);
}

TEST(CfbEngine, NamesFollowTheFormatRules) {
    const std::string path = NewPath("names.cfb");
    auto root = CreateCompoundFile(path);
    for (const char* bad : {"", "a/b", "a\\b", "a:b", "a!b", "0123456789012345678901234567890X"})
        EXPECT_EQ(CodeOf([&] { root.CreateStorage(bad); }), STG_E_INVALIDNAME) << bad;
    root.CreateStorage("0123456789012345678901234567890"); // 31 code units is fine
    root.CreateStorage("beta");
    root.CreateStream("Alpha");
    root.CreateStorage("\xC3\xA9t\xC3\xA9"); // "été"
    EXPECT_EQ(CodeOf([&] { root.CreateStream("BETA"); }), STG_E_FILEALREADYEXISTS);
    EXPECT_EQ(CodeOf([&] { root.OpenStream("beta"); }), STG_E_FILENOTFOUND);
    EXPECT_EQ(CodeOf([&] { root.OpenStorage("gamma"); }), STG_E_FILENOTFOUND);
    EXPECT_TRUE(root.Find("\xC3\x89T\xC3\x89").has_value()); // "ÉTÉ" matches ignoring case

    std::vector<std::string> names;
    for (const auto& e : root.Elements())
        names.push_back(e.name);
    // Shorter names first, then by upper-cased code units.
    EXPECT_EQ(names, (std::vector<std::string>{"\xC3\xA9t\xC3\xA9", "beta", "Alpha",
                                               "0123456789012345678901234567890"}));
    EXPECT_LT(CompareNames(u"Z", u"aa"), 0);
    EXPECT_EQ(CompareNames(u"abc", u"ABC"), 0);
    root.Close();
    test::ExpectPeersAgree(path);
}

TEST(CfbEngine, DestroyedSpaceIsReused) {
    const std::string path = NewPath("reuse.cfb");
    auto root = CreateCompoundFile(path);
    auto fill = [&] {
        for (int i = 0; i < 40; ++i) {
            auto st = root.CreateStorage("FL" + std::to_string(i));
            st.CreateStream("DATA").Write(Pattern(i % 2 ? 2000 : 9000, i));
            st.CreateStorage("Inner").CreateStream("X").Write(Pattern(100, i));
        }
    };
    fill();
    root.Flush();
    const auto firstSize = std::filesystem::file_size(path);
    for (int round = 0; round < 5; ++round) {
        for (int i = 0; i < 40; ++i)
            root.DestroyElement("FL" + std::to_string(i));
        root.Flush();
        EXPECT_TRUE(root.Elements().empty());
        fill();
        root.Flush();
        EXPECT_LE(std::filesystem::file_size(path), firstSize) << round;
    }
    root.Close();
    test::ExpectPeersAgree(path);
}

TEST(CfbEngine, CopyMergesStoragesAndReplacesStreams) {
    const std::string a = NewPath("src.cfb");
    const std::string b = NewPath("dst.cfb");
    auto src = CreateCompoundFile(a);
    auto dst = CreateCompoundFile(b);
    ClassId clsid{};
    clsid[0] = 0x42;
    auto folder = src.CreateStorage("ROOTFOLDER");
    folder.SetClass(clsid);
    folder.CreateStream("DATA").Write(std::string("new data"));
    folder.CreateStorage("FL00000001").CreateStream("DATA").Write(Pattern(5000, 1));
    src.CreateStorage("SESSION").CreateStream("LASTDATE").Write(std::string("fresh"));

    auto dfolder = dst.CreateStorage("ROOTFOLDER");
    dfolder.CreateStream("DATA").Write(std::string(100, 'o')); // longer: replaced, not kept
    dfolder.CreateStorage("FL00000009").CreateStream("DATA").Write(std::string("stays"));
    dst.CreateStorage("SESSION").CreateStream("LASTDATE").Write(std::string("old"));

    src.CopyTo(dst);
    EXPECT_EQ(dst.OpenStorage("ROOTFOLDER").OpenStream("DATA").ReadAll(), "new data");
    EXPECT_EQ(dst.OpenStorage("ROOTFOLDER").GetClass(), clsid);
    EXPECT_EQ(dst.OpenStorage("ROOTFOLDER").OpenStorage("FL00000009").OpenStream("DATA").ReadAll(),
              "stays");
    EXPECT_EQ(dst.OpenStorage("ROOTFOLDER").OpenStorage("FL00000001").OpenStream("DATA").ReadAll(),
              Pattern(5000, 1));
    EXPECT_EQ(dst.OpenStorage("SESSION").OpenStream("LASTDATE").ReadAll(), "fresh");

    // A stream meeting a storage of its name is refused before anything is copied.
    auto clash = CreateCompoundFile(NewPath("clash.cfb"));
    clash.CreateStorage("SESSION").CreateStorage("LASTDATE");
    clash.CreateStorage("VERSION");
    EXPECT_EQ(CodeOf([&] { src.CopyTo(clash); }), STG_E_FILEALREADYEXISTS);
    EXPECT_FALSE(clash.Find("ROOTFOLDER").has_value());

    // Copying into one's own descendant is refused; into a sibling in the same file it works.
    auto inner = folder.OpenStorage("FL00000001");
    EXPECT_EQ(CodeOf([&] { folder.CopyTo(inner); }), STG_E_ACCESSDENIED);
    EXPECT_EQ(CodeOf([&] { folder.CopyTo(folder); }), STG_E_ACCESSDENIED);
    auto sibling = src.CreateStorage("BACKUP");
    folder.CopyTo(sibling);
    EXPECT_EQ(sibling.OpenStorage("FL00000001").OpenStream("DATA").ReadAll(), Pattern(5000, 1));

    src.Close();
    dst.Close();
    test::ExpectPeersAgree(a);
    test::ExpectPeersAgree(b);
}

TEST(CfbEngine, ExclusiveAccessAndStaleHandles) {
    const std::string path = NewPath("lock.cfb");
    auto root = CreateCompoundFile(path);
    auto st = root.CreateStorage("A");
    auto s = st.CreateStream("S");
    EXPECT_EQ(CodeOf([&] { OpenCompoundFile(path, true); }), STG_E_SHAREVIOLATION);
    EXPECT_EQ(CodeOf([&] { OpenCompoundFile(path, false); }), STG_E_SHAREVIOLATION);
    EXPECT_EQ(CodeOf([&] { CreateCompoundFile(path); }), STG_E_SHAREVIOLATION);
    EXPECT_TRUE(IsCompoundFile(path));

    root.DestroyElement("A");
    EXPECT_EQ(CodeOf([&] { s.Write("x", 1); }), STG_E_REVERTED);
    EXPECT_EQ(CodeOf([&] { st.Elements(); }), STG_E_REVERTED);
    root.CreateStorage("B"); // reuses the entry: the old handle must still refuse
    EXPECT_EQ(CodeOf([&] { st.Elements(); }), STG_E_REVERTED);
    root.Close();
    EXPECT_EQ(CodeOf([&] { root.Elements(); }), STG_E_REVERTED);

    auto reader = OpenCompoundFile(path, false);
    auto reader2 = OpenCompoundFile(path, false); // shared reading is fine
    EXPECT_EQ(CodeOf([&] { OpenCompoundFile(path, true); }), STG_E_SHAREVIOLATION);
    EXPECT_EQ(CodeOf([&] { reader.CreateStorage("C"); }), STG_E_ACCESSDENIED);
    reader.Close();
    reader2.Close();
    OpenCompoundFile(path, true).Close();
}

TEST(CfbEngine, FileErrorsCarryTheirCodes) {
    const auto dir = test::FreshDir("cfb-errors");
    EXPECT_EQ(CodeOf([&] { OpenCompoundFile((dir / "missing.cfb").string(), true); }),
              STG_E_FILENOTFOUND);
    EXPECT_EQ(CodeOf([&] { CreateCompoundFile((dir / "no/such/dir.cfb").string()); }),
              STG_E_PATHNOTFOUND);
    EXPECT_EQ(CodeOf([&] { OpenCompoundFile(dir.string(), false); }), STG_E_ACCESSDENIED);
    const auto text = dir / "text.lyx";
    std::ofstream(text) << "just some text, long enough to look like a file of some kind\n";
    EXPECT_FALSE(IsCompoundFile(text.string()));
    EXPECT_FALSE(IsCompoundFile((dir / "missing").string()));
    EXPECT_EQ(CodeOf([&] { OpenCompoundFile(text.string(), false); }), STG_E_INVALIDHEADER);
}

TEST(CfbEngine, TwoThreadsShareOneFile) {
    const std::string path = NewPath("threads.cfb");
    auto root = CreateCompoundFile(path);
    auto work = root.CreateStorage("ROOTFOLDER");
    for (int i = 0; i < 200; ++i)
        work.CreateStorage("OLD" + std::to_string(i)).CreateStream("DATA").Write(Pattern(3000, i));
    std::thread deleter([&] {
        for (int i = 0; i < 200; ++i)
            work.DestroyElement("OLD" + std::to_string(i));
    });
    for (int i = 0; i < 200; ++i)
        work.CreateStorage("NEW" + std::to_string(i)).CreateStream("DATA").Write(Pattern(5000, i));
    deleter.join();
    EXPECT_EQ(work.Elements().size(), 200u);
    root.Close();
    test::ExpectPeersAgree(path);
}
