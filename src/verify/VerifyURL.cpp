#include "VerifyURL.h"

#include "StatusText.h"

#include <QEventLoop>
#include <QMetaObject>

namespace lynkora {

TVerifyURL::TVerifyURL(QObject* parent) : QObject(parent) {}

TVerifyURL::~TVerifyURL() {
    Abort(false);
    m_worker.reset(); // joins; its queued notifications die with this object
}

void TVerifyURL::Verify() {
    if (m_worker)
        return;
    StatusCode = 0;
    ResponseText.clear();
    m_abandoned = false;
    TVerThread::Inputs inputs;
    inputs.request.url = URL;
    if (!ProxyServer.empty()) {
        inputs.request.proxyServer = ProxyServer;
        inputs.request.proxyPort = ProxyPort;
        inputs.request.proxyUser = ProxyUser;
        inputs.request.proxyPassword = ProxyPass;
    }
    inputs.request.caFile = CaFile;
    inputs.probe = Probe;
    // Notifications arrive on this object's thread, in the order the worker sent them.
    m_worker = std::make_unique<TVerThread>(
        std::move(inputs),
        [this](const std::string& message) {
            QMetaObject::invokeMethod(this, [this, message] { OnWorkerError(message); },
                                      Qt::QueuedConnection);
        },
        [this] { QMetaObject::invokeMethod(this, [this] { OnWorkerDone(); }, Qt::QueuedConnection); });
    if (Wait) {
        QEventLoop loop;
        m_loop = &loop;
        loop.exec();
        m_loop = nullptr;
    }
}

void TVerifyURL::Abort(bool withText) {
    if (!m_worker)
        return;
    m_abandoned = true;
    StatusCode = 0;
    ResponseText = withText ? kAbandonedText : "";
    m_worker->Terminate();
}

void TVerifyURL::OnWorkerError(const std::string& message) {
    if (m_abandoned)
        return;
    ResponseText = message;
    StatusCode = 0;
}

void TVerifyURL::OnWorkerDone() {
    if (!m_worker)
        return;
    m_worker->Join();
    if (!m_abandoned) {
        StatusCode = m_worker->StatusCode();
        ResponseText = m_worker->ErrorText();
    }
    m_worker.reset();
    if (m_loop)
        m_loop->quit();
}

CheckOutcome TVerifyURL::Check(const std::string& url) {
    URL = url;
    Verify();
    return {StatusCode, ResponseText};
}

} // namespace lynkora
