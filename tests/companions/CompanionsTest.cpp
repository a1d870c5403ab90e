#include "support/TestPaths.h"

#include "companions/CompanionLibrary.h"
#include "companions/Companions.h"
#include "settings/ExportSettings.h"
#include "store/Errors.h"

#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>

using namespace lynkora;
namespace fs = std::filesystem;

namespace {

// A folder of libraries: the ones built beside the program, or stand-ins.
class LibraryFolder : public ::testing::Test {
protected:
    void SetUp() override { dir = test::FreshDir("companions"); }
    void TearDown() override { CompanionLibrary::SetDirectory(""); }
    void Use(const std::string& file, const std::string& as) {
        fs::copy_file(file, dir / as, fs::copy_options::overwrite_existing);
        CompanionLibrary::SetDirectory(dir.string());
    }
    void UseBuilt(const std::string& name) { Use(std::string(LYNKORA_BIN_DIR) + "/" + name, name); }
    fs::path dir;
};

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST_F(LibraryFolder, ArtpackHoldsEveryResourceTheProgramUses) {
    CompanionLibrary::SetDirectory(LYNKORA_BIN_DIR);
    Artpack art;
    ASSERT_TRUE(art.Loaded());
    EXPECT_NO_THROW(art.Require());
    const struct {
        const char* name;
        int height;
    } strips[] = {{"BMP_1", 16}, {"BMP_2", 32}, {"BMP_3", 16}, {"UPARROW", 16}, {"DNARROW", 16}};
    for (const auto& s : strips) {
        QImage img = QImage::fromData(art.Resource(s.name));
        ASSERT_FALSE(img.isNull()) << s.name;
        EXPECT_EQ(img.height(), s.height) << s.name;
        EXPECT_EQ(img.width() % s.height, 0) << s.name;
        EXPECT_EQ(img.pixelColor(0, 0), QColor(255, 0, 255)) << "fuchsia is the transparent colour";
    }
    // The fixed images: list rows 0-2, categories 3-8, separator 14, imported 26/27.
    const QImage small = QImage::fromData(art.Resource("BMP_1"));
    EXPECT_GE(small.width() / 16, 28);
    for (int index : {0, 1, 2, 3, 4, 5, 6, 7, 8, 14, 26, 27}) {
        int drawn = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                drawn += small.pixelColor(index * 16 + x, y) != QColor(255, 0, 255);
        EXPECT_GT(drawn, 10) << "image " << index << " is drawn";
    }
    for (const char* jpeg : {"LOGO", "ABOUT", "CREDITS"}) {
        const QByteArray bytes = art.Resource(jpeg);
        ASSERT_GT(bytes.size(), 2) << jpeg;
        EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF) << jpeg << " is a JPEG";
        EXPECT_FALSE(QImage::fromData(bytes, "JPEG").isNull()) << jpeg;
    }
    EXPECT_FALSE(QImage::fromData(art.Resource("IDC_WEB")).isNull());
    for (int n = 1; n <= 4; ++n) {
        const auto sheet = PredefinedStyleSheet(n);
        ASSERT_TRUE(sheet.has_value()) << n;
        const std::string first = sheet->substr(0, sheet->find('\n'));
        EXPECT_FALSE(StyleSheetName(first).empty()) << first;
        EXPECT_NE(sheet->find(".newitem"), std::string::npos) << n;
    }
    EXPECT_FALSE(PredefinedStyleSheet(99).has_value());
    EXPECT_TRUE(art.Resource("NOSUCH").isEmpty());
}

TEST_F(LibraryFolder, MissingLibrariesAndEntryPoints) {
    CompanionLibrary::SetDirectory(dir.string()); // empty folder: nothing loads
    Artpack art;
    EXPECT_FALSE(art.Loaded());
    const std::string artError = ErrorOf([&] { art.Require(); });
    EXPECT_EQ(artError.rfind("The Dynamic Link Library libartpack.so failed to      \ninitialize. "
                             "Please re-install Lynkora.\n\n", 0),
              0u)
        << artError;
    EXPECT_GT(artError.size(), 90u) << "the system's text follows";
    EXPECT_FALSE(PredefinedStyleSheet(1).has_value());
    EXPECT_EQ(ErrorOf([] { ShowExportDlg("", nullptr); }).rfind(
                  "The Dynamic Link Library libwebstyle.so failed to      \n", 0),
              0u);
    EXPECT_NO_THROW(LogEvent("nothing to log to"));
    EXPECT_NO_THROW(SendLynkoraFile("/tmp/x.lyx"));
    EXPECT_NO_THROW(ShowWizard(nullptr, nullptr, nullptr));

    // Libraries without their entry points: the calls do nothing.
    for (const char* name : {"libwebstyle.so", "libjournal.so", "libmailout.so", "libtransfer.so"})
        Use(LYNKORA_EMPTY_LIBRARY, name);
    EXPECT_EQ(ShowExportDlg("News", nullptr), "");
    EXPECT_NO_THROW(LogEvent("entry missing", 1012));
    EXPECT_NO_THROW(SendLynkoraFile("/tmp/x.lyx"));
    EXPECT_NO_THROW(ShowWizard(nullptr, nullptr, nullptr));
}

TEST_F(LibraryFolder, TheJournalAndMailLibrariesLoad) {
    UseBuilt("libjournal.so");
    UseBuilt("libmailout.so");
    CompanionLibrary journal("journal");
    ASSERT_TRUE(journal.Loaded());
    EXPECT_NE(journal.Entry<void (*)(const char*, int)>("LogEvent"), nullptr);
    EXPECT_NO_THROW(LogEvent("Lynkora test message", 1012));
    CompanionLibrary mail("mailout");
    EXPECT_NE(mail.Entry<void (*)(const char*)>("SendLynkoraFile"), nullptr);
}

TEST_F(LibraryFolder, WizardCommandsNeedTheSignature) {
    Use(LYNKORA_FAKE_TRANSFER, "libtransfer.so");
    std::vector<std::string> ran;
    bool folderEnabled = false;
    WizardActions actions;
    actions.importFile = [&] { ran.push_back("importFile"); };
    actions.importBrowser = [&] { ran.push_back("importBrowser"); };
    actions.exportFile = [&] { ran.push_back("export"); };
    actions.exportFolder = [&] { ran.push_back("exportFolder"); };
    actions.libraries = [&] { ran.push_back("libraries"); };
    actions.exportFolderEnabled = [&] { return folderEnabled; };
    struct Context {
        WizardActions* actions;
        int refused = 0;
    } context{&actions};
    auto receive = [](void* c, int code, long signature) {
        auto* ctx = static_cast<Context*>(c);
        if (!DispatchWizardCommand(code, signature, *ctx->actions))
            ++ctx->refused;
    };
    ShowWizard(nullptr, receive, &context);
    EXPECT_EQ(ran, (std::vector<std::string>{"importFile", "importBrowser", "export", "export",
                                             "libraries"}))
        << "200104 falls back to the whole export while the category export is disabled";
    EXPECT_EQ(context.refused, 2) << "an unknown code and a wrong signature do nothing";
    folderEnabled = true;
    EXPECT_TRUE(DispatchWizardCommand(kWizardExportFolder, kWizardSignature, actions));
    EXPECT_EQ(ran.back(), "exportFolder");
}
