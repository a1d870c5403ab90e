#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace lynkora {

// Receives the error of a background thread. The call runs the handler on the user-interface
// thread (the implementation decides how to get there) and returns when it has finished; the
// worker waits for it.
class ThreadErrorSink {
public:
    virtual ~ThreadErrorSink() = default;
    virtual void HandleThreadError(std::exception_ptr error) = 0;
};

// A one-job worker at the lowest priority that keeps itself alive until its job is done. A
// failure is handed to the sink with its message prefixed by "<tag>ThreadID $XXXXXXXX: ".
class TBackgroundThread : public std::enable_shared_from_this<TBackgroundThread> {
public:
    virtual ~TBackgroundThread() = default;

    // Starts the job; the thread holds a reference to itself until it ends.
    void Start(ThreadErrorSink* sink);
    // Asks the job not to start if it has not yet.
    void Terminate() { m_terminated = true; }
    // Blocks until the job has finished.
    void WaitFor();
    bool Finished() const;
    // The thread's system identifier (0 before it runs).
    unsigned long ThreadID() const { return m_threadId; }

protected:
    explicit TBackgroundThread(std::string tag) : m_tag(std::move(tag)) {}
    virtual void Execute() = 0;
    bool Terminated() const { return m_terminated; }
    // Prefixes the error and runs the sink on it.
    void ReportError(std::exception_ptr error);

private:
    void Run(std::shared_ptr<TBackgroundThread> self);

    std::string m_tag;
    ThreadErrorSink* m_sink = nullptr;
    std::atomic<bool> m_terminated{false};
    std::atomic<unsigned long> m_threadId{0};
    mutable std::mutex m_mutex;
    std::condition_variable m_finishedCv;
    bool m_finished = false;
};

// Adds the thread prefix to an error's message, keeping its kind (a storage error keeps its
// code).
std::exception_ptr PrefixError(std::exception_ptr error, const std::string& prefix);

} // namespace lynkora
