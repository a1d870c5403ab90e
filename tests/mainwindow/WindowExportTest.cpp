// The HTML export commands in the window, through the real export options window.
#include "WindowFixture.h"

#include "mainwindow/ExportController.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace lynkora;
namespace fs = std::filesystem;

namespace {

// Fills the export options window when it opens: the output file and a predefined style.
void AnswerExportWindow(const std::string& output, bool accept) {
    QTimer::singleShot(50, [=] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            AnswerExportWindow(output, accept);
            return;
        }
        auto edits = w->findChildren<QLineEdit*>();
        if (edits.size() > 4)
            edits[4]->setText(QString::fromStdString(output));
        if (auto* combo = w->findChild<QComboBox*>())
            combo->setCurrentIndex(1);
        accept ? static_cast<QDialog*>(w)->accept() : static_cast<QDialog*>(w)->reject();
    });
}

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The export window keeps its settings in the program's own settings file, so this window
// uses that file too.
class WindowExport : public lynkora::test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        window.reset();
        registry = std::make_unique<Registry>();
        window = std::make_unique<TfrmMainLynkora>(*registry, env);
        window->InitializeMainWindow("");
        ASSERT_TRUE(window->OpenDocument(Sample()));
    }
};

} // namespace

TEST_F(WindowExport, TheWholeFileAndTheSelectedCategory) {
    const fs::path page = dir / "all.html";
    AnswerExportWindow(page.string(), true);
    window->Action("acExport")->trigger();
    ASSERT_EQ(window->LastError(), "");
    const std::string all = ReadAll(page);
    EXPECT_NE(all.find(">Debian</a>"), std::string::npos) << "the root's shortcuts";
    EXPECT_NE(all.find("<strong>Science</strong>"), std::string::npos);
    EXPECT_NE(all.find("<style type=\"text/css\"><!--"), std::string::npos) << "the predefined sheet";
    EXPECT_EQ(window->StatusText(), "37 internet shortcuts; 11 categories") << "the summary is back";

    window->SelectNode(window->Tree().FindCategoryByName("News", 1));
    const fs::path news = dir / "news.html";
    AnswerExportWindow(news.string(), true);
    window->Action("acExportFolder")->trigger();
    const std::string category = ReadAll(news);
    EXPECT_NE(category.find(">Reuters</a>"), std::string::npos);
    EXPECT_EQ(category.find(">Debian</a>"), std::string::npos);
    EXPECT_NE(category.find("style=\"margin-left: 30\""), std::string::npos) << "Science below News";

    // Cancelled: nothing written.
    const fs::path none = dir / "none.html";
    AnswerExportWindow(none.string(), false);
    window->Action("acExport")->trigger();
    EXPECT_FALSE(fs::exists(none));
}

TEST_F(WindowExport, ThePageCannotBeTheOpenDataFile) {
    const std::string file = window->DataFile()->FileName();
    const std::string link = (dir / "link.html").string();
    fs::create_symlink(file, link);
    const std::string before = ReadAll(file);
    for (const std::string& target : {file, link}) {
        AnswerExportWindow(target, true);
        window->Action("acExport")->trigger();
        EXPECT_NE(window->LastError().indexOf("it is the data file"), -1) << window->LastError().toStdString();
        EXPECT_EQ(ReadAll(file), before) << target;
    }
    ASSERT_TRUE(window->CloseFile());
    EXPECT_EQ(ReadAll(file).substr(0, 8), before.substr(0, 8)) << "still a compound file, not a page";
    EXPECT_TRUE(window->OpenDocument(file));
    EXPECT_EQ(window->StatusText(), "37 internet shortcuts; 11 categories");
}
