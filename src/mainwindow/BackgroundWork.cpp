#include "BackgroundWork.h"

#include <QApplication>
#include <QEventLoop>

#include <atomic>
#include <exception>
#include <thread>

namespace lynkora {

void RunWhileWindowResponds(const std::function<void()>& work) {
    QEventLoop loop;
    std::exception_ptr failure;
    std::atomic<bool> done{false};
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
        // Queued to the loop: if the loop has not started yet, it finds this waiting.
        QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    QApplication::restoreOverrideCursor();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace lynkora
