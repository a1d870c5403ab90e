#include "support/QtTestApp.h"

#include "HandOverThread.h"
#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocalSocket>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace lynkora;

namespace {

bool HandOver(const QString& name, const QString& line) { return test::HandOverFromAnotherThread(name, line); }

} // namespace

TEST(SingleInstance, ASecondStartHandsOverAndEnds) {
    test::EnsureQtApp();
    // Unique to this process: test runs from two checkouts must not meet.
    const QString name = InstanceName() + "-test-" + QString::number(QCoreApplication::applicationPid());
    int activated = 0;
    QStringList opened;
    InstanceServer server([&] { ++activated; }, [&](const QString& line) { opened << line; });
    ASSERT_TRUE(server.Listen(name));

    EXPECT_TRUE(HandOver(name, ""));
    // Activation alone is not answered: the running side may see it a moment later.
    QElapsedTimer timer;
    timer.start();
    while (activated == 0 && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(activated, 1);
    EXPECT_TRUE(opened.isEmpty()) << "without parameters only the window comes forward";

    EXPECT_TRUE(HandOver(name, "\"/home/u/My Links.lyx\""));
    EXPECT_EQ(activated, 2);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], "\"/home/u/My Links.lyx\"");

    EXPECT_FALSE(HandOverToRunningInstance(name + "-none", "x", 300)) << "no instance: start normally";
}

TEST(SingleInstance, CommandLines) {
    EXPECT_EQ(BuildCommandLine({"/m"}), "/m");
    EXPECT_EQ(BuildCommandLine({"a b.lyx", "c"}), "a b.lyx c");
    EXPECT_TRUE(ParseCommandLine("/m").minimized);
    EXPECT_TRUE(ParseCommandLine("/M").minimized);
    EXPECT_FALSE(ParseCommandLine("-m").minimized) << "only / introduces a switch";
    EXPECT_EQ(ParseCommandLine("  \"/tmp/x y.lyx\" ").path, "/tmp/x y.lyx");
    EXPECT_TRUE(ParseCommandLine("").path.isEmpty());
    EXPECT_TRUE(ParseCommandLine("rel.lyx").path.endsWith("/rel.lyx"));
    EXPECT_TRUE(ParseCommandLine("rel.lyx").path.startsWith("/"));
}

// A command line whose handling shows a box: the box's event loop sees the second start give up
// and hang up; the answer afterwards goes to a connection that is still there, and the channel
// serves the next start.
TEST(SingleInstance, AnAnswerAfterTheOtherSideHungUp) {
    test::EnsureQtApp();
    const QString name = InstanceName() + "-hangup-" + QString::number(QCoreApplication::applicationPid());
    QStringList opened;
    std::atomic<bool> hungUp{false};
    InstanceServer server([] {}, [&](const QString& line) {
        opened << line;
        if (opened.size() > 1)
            return;
        QEventLoop box; // as a message box runs one
        QElapsedTimer timer;
        timer.start();
        while (!hungUp && timer.elapsed() < 5000)
            box.processEvents(QEventLoop::AllEvents, 10);
        // deleteLater of a socket ends in the loop that asked for it
        for (int i = 0; i < 5; ++i)
            box.processEvents(QEventLoop::AllEvents, 10);
    });
    ASSERT_TRUE(server.Listen(name));
    std::thread second([&] {
        QLocalSocket socket;
        socket.connectToServer(name);
        ASSERT_TRUE(socket.waitForConnected(2000));
        socket.write("OPEN /tmp/broken.lyx\n");
        socket.flush();
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
        hungUp = true;
    });
    QElapsedTimer timer;
    timer.start();
    while (!hungUp && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    second.join();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(HandOver(name, "/tmp/next.lyx"));
    EXPECT_EQ(opened.size(), 2);
}
