#include "../cfb/PeerCheck.h"
#include "support/TestPaths.h"

#include "../cli/CliRunner.h"
#include "store/DataFile.h"
#include "store/DataFileStorage.h"
#include "store/FileReplace.h"
#include "store/ObjectStream.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <sys/stat.h>
#include <unistd.h>
#include <sstream>

using namespace lynkora;
using lynkora::test::Cli;
using Result = lynkora::test::CliResult;

namespace {

std::string SampleJson() {
    std::ifstream in(std::string(LYNKORA_SOURCE_DIR) + "/samples/sample.json");
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string NewPath(const std::string& name) { return (test::FreshDir("cli") / name).string(); }

} // namespace

TEST(Cli, JsonRoundTripIsExact) {
    const std::string a = NewPath("a.lyx");
    const std::string b = NewPath("b.lyx");
    ASSERT_EQ(Cli({"import-json", a}, SampleJson()).code, 0);
    const Result first = Cli({"export-json", a});
    ASSERT_EQ(first.code, 0) << first.err;
    ASSERT_EQ(Cli({"import-json", b}, first.out).code, 0);
    const Result second = Cli({"export-json", b});
    EXPECT_EQ(second.out, first.out);
    EXPECT_NE(first.out.find("\"FolderName\": \"Science\""), std::string::npos);

    const Result info = Cli({"info", a});
    EXPECT_EQ(info.code, 0);
    EXPECT_NE(info.out.find("Program version: 4.0.2.312\n"), std::string::npos);
    EXPECT_NE(info.out.find("Categories: 11\nShortcuts: 37\n"), std::string::npos);
}

TEST(Cli, ImportAppliesDefaultsAndRefusesBadInput) {
    const std::string path = NewPath("d.lyx");
    ASSERT_EQ(Cli({"import-json", path},
                  R"({"LastDate": 36892.5, "Root": {"Shortcuts": [{"Name": "x"}],
                      "Categories": [{"FolderName": "A", "FolderID": "FL00000001"}, {"FolderName": "B"}]}})")
                  .code,
              0);
    const Result out = Cli({"export-json", path});
    EXPECT_NE(out.out.find("\"LastDate\": 36892.5"), std::string::npos);
    EXPECT_NE(out.out.find("\"VerState\": 2001"), std::string::npos);
    EXPECT_NE(out.out.find("\"Parent\": \"0\""), std::string::npos);
    EXPECT_NE(out.out.find("\"FolderID\": \"FL00000000\""), std::string::npos) << out.out;

    const Result exists = Cli({"import-json", path}, R"({"Root": {}})");
    EXPECT_NE(exists.code, 0);
    EXPECT_NE(exists.err.find("--force"), std::string::npos);
    {
        // --force never replaces a file that is held open (here by this process, as another
        // program holds it): refused with the share violation, the file as it was.
        TDataFile holder(path, true);
        const Result held = Cli({"import-json", path, "--force"}, R"({"Root": {}})");
        EXPECT_NE(held.code, 0);
        EXPECT_NE(held.err.find("Share violation"), std::string::npos) << held.err;
        holder.Close();
        EXPECT_TRUE(FileExists(path)) << "still there";
        EXPECT_NE(Cli({"export-json", path}).out.find("\"Name\": \"x\""), std::string::npos) << "not replaced";
    }
    EXPECT_EQ(Cli({"import-json", path, "--force"}, R"({"Root": {}})").code, 0);

    const std::string fresh = NewPath("bad.lyx");
    for (const char* bad : {"{", R"({"Root": 5})", R"({"Root": {"FolderName": 7}})",
                            R"({"Root": {"Categories": [{"FolderID": "FL1"}, {"FolderID": "fl1"}]}})",
                            R"({"Root": {"Categories": [{"FolderID": "AB/C"}]}})",
                            R"({"Root": {"Shortcuts": [{"Count": 1.5}]}})"}) {
        const Result r = Cli({"import-json", fresh}, bad);
        EXPECT_NE(r.code, 0) << bad;
        EXPECT_EQ(r.err.rfind("Invalid collection JSON: ", 0), 0u) << r.err;
        EXPECT_FALSE(FileExists(fresh)) << bad;
    }
}

TEST(Cli, RefusesWhatOpeningRefuses) {
    const std::string text = NewPath("text.lyx");
    std::ofstream(text) << "hello\n";
    Result r = Cli({"info", text});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Error: not a valid Lynkora file!\n\n\"" + text + "\"\n");

    const std::string newer = NewPath("newer.lyx");
    {
        TDataFile file(newer, true);
        WriteAppVersion(file.WorkStorage(), "5.0.0.1");
    }
    r = Cli({"export-json", newer});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Please upgrade to version 5.0.0.1 or higher."), std::string::npos);

    const std::string noRoot = NewPath("noroot.lyx");
    CreateDataFile(noRoot).Close();
    r = Cli({"info", noRoot});
    EXPECT_EQ(r.err, "Data file error: missing or incorrect category data!\n");

    const std::string missing = NewPath("missing.lyx");
    r = Cli({"info", missing});
    EXPECT_NE(r.err.find("The file could not be found"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(missing + ": No such file or directory"), std::string::npos) << r.err;
    const std::string foreign = NewPath("foreign.lyx");
    std::ofstream(foreign) << "plain text";
    EXPECT_EQ(Cli({"info", foreign}).err, "Error: not a valid Lynkora file!\n\n\"" + foreign + "\"\n");

    EXPECT_EQ(Cli({}).code, 2);
    EXPECT_EQ(Cli({"frobnicate"}).code, 2);
    EXPECT_EQ(Cli({"info"}).code, 2);
}

TEST(Cli, ExportReadsWindowsTextAsWindows1252) {
    const std::string path = NewPath("cp1252.lyx");
    {
        TDataFile file(path, true);
        CategoryTree tree;
        file.LoadTree(tree);
        TIShortcut& s = tree.RootNode()->Folder().Shortcuts.Add();
        s.Name = "Caf\xE9 \x80";              // Windows-1252 bytes
        s.Descr = "na\xC3\xAFve \"quoted\"\n"; // UTF-8 bytes
        file.WriteCategory(*tree.RootNode());
    }
    const Result r = Cli({"export-json", path});
    EXPECT_NE(r.out.find("\"Name\": \"Caf\xC3\xA9 \xE2\x82\xAC\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Descr\": \"na\xC3\xAFve \\\"quoted\\\"\\n\""), std::string::npos);
}

TEST(Cli, InspectListsAndDumps) {
    const std::string path = NewPath("inspect.lyx");
    ASSERT_EQ(Cli({"import-json", path},
                  R"({"AppVersion": "4.0.2.312", "Root": {"Categories": [{"FolderID": "FL00000001"}]}})")
                  .code,
              0);
    const Result list = Cli({"inspect", path});
    EXPECT_EQ(list.code, 0);
    EXPECT_NE(list.out.find("VERSION\tstorage\nVERSION/APPVER\tstream\t11\n"), std::string::npos);
    EXPECT_NE(list.out.find("ROOTFOLDER/FL00000001/DATA\tstream\t"), std::string::npos);
    const Result dump = Cli({"inspect", path, "VERSION/APPVER"});
    EXPECT_EQ(dump.out, std::string("\x06\x09" "4.0.2.312"));
    EXPECT_NE(Cli({"inspect", path, "VERSION/NOPE"}).code, 0);

    // Files the command line writes are read by olefile with the same elements and bytes.
    if (test::HaveOlefile()) {
        std::string error;
        const std::string peer = test::PeerDump(path, error);
        ASSERT_TRUE(error.empty()) << error;
        auto root = cfb::OpenCompoundFile(path, false);
        EXPECT_EQ(test::DumpTree(root), peer);
    }
}

TEST(Cli, CompactKeepsTheCollection) {
    const std::string path = NewPath("compact.lyx");
    ASSERT_EQ(Cli({"import-json", path}, SampleJson()).code, 0);
    const std::string before = Cli({"export-json", path}).out;
    EXPECT_EQ(Cli({"compact", path}).code, 0);
    EXPECT_EQ(Cli({"export-json", path}).out, before);
    EXPECT_FALSE(FileExists(ChangeFileExt(path, ".$$$")));
}

TEST(Cli, ImportAndExportBookmarks) {
    const std::string path = NewPath("bookmarks.lyx");
    ASSERT_EQ(Cli({"import-json", path}, SampleJson()).code, 0);
    const std::string dir = test::FreshDir("cli-exchange").string();
    for (const char* format : {"netscape", "mozilla", "opera", "favorites"}) {
        const std::string name = format;
        const std::string target = dir + "/" + name + (name == "favorites" ? "" : name == "opera" ? ".adr" : ".html");
        const Result r = Cli({"export", path, std::string("--") + format, target});
        ASSERT_EQ(r.code, 0) << format << r.err;
        const std::string fresh = NewPath(std::string(format) + ".lyx");
        const std::string source = std::string(format) == "mozilla" ? "netscape" : format;
        const Result in = Cli({"import", fresh, "--" + source, target});
        ASSERT_EQ(in.code, 0) << format << in.err;
        EXPECT_NE(in.out.find("Imported 37 shortcuts"), std::string::npos) << format << in.out;
        const std::string info = Cli({"info", fresh}).out;
        EXPECT_NE(info.find("Categories: 11\n"), std::string::npos) << format << info;
    }
    EXPECT_EQ(Cli({"import", path}).code, 2);
    EXPECT_EQ(Cli({"export", path, "--gopher", dir}).code, 2);
    const Result missing = Cli({"import", path, "--netscape", dir + "/none.html"});
    EXPECT_NE(missing.code, 0);
    EXPECT_NE(missing.err.find("The specified file could not be found!"), std::string::npos);
}

TEST(Cli, AFifoIsRefusedNotWaitedOn) {
    const std::string fifo = (test::FreshDir("cli-fifo") / "pipe.lyx").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto run = std::async(std::launch::async, [&] { return Cli({"info", fifo}); });
    if (run.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Blocked in open: a writer releases it, and the test fails.
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
        ADD_FAILURE() << "the command waited on the FIFO";
    }
    const Result r = run.get();
    EXPECT_NE(r.code, 0);
    EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
    const Result imported = Cli({"import-json", fifo, "--force"}, R"({"Root": {}})");
    EXPECT_NE(imported.code, 0);
    EXPECT_NE(imported.err.find("not a regular file"), std::string::npos) << imported.err;
    struct stat st {};
    ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "left as it was";

    // A missing file and a folder say what is wrong, with the path.
    const std::filesystem::path folder = test::FreshDir("cli-fifo-folder");
    const Result missing = Cli({"info", (folder / "none.lyx").string()});
    EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos) << missing.err;
    EXPECT_NE(missing.err.find("none.lyx"), std::string::npos) << missing.err;
    const Result dir = Cli({"info", folder.string()});
    EXPECT_NE(dir.err.find("is a folder"), std::string::npos) << dir.err;
}

namespace {

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace

// Compaction reads the whole collection first and refuses what it cannot read completely; the
// file is left byte for byte as it was.
TEST(Cli, CompactRefusesADamagedFileAndLeavesIt) {
    const std::string twins = NewPath("twins.lyx");
    ASSERT_EQ(Cli({"import-json", twins}, SampleJson()).code, 0);
    // Two sibling storages with one name: FL00000005 renamed FL00000006 in its directory entry.
    std::string bytes = Bytes(twins);
    auto utf16 = [](const std::string& ascii) {
        std::string out;
        for (char c : ascii)
            out += std::string{c, '\0'};
        return out;
    };
    const std::string from = utf16("FL00000005"), to = utf16("FL00000006");
    const std::size_t at = bytes.find(from);
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, to.size(), to);
    WriteBytes(twins, bytes);
    const Result twin = Cli({"compact", twins});
    EXPECT_EQ(twin.code, 1);
    EXPECT_NE(twin.err.find("FL00000006"), std::string::npos) << twin.err;
    EXPECT_TRUE(Bytes(twins) == bytes);
    EXPECT_FALSE(FileExists(ChangeFileExt(twins, ".$$$")));

    // Cut short: what info refuses, compaction refuses too.
    const std::string cut = NewPath("cut.lyx");
    ASSERT_EQ(Cli({"import-json", cut}, SampleJson()).code, 0);
    const std::string whole = Bytes(cut);
    ASSERT_GT(whole.size(), 13440u);
    WriteBytes(cut, whole.substr(0, 13440));
    ASSERT_NE(Cli({"info", cut}).code, 0);
    const Result r = Cli({"compact", cut});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(r.err.empty());
    EXPECT_TRUE(Bytes(cut) == whole.substr(0, 13440));
    EXPECT_FALSE(FileExists(ChangeFileExt(cut, ".$$$")));
}

// A failed import into a file that was not there leaves no empty data file behind.
TEST(Cli, AFailedImportIntoANewFileLeavesNoFile) {
    const std::string dir = test::FreshDir("cli-failed-import").string();
    const std::string fresh = dir + "/new.lyx";
    const Result r = Cli({"import", fresh, "--netscape", dir + "/missing.html"});
    EXPECT_NE(r.code, 0);
    EXPECT_FALSE(FileExists(fresh));
    EXPECT_FALSE(FileExists(ChangeFileExt(fresh, ".$ly")));
    // An existing file stays as it was.
    ASSERT_EQ(Cli({"import-json", fresh}, SampleJson()).code, 0);
    const std::string before = Bytes(fresh);
    EXPECT_NE(Cli({"import", fresh, "--netscape", dir + "/missing.html"}).code, 0);
    EXPECT_TRUE(Bytes(fresh) == before);
}

// A write that fails names the file it meant and the system's reason; the favourites export says
// how far it came.
TEST(Cli, FailedExportsSayWhatAndWhy) {
    const std::string file = NewPath("export-fail.lyx");
    ASSERT_EQ(Cli({"import-json", file}, SampleJson()).code, 0);
    const std::string dir = test::FreshDir("cli-export-fail").string();
    const Result missing = Cli({"export", file, "--netscape", dir + "/no/such/folder"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("Could not write " + dir + "/no/such/folder/bookmark.htm: No such file or directory"),
              std::string::npos) << missing.err;
    const Result opera = Cli({"export", file, "--opera", dir + "/none/x.adr"});
    EXPECT_NE(opera.err.find("x.adr: No such file or directory"), std::string::npos) << opera.err;
    // A file where the favourites export wants a category's folder.
    const std::string favorites = dir + "/Favorites";
    std::filesystem::create_directories(favorites);
    std::ofstream(favorites + "/News") << "in the way";
    const Result fav = Cli({"export", file, "--favorites", favorites});
    EXPECT_EQ(fav.code, 1);
    EXPECT_EQ(fav.err.find("Windows Errorcode"), std::string::npos) << fav.err;
    EXPECT_NE(fav.err.find("Could not write " + favorites + "/News/"), std::string::npos) << fav.err;
    EXPECT_NE(fav.err.find("The export stopped after "), std::string::npos) << fav.err;
    EXPECT_NE(fav.err.find(" of 37 shortcuts"), std::string::npos) << fav.err;
}

TEST(Cli, ReadingCommandsNeverMakeACollection) {
    const std::string missing = NewPath("missing.lyx");
    for (const char* command : {"verify", "info", "export-json", "duplicates"}) {
        const Result r = Cli({command, missing});
        EXPECT_EQ(r.code, 1) << command;
        EXPECT_NE(r.err.find("could not be found"), std::string::npos) << command << ": " << r.err;
        EXPECT_FALSE(std::filesystem::exists(missing)) << command;
        EXPECT_FALSE(std::filesystem::exists(ChangeFileExt(missing, ".$ly"))) << command;
    }
}
