#include "CheckPool.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QPointer>

namespace lynkora {

TVerifyPool::TVerifyPool(QObject* parent) : QObject(parent) {}

TVerifyPool::~TVerifyPool() { m_checks.reset(); } // joins; queued events die with this object

void TVerifyPool::Submit(std::uint64_t ticket, const std::string& url) {
    if (!m_checks) {
        MultiCheck::Events events;
        // The worker's events are queued to this object's thread, in the order it sent them.
        const std::uint64_t generation = ++m_generation;
        events.started = [this, generation](std::uint64_t t) {
            QMetaObject::invokeMethod(this, [this, t, generation] {
                if (generation != m_generation)
                    return; // from a run that has ended
                if (OnStarted)
                    OnStarted(t);
                Deliver();
            }, Qt::QueuedConnection);
        };
        events.finished = [this, generation](std::uint64_t t, const HttpCheckResult& r) {
            const CheckOutcome outcome{r.statusCode, r.errorText};
            QMetaObject::invokeMethod(this, [this, t, outcome, generation] {
                if (generation != m_generation)
                    return;
                if (OnFinished)
                    OnFinished(t, outcome);
                Deliver();
            }, Qt::QueuedConnection);
        };
        m_checks = std::make_unique<MultiCheck>(Connections, PerHost, Base, std::move(events));
    }
    m_checks->Submit(ticket, url);
}

std::vector<std::uint64_t> TVerifyPool::CancelPending() {
    return m_checks ? m_checks->CancelPending() : std::vector<std::uint64_t>();
}

void TVerifyPool::AbandonRunning() {
    if (m_checks)
        m_checks->AbandonRunning();
}

void TVerifyPool::Deliver() {
    if (m_loop && m_done && (*m_done)())
        m_loop->quit();
}

void TVerifyPool::RunUntil(const std::function<bool()>& done) {
    if (!done()) {
        QEventLoop loop;
        m_loop = &loop;
        m_done = &done;
        loop.exec();
        m_loop = nullptr;
        m_done = nullptr;
    }
    // The run is over: the worker and anything it still had go, so the next run starts fresh
    // with the settings of its time.
    m_checks.reset();
    ++m_generation;
}

} // namespace lynkora
