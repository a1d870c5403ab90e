#pragma once

#include "Connectivity.h"
#include "UrlChecker.h"
#include "VerThread.h"

#include <QObject>

#include <memory>
#include <string>

class QEventLoop;

namespace lynkora {

// The controller through which the user-interface thread starts, waits for and abandons a
// check. At most one worker runs at a time.
class TVerifyURL : public QObject, public UrlChecker {
public:
    explicit TVerifyURL(QObject* parent = nullptr);
    ~TVerifyURL() override;

    std::string URL;
    std::string ProxyServer;
    std::string ProxyPort;
    std::string ProxyUser;
    std::string ProxyPass;
    // With Wait, Verify returns when the check has ended, dispatching events meanwhile.
    bool Wait = true;
    int StatusCode = 0;
    std::string ResponseText;
    // Trusted authorities beyond the system's (tests), and the connectivity test to run.
    std::string CaFile;
    const ConnectivityProbe* Probe = nullptr;

    void Verify();
    // Abandons the running check: its outcome is status 0 and, with the text,
    // "Verfication aborted", whatever the worker still finds.
    void Abort(bool withText);
    bool Running() const { return m_worker != nullptr; }

    // UrlChecker
    CheckOutcome Check(const std::string& url) override;
    void Abandon(bool withText) override { Abort(withText); }

private:
    void OnWorkerError(const std::string& message);
    void OnWorkerDone();

    std::unique_ptr<TVerThread> m_worker;
    bool m_abandoned = false;
    QEventLoop* m_loop = nullptr;
};

} // namespace lynkora
