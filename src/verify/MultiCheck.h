#pragma once

#include "HttpCheck.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace lynkora {

// Many checks at once on one libcurl multi handle, in one worker thread: up to `connections`
// in flight, at most `perHost` of them to one host, started in the order they were submitted
// (a check whose host is busy waits, the next one of another host goes first). Each check is
// the same HEAD-then-GET as a single check. The events are called on the worker thread.
class MultiCheck {
public:
    struct Events {
        std::function<void(std::uint64_t ticket)> started;
        std::function<void(std::uint64_t ticket, const HttpCheckResult& result)> finished;
    };

    // `base` gives the proxy, certificate authorities and time limits of every check.
    MultiCheck(int connections, int perHost, HttpCheckRequest base, Events events);
    ~MultiCheck(); // abandons what runs and joins; no event comes after it returns
    MultiCheck(const MultiCheck&) = delete;
    MultiCheck& operator=(const MultiCheck&) = delete;

    void Submit(std::uint64_t ticket, const std::string& url);
    // Takes back every check not started yet; their tickets in submission order.
    std::vector<std::uint64_t> CancelPending();
    // Ends every check in flight at once: each finishes with "Verfication aborted".
    void AbandonRunning();

    // The host a check counts against: the normalised URL's host, lower case.
    static std::string HostOf(const std::string& normalizedUrl);

private:
    struct Job {
        std::uint64_t ticket = 0;
        std::uint64_t seq = 0;
        std::string url;   // normalised; empty when it is not valid
        std::string host;
        std::string error; // why the URL is not valid
    };
    struct Flight;
    // What happened in one turn of the loop, in the order it happened.
    struct Event {
        std::uint64_t ticket;
        bool finished;
        HttpCheckResult result;
    };
    using Events_ = std::vector<Event>;

    void Loop();
    void StartReady(Events_& events);
    void Launch(Flight& flight, bool head, long timeoutMs, long spentMs = 0);
    void Finish(Flight& flight, const HttpCheckResult& result, Events_& events);

    const int m_connections;
    const int m_perHost;
    const HttpCheckRequest m_base;
    const Events m_events;
    void* m_multi; // CURLM

    std::mutex m_mutex; // guards what the submitting thread and the worker share
    std::unordered_map<std::string, std::deque<Job>> m_waiting; // per host, in order
    std::set<std::pair<std::uint64_t, std::string>> m_ready;    // (first seq, host) with room
    std::unordered_map<std::string, int> m_busy;                // checks in flight per host
    std::uint64_t m_nextSeq = 0;
    bool m_abandon = false;
    bool m_quit = false;

    std::map<void*, std::unique_ptr<Flight>> m_flights; // by easy handle; worker only
    std::thread m_thread;
};

} // namespace lynkora
