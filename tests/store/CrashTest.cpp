// A process that saves (or compacts) a data file is killed at random moments; after every kill
// the file opens and holds one complete collection, never an older one than before.
#include "CrashCollection.h"

#include "support/TestPaths.h"

#include "store/DataFile.h"
#include "store/DataFileStorage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace lynkora;

namespace {

int Rounds(int fallback) {
    const char* env = std::getenv("LYNKORA_CRASH_ROUNDS");
    return env ? std::atoi(env) : fallback;
}

int StateOnDisk(const std::string& path, std::string& why) {
    try {
        cfb::Storage root = OpenDataFile(path, false);
        CategoryTree tree;
        LoadCategoryTree(root, tree);
        return test::CrashStateOf(tree, why);
    } catch (const std::exception& e) {
        why = e.what();
        return -1;
    }
}

void KillLoop(const char* mode, int rounds) {
    const std::string path = (test::FreshDir(std::string("crash-") + mode) / "crash.lyx").string();
    {
        TDataFile file(path, false);
        CategoryTree tree;
        file.LoadTree(tree);
        tree.RootNode()->Folder().Descr = "state 0";
        file.WriteCategory(*tree.RootNode());
        auto folder = std::make_unique<TISFolder>();
        folder->FolderID = file.NewFolderID();
        folder->FolderName = "c0";
        for (int s = 0; s < test::kCrashShortcuts; ++s)
            folder->Shortcuts.Add().Name = test::CrashName(0, 0, s);
        file.WriteCategory(tree.AddChild(*tree.RootNode(), std::move(folder)));
        file.Save();
    }
    std::mt19937 rng(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    int last = 0;
    int advanced = 0;
    // Kill moments are spread over a window that widens while no save completes in it, so a
    // slow machine (or a sanitizer build) still sees kills after completed saves.
    unsigned windowUs = 60000;
    for (int round = 0; round < rounds; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::execl(LYNKORA_CRASH_HELPER, LYNKORA_CRASH_HELPER, mode, path.c_str(), nullptr);
            ::_exit(127);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + rng() % windowUs));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the helper ended by itself, status " << status;
        std::string why;
        const int state = StateOnDisk(path, why);
        ASSERT_GE(state, 0) << "round " << round << ": " << why;
        ASSERT_GE(state, last) << "round " << round << ": went back to an older collection";
        advanced += state > last;
        if (state == last && windowUs < 4000000)
            windowUs *= 2;
        last = state;
    }
    EXPECT_GT(advanced, 0) << "no kill ever landed after a completed save";
    std::printf("%s: %d kills, %d saved states, last state %d\n", mode, rounds, advanced, last);
}

} // namespace

TEST(CrashSafety, KilledSavesLeaveACompleteCollection) { KillLoop("save", Rounds(15)); }

TEST(CrashSafety, KilledCompactionsLeaveACompleteCollection) { KillLoop("compact", Rounds(15)); }
