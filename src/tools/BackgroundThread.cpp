#include "BackgroundThread.h"

#include "store/Errors.h"
#include "store/StorageErrorText.h"

#include <cstdio>
#include <pthread.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace lynkora {

std::exception_ptr PrefixError(std::exception_ptr error, const std::string& prefix) {
    try {
        std::rethrow_exception(error);
    } catch (const EStorageError& e) {
        return std::make_exception_ptr(e.Prefixed(prefix));
    } catch (const std::exception& e) {
        return std::make_exception_ptr(ELynkora(prefix + e.what()));
    } catch (...) {
        return std::make_exception_ptr(ELynkora(prefix + "unknown error"));
    }
}

void TBackgroundThread::Start(ThreadErrorSink* sink) {
    m_sink = sink;
    std::thread(&TBackgroundThread::Run, this, shared_from_this()).detach();
}

void TBackgroundThread::Run(std::shared_ptr<TBackgroundThread> self) {
    m_threadId = static_cast<unsigned long>(::syscall(SYS_gettid));
    sched_param param{};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
    if (!m_terminated) {
        try {
            Execute();
        } catch (...) {
            ReportError(std::current_exception());
        }
    }
    {
        std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_finishedCv.notify_all();
    self.reset(); // the thread frees itself here unless someone still holds it
}

void TBackgroundThread::ReportError(std::exception_ptr error) {
    char prefix[48];
    std::snprintf(prefix, sizeof prefix, "%sThreadID $%08lX: ", m_tag.c_str(), m_threadId.load());
    if (m_sink)
        m_sink->HandleThreadError(PrefixError(error, prefix));
}

void TBackgroundThread::WaitFor() {
    std::unique_lock lock(m_mutex);
    m_finishedCv.wait(lock, [&] { return m_finished; });
}

bool TBackgroundThread::Finished() const {
    std::lock_guard lock(m_mutex);
    return m_finished;
}

} // namespace lynkora
