#pragma once

#include "HttpCheck.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace lynkora {

class ConnectivityProbe;

// The worker of one check. Its inputs are fixed before it starts; it reports an error and its
// end through callbacks that the controller delivers on its own thread.
class TVerThread {
public:
    struct Inputs {
        HttpCheckRequest request;
        const ConnectivityProbe* probe = nullptr;
    };
    using ErrorCallback = std::function<void(const std::string& message)>;
    using DoneCallback = std::function<void()>;

    TVerThread(Inputs inputs, ErrorCallback onError, DoneCallback onTerminate);
    ~TVerThread(); // waits for the thread

    // Asks the check to stop: honoured before it starts, after the connectivity test, between
    // HEAD and GET, and at once inside a transfer.
    void Terminate();
    void Join();

    int StatusCode() const { return m_statusCode; }
    const std::string& ErrorText() const { return m_errorText; }

private:
    void Execute();

    Inputs m_inputs;
    ErrorCallback m_onError;
    DoneCallback m_onTerminate;
    HttpCheck m_check;
    std::atomic<bool> m_terminated{false};
    int m_statusCode = 0;
    std::string m_errorText;
    std::thread m_thread;
};

} // namespace lynkora
