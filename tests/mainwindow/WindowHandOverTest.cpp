// A second start hands a file over while a window, a box, a scan or a run holds the open
// document: the document stays until it is free, then the file handed over opens.
#include "SecondStart.h"
#include "WindowFixture.h"
#include "support/TestFiles.h"

#include "tools/ui/DuplicatesDialog.h"

#include <QCloseEvent>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

using namespace lynkora;
using lynkora::test::MainWindowTest;
using lynkora::test::SecondStart;
using lynkora::test::WaitUntilOpen;

class WindowHandOver : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        first = Sample("mine.lyx");
        second = Sample("handed.lyx");
        ASSERT_TRUE(window->OpenDocument(first));
        window->SavePrompt = [] { return int(QMessageBox::No); };
        window->AskYesNo = [](const QString&) { return false; };
        window->show();
        start = std::make_unique<SecondStart>(*window);
    }
    // Runs the command; whatever modal window it opens gets a file handed over, then is
    // cancelled. Returns the windows seen, by class.
    QStringList DuringModalWindows(const char* action) {
        QStringList seen;
        bool handedOver = false;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!modal)
                return;
            seen << modal->metaObject()->className();
            if (!handedOver) {
                handedOver = true;
                EXPECT_TRUE(start->HandOver(second)) << action;
                EXPECT_EQ(window->DataFile() ? window->DataFile()->FileName() : std::string(), first)
                    << action << ": the document stays while the window is open";
            }
            modal->reject();
        });
        poll.start();
        window->Action(action)->trigger();
        poll.stop();
        EXPECT_TRUE(handedOver) << action << " showed no window";
        return seen;
    }
    std::string first, second;
    std::unique_ptr<SecondStart> start;
};

TEST_F(WindowHandOver, EveryWindowHoldsTheDocumentUntilItCloses) {
    // A duplicate, so that the scan ends in its window.
    CategoryNode* news = window->Tree().FindCategoryByName("News", 1);
    ASSERT_NE(news, nullptr);
    TIShortcut& twin = news->Folder().Shortcuts.Add();
    twin.Name = "Twin";
    twin.URL = news->Folder().Shortcuts[0].URL;
    window->WriteCategory(*news);
    window->DataFile()->Save();
    const std::string mine = test::ReadFile(first);

    for (const char* action : {"acFind", "Options1", "acProp", "acNewShort", "acNewFolder", "acExport",
                               "acImportFile", "acImportBrowser", "acLibraries", "acScanDup"}) {
        ASSERT_EQ(window->DataFile()->FileName(), first);
        window->SelectNode(window->Tree().FindCategoryByName("News", 1));
        const QStringList seen = DuringModalWindows(action);
        EXPECT_TRUE(WaitUntilOpen(*window, second)) << action << " (" << seen.join(", ").toStdString()
                                                    << "): the file handed over opens once the window has closed";
        EXPECT_EQ(window->StatusText(), "37 internet shortcuts; 11 categories") << action;
        ASSERT_TRUE(window->OpenDocument(first)) << action;
        EXPECT_EQ(window->StatusText(), "38 internet shortcuts; 11 categories") << action;
    }
    ASSERT_TRUE(window->CloseFile());
    EXPECT_EQ(test::ReadFile(first).size(), mine.size()) << "the user's file is whole";
}

TEST_F(WindowHandOver, TheSaveQuestionHoldsTheDocument) {
    const std::string third = Sample("third.lyx");
    AddEmptyCategory("Changed");
    ASSERT_TRUE(window->DataFile()->Modified());
    int asked = 0;
    window->SavePrompt = [&] {
        // A second hand-over arrives while the first one's save question is up.
        if (++asked == 1) {
            EXPECT_TRUE(start->HandOver(third));
            EXPECT_EQ(window->DataFile()->FileName(), first);
        }
        return int(QMessageBox::No);
    };
    ASSERT_TRUE(start->HandOver(second));
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(WaitUntilOpen(*window, third)) << "the waiting file opens after the one handed over first";
    EXPECT_EQ(window->StatusText(), "37 internet shortcuts; 11 categories");
}

TEST_F(WindowHandOver, ADuplicateScanDispatchingEventsKeepsItsTree) {
    CategoryNode& big = AddEmptyCategory("Big");
    for (int i = 0; i < 20000; ++i) {
        TIShortcut& s = big.Folder().Shortcuts.Add();
        s.Name = "s" + std::to_string(i);
        s.URL = "https://example.org/" + std::to_string(i % 15000);
    }
    window->WriteCategory(big);
    bool handedOver = false, dialogShown = false;
    QTimer during;
    during.setInterval(0);
    QObject::connect(&during, &QTimer::timeout, [&] {
        if (!handedOver && window->findChild<QWidget*>("DupProgress")) {
            handedOver = true;
            EXPECT_TRUE(start->HandOver(second));
        }
    });
    window->RunDialog = [&](QDialog& d) {
        dialogShown = dynamic_cast<TfrmDuplicates*>(&d) != nullptr;
        EXPECT_EQ(window->DataFile()->FileName(), first);
        return false;
    };
    during.start();
    window->Action("acScanDup")->trigger();
    during.stop();
    EXPECT_TRUE(handedOver) << "the scan dispatched events";
    EXPECT_TRUE(dialogShown) << "the scan read its tree to the end";
    EXPECT_TRUE(WaitUntilOpen(*window, second));
}

TEST_F(WindowHandOver, NewOpenAndCloseAreRefusedWhileTheDocumentIsHeld) {
    const DocumentLeases::Lease lease = window->HoldDocument();
    EXPECT_FALSE(window->DocumentFree());
    EXPECT_FALSE(window->CloseFile());
    EXPECT_FALSE(window->OpenDocument(second));
    EXPECT_EQ(window->LastInfo().left(45), "Lynkora is still working with the open data f");
    QCloseEvent close;
    QApplication::sendEvent(window.get(), &close);
    EXPECT_FALSE(close.isAccepted());
    ASSERT_NE(window->DataFile(), nullptr);
    EXPECT_EQ(window->DataFile()->FileName(), first);
}

// Hand-overs, opens, closes and the long commands in a seeded random order: nothing crashes,
// and every file reads whole afterwards.
TEST_F(WindowHandOver, RandomInterleavings) {
    std::vector<std::string> files = {first, second, Sample("three.lyx")};
    const std::string broken = (dir / "broken.lyx").string();
    std::ofstream(broken) << "not a data file";
    std::mt19937 random(20261211);
    const int steps = 300;
    int handOvers = 0;
    auto pick = [&] { return files[random() % files.size()]; };
    for (int step = 0; step < steps; ++step) {
        switch (random() % 8) {
        case 0:
            handOvers += start->HandOver(random() % 10 == 0 ? broken : pick());
            break;
        case 1:
            window->OpenDocument(pick());
            break;
        case 2:
            window->CloseFile();
            break;
        case 3: // a dialog during which files are handed over, accepted or not
            window->RunDialog = [&](QDialog&) {
                handOvers += start->HandOver(pick());
                handOvers += start->HandOver(pick());
                return random() % 2 == 0; // the command goes on with what it took before
            };
            window->Action(random() % 2 ? "acFind" : "acNewFolder")->trigger();
            break;
        case 4: // a scan handed over to while it runs
            window->RunDialog = [&](QDialog&) {
                handOvers += start->HandOver(pick());
                return false;
            };
            window->Action("acScanDup")->trigger();
            break;
        case 5:
            if (window->DataFile())
                AddEmptyCategory("C" + std::to_string(step));
            break;
        case 6:
            window->SavePrompt = [&] {
                handOvers += start->HandOver(pick());
                return int(random() % 2 ? QMessageBox::Yes : QMessageBox::No);
            };
            window->CloseFile();
            window->SavePrompt = [] { return int(QMessageBox::No); };
            break;
        default:
            QApplication::processEvents();
        }
        window->RunDialog = nullptr;
    }
    for (int i = 0; i < 50; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_GT(handOvers, 50);
    ASSERT_TRUE(window->CloseFile());
    window->WaitForDeletion();
    for (const std::string& f : files) {
        EXPECT_TRUE(window->OpenDocument(f)) << f;
        EXPECT_GE(window->Tree().ShortcutCount(), 37u) << f;
        ASSERT_TRUE(window->CloseFile());
    }
}
