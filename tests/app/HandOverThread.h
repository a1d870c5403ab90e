#pragma once

#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <atomic>
#include <thread>

namespace lynkora::test {

// A second start's hand-over, run on another thread (as another process would) while this one
// serves events, whatever event loop is running; true when the running side answered.
inline bool HandOverFromAnotherThread(const QString& name, const QString& line) {
    std::atomic<int> result{-1};
    std::thread second([&] { result = HandOverToRunningInstance(name, line, 2000) ? 1 : 0; });
    QElapsedTimer timer;
    timer.start();
    while (result < 0 && timer.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    second.join();
    return result == 1;
}

} // namespace lynkora::test
