#include "DataFileTestSupport.h"

#include "support/TestPaths.h"

#include "store/DataFileStorage.h"
#include "store/FileReplace.h"
#include "store/ObjectStream.h"
#include "store/StorageErrorText.h"
#include "store/TextTools.h"
#include "store/Version.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace lynkora;
using lynkora::test::AddCategory;
using lynkora::test::ErrorText;
using lynkora::test::FileBytes;

namespace {

std::string NewPath(const std::string& name) {
    return (test::FreshDir("datafile") / name).string();
}

// A closed data file whose VERSION/APPVER holds the text.
std::string FileWithVersion(const std::string& version) {
    const std::string path = NewPath("versioned.lyx");
    TDataFile file(path, true);
    WriteAppVersion(file.WorkStorage(), version);
    file.Close();
    return path;
}

} // namespace

TEST(DataFile, StorageErrorTexts) {
    EXPECT_EQ(StorageErrorText(0x80030020),
              "Share violation: The file is already in use (OLE Error 80030020).");
    EXPECT_EQ(StorageErrorText(0x80004005), " (OLE Error 80004005).");
    EXPECT_EQ(StorageErrorText(0x00030200),
              "The underlying file was converted to compound file format (OLE Error 30200).");
}

TEST(DataFile, ForeignFilesAreRefusedAndLeaveNothingBehind) {
    const std::string path = NewPath("notes.lyx");
    std::ofstream(path) << "This is a text file, not a collection.\n";
    for (bool direct : {false, true}) {
        EXPECT_EQ(ErrorText([&] { TDataFile file(path, direct); }),
                  "Error: not a valid Lynkora file!\n\n\"" + path + "\"");
        EXPECT_FALSE(FileExists(ChangeFileExt(path, ".$ly")));
        EXPECT_FALSE(FileExists(ChangeFileExt(path, ".ly_")));
    }
    EXPECT_EQ(FileBytes(path), "This is a text file, not a collection.\n");
}

TEST(DataFile, VersionCheck) {
    const std::string newer = FileWithVersion("4.1.0.7");
    {
        TDataFile file(newer, false);
        EXPECT_EQ(ErrorText([&] { file.CheckVersion(kProgramVersion); }),
                  "Error: the file \"" + newer +
                      "\" was created with a\nnewer version of Lynkora.\n\nPlease upgrade to "
                      "version 4.1.0.7 or higher.");
    }
    for (const char* older : {"4.0.9.1", "3.5.0.0", "", "4.0.2.312", "garbage"}) {
        const std::string path = FileWithVersion(older);
        TDataFile file(path, true);
        EXPECT_NO_THROW(file.CheckVersion(kProgramVersion)) << older;
        file.Close();
        auto root = OpenDataFile(path, false);
        EXPECT_EQ(ReadAppVersion(root), "4.0.2.312");
    }
    EXPECT_NO_THROW(CheckFileVersion("f", "4.0", "4.0.2.312"));
    EXPECT_THROW(CheckFileVersion("f", "5", "4.0.2.312"), ELynkora);
    EXPECT_EQ(ErrorText([] { CheckFileVersion("f", "4.x.3", "3.9"); }),
              "Error: the file \"f\" was created with a\nnewer version of Lynkora.\n\nPlease "
              "upgrade to version 4.0.3.0 or higher.");
}

TEST(DataFile, MissingRootDataFailsTheLoad) {
    const std::string path = NewPath("noroot.lyx");
    CreateDataFile(path).Close(); // ROOTFOLDER without DATA
    TDataFile file(path, false);
    CategoryTree tree;
    EXPECT_EQ(ErrorText([&] { file.LoadTree(tree); }),
              "Data file error: missing or incorrect category data!");
    EXPECT_TRUE(tree.Empty());
}

TEST(DataFile, LoadingResetsRunStateAndReadsEveryCategory) {
    const std::string path = NewPath("state.lyx");
    {
        TDataFile file(path, true);
        CategoryTree tree;
        file.LoadTree(tree);
        CategoryNode& news = AddCategory(file, tree, *tree.RootNode(), "News", 3);
        news.Folder().Exclude = true;
        news.Folder().New = true;
        news.Folder().Shortcuts[1].VerState = vsVerifying;
        news.Folder().Shortcuts[2].VerState = vsFailed;
        file.WriteCategory(news);
        CategoryNode& deep = AddCategory(file, tree, news, "Deep", 1);
        AddCategory(file, tree, deep, "Deeper", 2);
        // A storage named XL12 is a category too (second character "L").
        auto xl = file.OpenRoot().CreateStorage("XL12");
        TISFolder odd;
        odd.FolderName = "Odd";
        xl.CreateStream("DATA").Write(ObjectStream::WriteObject(odd));
        // A storage without DATA is skipped with everything below it.
        file.OpenRoot().CreateStorage("FL000000AA").CreateStorage("FL000000AB");
        file.Close();
    }
    TDataFile file(path, false);
    CategoryTree tree;
    file.LoadTree(tree);
    ASSERT_EQ(tree.NodeCount(), 5u);
    CategoryNode* news = tree.FindCategoryByName("News", 1);
    ASSERT_NE(news, nullptr);
    EXPECT_FALSE(news->Folder().Exclude);
    EXPECT_FALSE(news->Folder().New);
    EXPECT_EQ(news->Folder().Shortcuts[1].VerState, vsGood);
    EXPECT_EQ(news->Folder().Shortcuts[2].VerState, vsFailed);
    ASSERT_NE(tree.FindCategoryByName("Deeper", 3), nullptr);
    CategoryNode* odd = tree.FindCategoryByName("Odd", 1);
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->Folder().FolderID, "XL12");
    EXPECT_EQ(tree.RootNode()->Text(), kRootFolderName);
    EXPECT_EQ(file.RootNode(), tree.RootNode());
}

TEST(DataFile, IdentifiersFillGapsAndIgnoreOtherNames) {
    const std::string path = NewPath("ids.lyx");
    TDataFile file(path, false);
    CategoryTree tree;
    file.LoadTree(tree);
    CategoryNode& root = *tree.RootNode();
    EXPECT_EQ(AddCategory(file, tree, root, "a").Folder().FolderID, "FL00000001");
    EXPECT_EQ(AddCategory(file, tree, root, "b").Folder().FolderID, "FL00000000");
    CategoryNode& c = AddCategory(file, tree, root, "c");
    EXPECT_EQ(c.Folder().FolderID, "FL00000002");
    EXPECT_EQ(AddCategory(file, tree, c, "nested").Folder().FolderID, "FL00000003");
    file.OpenRoot().DestroyElement("fl00000000");
    EXPECT_EQ(file.NewFolderID(), "FL00000000");

    const std::string other = NewPath("xl.lyx");
    TDataFile xl(other, true);
    xl.OpenRoot().CreateStorage("XL12");
    EXPECT_EQ(xl.NewFolderID(), "FL00000001");
}

TEST(DataFile, WorkingCopyCloseWithoutSaveLeavesTheFileAlone) {
    const std::string path = NewPath("wc.lyx");
    test::MakeFileWithCategory(path, false, "Saved", 2);
    const std::string before = FileBytes(path);
    {
        TDataFile file(path, false);
        EXPECT_TRUE(FileExists(file.TempName()));
        file.CheckVersion(kProgramVersion);
        CategoryTree tree;
        file.LoadTree(tree);
        AddCategory(file, tree, *tree.RootNode(), "Unsaved", 5);
        EXPECT_TRUE(file.Modified());
        // The data file stays locked for the whole session.
        EXPECT_THROW(cfb::OpenCompoundFile(path, false), cfb::StorageError);
        file.Close();
        EXPECT_FALSE(FileExists(file.TempName()));
    }
    EXPECT_EQ(FileBytes(path), before);
}

TEST(DataFile, SaveWritesTheCopyAndTheSaveDate) {
    const std::string path = NewPath("save.lyx");
    TDataFile file(path, false);
    CategoryTree tree;
    file.LoadTree(tree);
    AddCategory(file, tree, *tree.RootNode(), "One", 3);
    const TDateTime before = NowDateTime();
    file.Save();
    const TDateTime after = NowDateTime();
    EXPECT_FALSE(file.Modified());
    EXPECT_THROW(cfb::OpenCompoundFile(path, false), cfb::StorageError) << "still locked";
    AddCategory(file, tree, *tree.RootNode(), "Two", 1);
    file.Save();
    file.Close();

    auto root = OpenDataFile(path, false);
    const TDateTime saved = ReadLastDate(root);
    EXPECT_GE(saved, before - 1e-6);
    EXPECT_LE(saved, NowDateTime() + 1e-6);
    (void)after;
    CategoryTree back;
    LoadCategoryTree(root, back);
    EXPECT_EQ(back.NodeCount(), 3u);
    EXPECT_EQ(back.ShortcutCount(), 4u);
    EXPECT_FALSE(FileExists(ChangeFileExt(path, ".$sv")));
}

TEST(DataFile, DirectModeWritesAtOnceAndKeepsABackup) {
    const std::string path = NewPath("direct.lyx");
    test::MakeFileWithCategory(path, true, "First", 2);
    {
        TDataFile file(path, true);
        EXPECT_TRUE(FileExists(ChangeFileExt(path, ".ly_")));
        CategoryTree tree;
        file.LoadTree(tree);
        AddCategory(file, tree, *tree.RootNode(), "Second", 1);
        EXPECT_FALSE(file.Modified());
        file.Close();
    }
    auto backup = OpenDataFile(ChangeFileExt(path, ".ly_"), false);
    CategoryTree old;
    LoadCategoryTree(backup, old);
    EXPECT_EQ(old.NodeCount(), 2u);
    auto root = OpenDataFile(path, false);
    CategoryTree now;
    LoadCategoryTree(root, now);
    EXPECT_EQ(now.NodeCount(), 3u);
    EXPECT_GT(ReadLastDate(root), 0.0);
}

// A save copies a tight working copy as it is and writes a sparse one anew; either way the file
// holds what the tree holds.
TEST(DataFile, SaveCopiesATightWorkingCopyAndPacksASparseOne) {
    const std::string path = NewPath("packed.lyx");
    TDataFile file(path, false);
    CategoryTree tree;
    file.LoadTree(tree);
    CategoryNode& big = AddCategory(file, tree, *tree.RootNode(), "Big", 3000);
    AddCategory(file, tree, *tree.RootNode(), "Small", 2);
    file.Save();
    EXPECT_EQ(std::filesystem::file_size(path), std::filesystem::file_size(file.TempName()));

    while (big.Folder().Shortcuts.Count() > 10)
        big.Folder().Shortcuts.Delete(big.Folder().Shortcuts.Count() - 1);
    file.WriteCategory(big);
    file.Save();
    EXPECT_LT(std::filesystem::file_size(path) * 2, std::filesystem::file_size(file.TempName()));
    file.Close();

    auto root = OpenDataFile(path, false);
    CategoryTree back;
    LoadCategoryTree(root, back);
    ASSERT_EQ(back.NodeCount(), 3u);
    EXPECT_EQ(back.ShortcutCount(), 12u);
    const CategoryNode* kept = back.FindCategoryByName("Big", 1);
    ASSERT_NE(kept, nullptr);
    ASSERT_EQ(kept->Folder().Shortcuts.Count(), 10u);
    EXPECT_EQ(kept->Folder().Shortcuts[9].URL, "https://example.org/Big/9");
    EXPECT_FALSE(FileExists(ChangeFileExt(path, ".$sv")));
}

// The last save before the end: a tight working copy becomes the file, renamed into place; a
// sparse one is packed as Save packs it; a file that may not be replaced is left as it was, the
// working copy still open.
TEST(DataFile, SaveAndCloseRenamesATightWorkingCopyAndPacksASparseOne) {
    const auto load = [](const std::string& path) {
        auto root = OpenDataFile(path, false);
        CategoryTree back;
        LoadCategoryTree(root, back);
        EXPECT_GT(ReadLastDate(root), 0.0);
        return back.ShortcutCount();
    };
    const std::string path = NewPath("lastsave.lyx");
    {
        TDataFile file(path, false);
        CategoryTree tree;
        file.LoadTree(tree);
        AddCategory(file, tree, *tree.RootNode(), "One", 300);
        const std::string work = file.TempName();
        file.SaveAndClose();
        EXPECT_FALSE(FileExists(work)) << "the working copy is the file now";
        EXPECT_FALSE(file.Modified());
    }
    EXPECT_EQ(load(path), 300u);

    {
        TDataFile file(path, false);
        CategoryTree tree;
        file.LoadTree(tree);
        CategoryNode& big = AddCategory(file, tree, *tree.RootNode(), "Big", 3000);
        while (big.Folder().Shortcuts.Count() > 5)
            big.Folder().Shortcuts.Delete(big.Folder().Shortcuts.Count() - 1);
        file.WriteCategory(big);
        const auto sparse = std::filesystem::file_size(file.TempName());
        file.SaveAndClose();
        EXPECT_LT(std::filesystem::file_size(path) * 2, sparse) << "packed";
        EXPECT_FALSE(FileExists(file.TempName()));
        EXPECT_FALSE(FileExists(ChangeFileExt(path, ".$sv")));
    }
    EXPECT_EQ(load(path), 305u);

    const std::string saved = FileBytes(path);
    TDataFile file(path, false);
    CategoryTree tree;
    file.LoadTree(tree);
    AddCategory(file, tree, *tree.RootNode(), "Refused", 1);
    ::chmod(path.c_str(), 0444);
    EXPECT_EQ(ErrorText([&] { file.SaveAndClose(); }), "Could not delete file " + path);
    EXPECT_EQ(FileBytes(path), saved);
    EXPECT_TRUE(FileExists(file.TempName()));
    ::chmod(path.c_str(), 0644);
    file.SaveAndClose();
    EXPECT_EQ(load(path), 306u);
}

// A category written shorter keeps no tail of its longer self, in either mode.
TEST(DataFile, ARewrittenCategoryHoldsOnlyItsNewData) {
    for (bool direct : {false, true}) {
        const std::string path = NewPath(direct ? "direct-shrink.lyx" : "shrink.lyx");
        TDataFile file(path, direct);
        CategoryTree tree;
        file.LoadTree(tree);
        CategoryNode& node = AddCategory(file, tree, *tree.RootNode(), "Long", 200);
        while (node.Folder().Shortcuts.Count() > 1)
            node.Folder().Shortcuts.Delete(1);
        file.WriteCategory(node);
        cfb::Storage root = file.OpenRoot();
        cfb::Storage own = root;
        ASSERT_TRUE(FindFolderStorage(root, node.Folder().FolderID, own));
        EXPECT_EQ(own.OpenStream(kDataStream).Size(), ObjectStream::WriteObject(node.Folder()).size());
        file.Close();
    }
}

TEST(DataFile, SaveAsCopiesTheWorkingState) {
    const std::string path = NewPath("orig.lyx");
    const std::string copy = ChangeFileExt(path, ".copy.lyx");
    TDataFile file(path, false);
    CategoryTree tree;
    file.LoadTree(tree);
    AddCategory(file, tree, *tree.RootNode(), "Edit", 2);
    file.SaveAs(copy);
    file.Close();
    auto root = OpenDataFile(copy, false);
    CategoryTree back;
    LoadCategoryTree(root, back);
    EXPECT_EQ(back.ShortcutCount(), 2u);
    auto orig = OpenDataFile(path, false);
    CategoryTree untouched;
    LoadCategoryTree(orig, untouched);
    EXPECT_EQ(untouched.NodeCount(), 1u);
}

TEST(DataFile, AReadOnlyFileIsNeverReplaced) {
    const std::string path = NewPath("readonly.lyx");
    TDataFile file(path, false);
    CategoryTree tree;
    file.LoadTree(tree);
    AddCategory(file, tree, *tree.RootNode(), "Kept", 1);
    file.Save();
    const std::string saved = FileBytes(path);
    AddCategory(file, tree, *tree.RootNode(), "Refused", 1);
    ::chmod(path.c_str(), 0444);
    EXPECT_EQ(ErrorText([&] { file.Save(); }), "Could not delete file " + path);
    EXPECT_TRUE(file.Modified());
    EXPECT_FALSE(FileExists(ChangeFileExt(path, ".$sv")));
    EXPECT_EQ(FileBytes(path), saved);
    ::chmod(path.c_str(), 0644);
    file.Save();
    file.Close();
    auto root = OpenDataFile(path, false);
    CategoryTree back;
    LoadCategoryTree(root, back);
    EXPECT_EQ(back.NodeCount(), 3u);
}

// A killed save, compaction, import or backup leaves its side file; the next open that holds the
// file's lock removes it. A leftover working copy is the open's own business.
TEST(DataFile, StaleSideFilesGoAtTheNextOpen) {
    for (const bool direct : {false, true}) {
        const std::string path = NewPath(direct ? "direct.lyx" : "copy.lyx");
        test::MakeFileWithCategory(path, direct, "Saved", 2);
        const std::vector<std::string> stale = {".$$$", ".$sv", ".$im", ".$bk"};
        for (const std::string& ext : stale)
            std::ofstream(ChangeFileExt(path, ext)) << std::string(4096, 'x');
        std::ofstream(ChangeFileExt(path, ".notes")) << "the user's own";
        TDataFile file(path, direct);
        for (const std::string& ext : stale)
            EXPECT_FALSE(FileExists(ChangeFileExt(path, ext))) << ext << (direct ? " direct" : " copy");
        EXPECT_TRUE(FileExists(ChangeFileExt(path, ".notes")));
        file.Close();
    }
}

// What a damaged file says is quoted in a message only as text: control characters and broken
// UTF-8 escaped, and not without end.
TEST(DataFile, MessagesQuoteDamagedBytesEscaped) {
    EXPECT_EQ(QuoteForMessage("caf\xC3\xA9 ok"), "caf\xC3\xA9 ok");
    EXPECT_EQ(QuoteForMessage("a\x1b[2Jb\xFF\xC3"), "a\\x1B[2Jb\\xFF\\xC3");
    EXPECT_EQ(QuoteForMessage(std::string(100, 'x'), 10), "xxxxxxxxxx...");
    TISFolder named;
    named.FolderName = "x";
    std::string stream = ObjectStream::WriteObject(named);
    const std::string property = "FolderName";
    stream.replace(stream.find(property), property.size(), "Fold\x07\xFFName");
    TISFolder folder;
    try {
        ObjectStream::ReadObject(stream, folder);
        ADD_FAILURE() << "read a property that does not exist";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find(".Fold\\x07\\xFFName: "), std::string::npos) << e.what();
    }
}

TEST(DataFile, ABatchOfWritesKeepsEveryCategoryAndEmptyingKeepsTheFile) {
    const std::string path = NewPath("batch.lyx");
    {
        TDataFile file(path, false);
        CategoryTree tree;
        file.LoadTree(tree);
        {
            const TDataFile::BatchOfWrites batch(file);
            const TDataFile::BatchOfWrites nested(file);
            CategoryNode* parent = tree.RootNode();
            for (int i = 0; i < 40; ++i)
                parent = &AddCategory(file, tree, i % 4 == 0 ? *tree.RootNode() : *parent, "C" + std::to_string(i), 3);
        }
        file.Save();
    }
    const std::string saved = FileBytes(path);
    {
        TDataFile file(path, false);
        CategoryTree tree;
        file.LoadTree(tree);
        EXPECT_EQ(tree.NodeCount(), 41u);
        EXPECT_EQ(tree.ShortcutCount(), 120u);
        // Emptied in working-copy mode: the working copy has only the root, the file all of it.
        file.EmptyCollection();
        CategoryTree empty;
        file.LoadTree(empty);
        EXPECT_EQ(empty.NodeCount(), 1u);
        EXPECT_TRUE(file.Modified());
    }
    EXPECT_EQ(FileBytes(path), saved) << "closed without saving, the file is as it was";
    {
        TDataFile file(path, true);
        file.EmptyCollection();
        file.Close();
    }
    TDataFile backup(ChangeFileExt(path, ".ly_"), false);
    CategoryTree tree;
    backup.LoadTree(tree);
    EXPECT_EQ(tree.NodeCount(), 41u) << "direct mode keeps the collection in the backup";
}

// "c.lyx" and its backup's name "c.ly_" are two data files of one folder: each has its own
// working copy and side files, so two sessions on them never write into each other.
TEST(DataFile, TwoDataFilesOfOneStemKeepApart) {
    const std::string one = NewPath("c.lyx");
    const std::string two = one.substr(0, one.size() - 4) + ".ly_";
    test::MakeFileWithCategory(one, false, "One", 2);
    test::MakeFileWithCategory(two, false, "Two", 3);
    TDataFile first(one, false);
    TDataFile second(two, false);
    EXPECT_NE(first.TempName(), second.TempName());
    EXPECT_EQ(first.TempName(), ChangeFileExt(one, ".$ly")) << "the usual name stays";
    for (TDataFile* f : {&first, &second}) {
        CategoryTree tree;
        f->CheckVersion(kProgramVersion);
        f->LoadTree(tree);
        AddCategory(*f, tree, *tree.RootNode(), f == &first ? "Added one" : "Added two", 1);
        f->Save();
        f->Close();
    }
    for (const auto& [path, count] : {std::pair{one, 3u}, std::pair{two, 4u}}) {
        auto root = OpenDataFile(path, false);
        CategoryTree back;
        LoadCategoryTree(root, back);
        EXPECT_EQ(back.ShortcutCount(), count) << path << " holds its own collection";
    }
    // A data file named as another's backup is backed up beside itself, not over itself.
    TDataFile direct(two, true);
    EXPECT_EQ(direct.BackupName(), two + ".ly_");
    EXPECT_TRUE(FileExists(two + ".ly_"));
}

// Opening a file that another session holds is refused before anything beside it is touched:
// that session's working copy stays, and so does what it wrote there.
TEST(DataFile, ARefusedOpenLeavesTheHoldersWorkingCopy) {
    const std::string path = NewPath("held.lyx");
    test::MakeFileWithCategory(path, false, "Saved", 2);
    TDataFile holder(path, false);
    CategoryTree tree;
    holder.LoadTree(tree);
    AddCategory(holder, tree, *tree.RootNode(), "Unsaved", 4);
    const std::string copy = FileBytes(holder.TempName());
    for (bool direct : {false, true})
        EXPECT_THROW(TDataFile(path, direct), std::exception);
    ASSERT_TRUE(FileExists(holder.TempName()));
    EXPECT_EQ(FileBytes(holder.TempName()), copy);
    holder.Save();
    holder.Close();
    auto root = OpenDataFile(path, false);
    CategoryTree back;
    LoadCategoryTree(root, back);
    EXPECT_EQ(back.ShortcutCount(), 6u);
}
