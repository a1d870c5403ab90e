#include "support/QtTestApp.h"

#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace lynkora;

namespace {

// Runs the hand-over on another thread while this one serves events, as two processes would.
bool HandOver(const QString& name, const QString& line) {
    std::atomic<int> result{-1};
    std::thread second([&] { result = HandOverToRunningInstance(name, line, 2000) ? 1 : 0; });
    QElapsedTimer timer;
    timer.start();
    while (result < 0 && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    second.join();
    return result == 1;
}

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
