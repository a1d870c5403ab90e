#include "VerThread.h"

#include "Connectivity.h"

namespace lynkora {

TVerThread::TVerThread(Inputs inputs, ErrorCallback onError, DoneCallback onTerminate)
    : m_inputs(std::move(inputs)), m_onError(std::move(onError)),
      m_onTerminate(std::move(onTerminate)) {
    m_thread = std::thread([this] {
        Execute();
        if (m_onTerminate)
            m_onTerminate();
    });
}

TVerThread::~TVerThread() {
    Terminate();
    Join();
}

void TVerThread::Terminate() {
    m_terminated = true;
    m_check.Stop();
}

void TVerThread::Join() {
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

void TVerThread::Execute() {
    if (m_terminated)
        return;
    std::string offlineText;
    if (m_inputs.probe && m_inputs.probe->IsOffline(offlineText)) {
        m_errorText = offlineText;
        if (m_onError)
            m_onError(m_errorText);
        return;
    }
    if (m_terminated)
        return;
    const HttpCheckResult result = m_check.Run(m_inputs.request);
    if (m_terminated)
        return;
    m_statusCode = result.statusCode;
    m_errorText = result.errorText;
    if (m_statusCode == 0 && m_onError)
        m_onError(m_errorText);
}

} // namespace lynkora
