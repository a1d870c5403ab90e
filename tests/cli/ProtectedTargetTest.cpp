// Every writer refuses to write over the data file it works from, its working copy and its side
// files, however the target is spelled: a symbolic link, a hard link, another path.
#include "support/TestFiles.h"
#include "support/TestPaths.h"

#include "../cli/CliRunner.h"

#include "store/DataFile.h"
#include "store/Errors.h"
#include "store/FileReplace.h"
#include "store/ProtectedFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

using namespace lynkora;
using lynkora::test::Cli;
namespace fs = std::filesystem;

namespace {


std::string SampleJson() { return test::ReadFile(std::string(LYNKORA_SOURCE_DIR) + "/samples/sample.json"); }

class ProtectedTargets : public ::testing::Test {
protected:
    void SetUp() override {
        dir = test::FreshDir("protected-targets");
        file = (dir / "victim.lyx").string();
        ASSERT_EQ(Cli({"import-json", file}, SampleJson()).code, 0);
        fs::create_symlink(file, dir / "link.html");
        fs::create_hard_link(file, dir / "hard.html");
        before = test::ReadFile(file);
    }
    // The spellings of the data file a user may give a writer.
    std::vector<std::string> Spellings() const {
        return {file, (dir / "link.html").string(), (dir / "hard.html").string(), (dir / "." / "victim.lyx").string(),
                (dir / "sub" / ".." / "victim.lyx").string()};
    }
    fs::path dir;
    std::string file, before;
};

} // namespace

TEST_F(ProtectedTargets, EveryExportRefusesTheDataFileAndWritesNothing) {
    fs::create_directories(dir / "sub");
    const std::string css = (dir / "sub" / "page.css").string();
    std::ofstream(css) << "body { color: black }";
    for (const std::string& target : Spellings()) {
        for (const char* kind : {"--html", "--opera", "--netscape", "--mozilla"}) {
            std::vector<std::string> args = {"export", file, kind, target};
            if (std::string(kind) == "--html")
                args.insert(args.end(), {"--css", css});
            const auto r = Cli(args);
            EXPECT_EQ(r.code, 1) << kind << " " << target;
            if (std::string(kind) == "--html" || std::string(kind) == "--opera" || target.find(".htm") != std::string::npos)
                EXPECT_NE(r.err.find("it is the data file"), std::string::npos) << kind << " " << target << ": " << r.err;
            EXPECT_EQ(test::ReadFile(file), before) << kind << " " << target;
        }
    }
    // A synchronisation exporting into the file it synchronises.
    const auto sync = Cli({"sync", file, "--export", "opera:" + (dir / "hard.html").string()});
    EXPECT_EQ(sync.code, 1) << sync.out;
    EXPECT_NE(sync.err.find("it is the data file"), std::string::npos) << sync.err;
    EXPECT_EQ(test::ReadFile(file), before);
    EXPECT_EQ(Cli({"info", file}).code, 0);
}

TEST_F(ProtectedTargets, TheWorkingCopyAndSideFilesToo) {
    auto open = std::make_unique<TDataFile>(file, false);
    const std::string workingCopy = open->TempName();
    ASSERT_TRUE(fs::exists(workingCopy));
    std::string copy = test::ReadFile(workingCopy);
    const WriteTargetCheck check;
    for (const std::string& target : {workingCopy, ChangeFileExt(file, ".ly_"), ChangeFileExt(file, ".$sv")})
        EXPECT_THROW(check.Refuse(target), ELynkora) << target;
    EXPECT_NO_THROW(check.Refuse((dir / "other.html").string()));
    EXPECT_THROW(open->SaveAs((dir / "hard.html").string()), ELynkora) << "Save as onto a hard link of itself";
    EXPECT_EQ(test::ReadFile(workingCopy), copy);
    open.reset();
    EXPECT_EQ(test::ReadFile(file), before);
    // Once closed, the file is an ordinary target again.
    EXPECT_NO_THROW(WriteTargetCheck().Refuse(file));
}

TEST_F(ProtectedTargets, AFavoritesFolderHoldingTheDataFile) {
    // A data file whose name looks like a shortcut file, in the folder exported to: the clearing
    // leaves it, and the shortcut of that name is refused rather than written over it.
    const std::string odd = (dir / "Debian.url").string();
    fs::copy_file(file, odd);
    const std::string oddBefore = test::ReadFile(odd);
    const auto r = Cli({"export", odd, "--favorites", dir.string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("it is the data file"), std::string::npos) << r.err;
    EXPECT_EQ(test::ReadFile(odd), oddBefore);
    EXPECT_EQ(Cli({"info", odd}).code, 0);
}

// Links put where the data file's side files go (working copy, save, import, compaction and
// backup temporaries) are replaced, never written through: the file they point to stays as it
// was, and the data file stays a file of its own.
TEST(SideFiles, LinksInTheirPlaceAreNotFollowed) {
    const fs::path dir = test::FreshDir("side-links");
    const std::string file = (dir / "c.lyx").string();
    ASSERT_EQ(Cli({"import-json", file}, SampleJson()).code, 0);
    const fs::path outside = test::FreshDir("side-links-outside") / "precious.txt";
    test::WriteFile(outside.string(), "keep me");
    for (const char* ext : {".$ly", ".$sv", ".$im", ".$$$", ".$bk"})
        fs::create_symlink(outside, ChangeFileExt(file, ext));
    const std::string page = (dir / "links.html").string();
    test::WriteFile(page, "<DL><DT><A HREF=\"http://one.example/\">One</A></DL>");
    EXPECT_EQ(Cli({"import-json", file, "--force"}, SampleJson()).code, 0);
    EXPECT_EQ(Cli({"import", file, "--netscape", page}).code, 0);
    EXPECT_EQ(Cli({"compact", file}).code, 0);
    EXPECT_EQ(Cli({"sync", file, "--import", "netscape:" + page, "--direct"}).code, 0);
    EXPECT_TRUE(test::ReadFile(outside.string()) == "keep me") << "the file behind the links was written";
    EXPECT_FALSE(fs::is_symlink(file));
    EXPECT_EQ(Cli({"info", file}).code, 0);
}

// A FIFO or a device is refused as a target; a link to a file stays the user's link and the
// file behind it gets the export.
TEST_F(ProtectedTargets, SpecialFilesAndLinksAsTargets) {
    const std::string fifo = (dir / "pipe.adr").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& target : {fifo, std::string("/dev/null")}) {
        const auto r = Cli({"export", file, "--opera", target});
        EXPECT_EQ(r.code, 1) << target;
        EXPECT_NE(r.err.find("it is not a regular file"), std::string::npos) << target << ": " << r.err;
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    const fs::path real = dir / "real" / "hotlist.adr";
    fs::create_directories(real.parent_path());
    test::WriteFile(real.string(), "old");
    const fs::path link = dir / "hotlist-link.adr";
    fs::create_symlink(real, link);
    ASSERT_EQ(Cli({"export", file, "--opera", link.string()}).code, 0);
    EXPECT_TRUE(fs::is_symlink(link)) << "the user's link stays";
    EXPECT_NE(test::ReadFile(real.string()).find("Opera Hotlist version 2.0"), std::string::npos);
    EXPECT_FALSE(fs::exists(link.string() + ".$tmp"));
}
