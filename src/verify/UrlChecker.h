#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lynkora {

struct CheckOutcome {
    int statusCode = 0;
    std::string responseText;
};

// What a verification run needs of the check controller.
class UrlChecker {
public:
    virtual ~UrlChecker() = default;
    // Checks one URL and returns when the check has ended.
    virtual CheckOutcome Check(const std::string& url) = 0;
    // Abandons the check in progress (called while Check is waiting).
    virtual void Abandon(bool withText) = 0;
};

// What a run needs of the checker that keeps several checks in flight. Events arrive on the
// run's thread while RunUntil waits.
class ConcurrentChecker {
public:
    virtual ~ConcurrentChecker() = default;
    std::function<void(std::uint64_t ticket)> OnStarted;
    std::function<void(std::uint64_t ticket, const CheckOutcome& outcome)> OnFinished;

    virtual void Submit(std::uint64_t ticket, const std::string& url) = 0;
    // Takes back the checks not started yet, in submission order.
    virtual std::vector<std::uint64_t> CancelPending() = 0;
    // Every check in flight ends at once with the abandon text.
    virtual void AbandonRunning() = 0;
    // Delivers events until done() holds after one of them.
    virtual void RunUntil(const std::function<bool()>& done) = 0;
};

} // namespace lynkora
