#include "support/TestPaths.h"

#include "store/Compaction.h"
#include "store/DataFile.h"
#include "store/DataFileStorage.h"
#include "store/FileReplace.h"
#include "store/StorageErrorText.h"
#include "tools/CompressThread.h"
#include "tools/DeleteThread.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <regex>
#include <sys/stat.h>

using namespace lynkora;

namespace {

class RecordingSink : public ThreadErrorSink {
public:
    void HandleThreadError(std::exception_ptr error) override {
        std::lock_guard lock(m_mutex);
        try {
            std::rethrow_exception(error);
        } catch (const EStorageError& e) {
            messages.push_back(e.what());
            codes.push_back(e.code());
        } catch (const std::exception& e) {
            messages.push_back(e.what());
            codes.push_back(0);
        }
    }
    std::vector<std::string> messages;
    std::vector<std::uint32_t> codes;

private:
    std::mutex m_mutex;
};

std::string NewPath(const std::string& name) {
    return (test::FreshDir("threads") / name).string();
}

std::vector<std::string> Listing(const cfb::Storage& st, const std::string& prefix = {}) {
    std::vector<std::string> out;
    for (const auto& e : st.Elements()) {
        const std::string path = prefix + "/" + e.name;
        out.push_back(path + (e.kind == cfb::ElementKind::Stream ? ":" + std::to_string(e.size) : ""));
        if (e.kind == cfb::ElementKind::Storage)
            for (auto& sub : Listing(st.OpenStorage(e.name), path))
                out.push_back(sub);
    }
    return out;
}

} // namespace

TEST(DeleteThread, RemovesTheCategoryAtAnyDepthAndNothingElse) {
    const std::string path = NewPath("delete.lyx");
    cfb::Storage root = CreateDataFile(path);
    cfb::Storage folders = root.OpenStorage(kRootFolderStorage);
    cfb::Storage one = folders.CreateStorage("FL00000001");
    cfb::Storage two = one.CreateStorage("FL00000002");
    cfb::Storage three = two.CreateStorage("FL00000003");
    three.CreateStream("DATA").Write(std::string(5000, 'x'));
    three.CreateStorage("FL00000004").CreateStream("DATA").Write(std::string("below"));
    two.CreateStorage("FL00000005").CreateStream("DATA").Write(std::string("sibling"));
    folders.CreateStorage("FL00000006").CreateStream("DATA").Write(std::string("top"));

    RecordingSink sink;
    auto thread = TDeleteThread::Start("fl00000003", folders, &sink);
    thread->WaitFor();
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(Listing(folders),
              (std::vector<std::string>{"/FL00000001", "/FL00000001/FL00000002",
                                        "/FL00000001/FL00000002/FL00000005",
                                        "/FL00000001/FL00000002/FL00000005/DATA:7",
                                        "/FL00000006", "/FL00000006/DATA:3"}));

    const auto before = Listing(folders);
    TDeleteThread::Start("FL0000FFFF", folders, &sink)->WaitFor();
    EXPECT_EQ(Listing(folders), before);
    EXPECT_TRUE(sink.messages.empty());
    root.Close();
}

TEST(DeleteThread, FailuresArePrefixedAndKeepTheirCode) {
    const std::string path = NewPath("closed.lyx");
    cfb::Storage root = CreateDataFile(path);
    cfb::Storage folders = root.OpenStorage(kRootFolderStorage);
    root.Close();
    RecordingSink sink;
    auto thread = TDeleteThread::Start("FL00000001", folders, &sink);
    thread->WaitFor();
    ASSERT_EQ(sink.messages.size(), 1u);
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "dtThreadID $%08lX: ", thread->ThreadID());
    EXPECT_EQ(sink.messages[0].rfind(prefix, 0), 0u) << sink.messages[0];
    EXPECT_EQ(sink.codes[0], cfb::STG_E_REVERTED);
    EXPECT_TRUE(std::regex_match(sink.messages[0], std::regex("dtThreadID \\$[0-9A-F]{8}: .*")));
}

TEST(CompressThread, ReplacesTheFileWithACompactCopy) {
    const std::string path = NewPath("compact.lyx");
    {
        TDataFile file(path, true);
        CategoryTree tree;
        file.LoadTree(tree);
        cfb::Storage folders = file.OpenRoot();
        for (int i = 0; i < 50; ++i) {
            TISFolder f;
            f.FolderID = file.NewFolderID();
            f.FolderName = "Category " + std::to_string(i);
            f.Descr = std::string(3000 + i, 'd');
            WriteFolder(folders, f, {});
        }
        for (int i = 0; i < 50; i += 2) {
            char id[16];
            std::snprintf(id, sizeof id, "FL%08X", i == 0 ? 1 : i);
            folders.DestroyElement(id);
        }
        file.Close();
    }
    const auto before = std::filesystem::file_size(path);
    std::vector<std::string> listing;
    {
        auto root = cfb::OpenCompoundFile(path, false);
        listing = Listing(root);
    }
    RecordingSink sink;
    TCompressThread::Start(path, &sink)->WaitFor();
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_LT(std::filesystem::file_size(path), before);
    EXPECT_FALSE(FileExists(ChangeFileExt(path, ".$$$")));
    auto root = cfb::OpenCompoundFile(path, false);
    EXPECT_EQ(Listing(root), listing);
}

TEST(CompressThread, AFileThatMayNotBeReplacedIsReportedAndKept) {
    const std::string path = NewPath("locked.lyx");
    { TDataFile file(path, true); }
    const auto bytes = std::filesystem::file_size(path);
    ::chmod(path.c_str(), 0444);
    RecordingSink sink;
    TCompressThread::Start(path, &sink)->WaitFor();
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].rfind("cpThreadID $", 0), 0u);
    EXPECT_NE(sink.messages[0].find("Could not delete file " + path), std::string::npos);
    EXPECT_FALSE(FileExists(ChangeFileExt(path, ".$$$")));
    EXPECT_EQ(std::filesystem::file_size(path), bytes);
    ::chmod(path.c_str(), 0644);
}

TEST(CompressThread, OpeningWaitsForARunningCompaction) {
    const std::string path = NewPath("busy.lyx");
    {
        TDataFile file(path, true);
        cfb::Storage folders = file.OpenRoot();
        for (int i = 0; i < 3000; ++i) {
            TISFolder f;
            f.FolderID = "FL" + std::to_string(10000000 + i);
            f.Descr = std::string(1500, 'x');
            WriteFolder(folders, f, {});
        }
    }
    RecordingSink sink;
    auto thread = TCompressThread::Start(path, &sink);
    TDataFile reopened(path, false); // would meet a locked file without the wait
    CategoryTree tree;
    reopened.LoadTree(tree);
    EXPECT_EQ(tree.NodeCount(), 3001u);
    thread->WaitFor();
    EXPECT_TRUE(sink.messages.empty());
}
