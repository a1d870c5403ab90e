#pragma once

#include "MultiCheck.h"
#include "UrlChecker.h"

#include <QObject>

#include <memory>

class QEventLoop;

namespace lynkora {

// Parallel checks for a run on the user-interface thread: a MultiCheck whose events are
// delivered on this object's thread, and a wait that keeps the window alive meanwhile.
class TVerifyPool : public QObject, public ConcurrentChecker {
public:
    explicit TVerifyPool(QObject* parent = nullptr);
    ~TVerifyPool() override;

    // Taken when the next run starts its checks.
    int Connections = 8;
    int PerHost = 2;
    HttpCheckRequest Base; // proxy, certificate authorities, time limits

    void Submit(std::uint64_t ticket, const std::string& url) override;
    std::vector<std::uint64_t> CancelPending() override;
    void AbandonRunning() override;
    void RunUntil(const std::function<bool()>& done) override;

private:
    void Deliver();

    std::unique_ptr<MultiCheck> m_checks;
    const std::function<bool()>* m_done = nullptr;
    QEventLoop* m_loop = nullptr;
    std::uint64_t m_generation = 0; // events of an ended run are dropped
};

} // namespace lynkora
