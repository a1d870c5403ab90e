#include "MultiCheck.h"

#include "HttpTransfer.h"
#include "StatusText.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <utility>

namespace lynkora {

using Clock = std::chrono::steady_clock;

struct MultiCheck::Flight {
    Job job;
    Clock::time_point start;
    std::unique_ptr<HttpTransfer> transfer;
};

MultiCheck::MultiCheck(int connections, int perHost, HttpCheckRequest base, Events events)
    : m_connections(std::max(1, connections)), m_perHost(std::max(1, perHost)), m_base(std::move(base)),
      m_events(std::move(events)) {
    HttpGlobalInit();
    m_multi = curl_multi_init();
    m_thread = std::thread([this] { Loop(); });
}

MultiCheck::~MultiCheck() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    curl_multi_wakeup(static_cast<CURLM*>(m_multi));
    m_thread.join();
    for (auto& [easy, flight] : m_flights)
        curl_multi_remove_handle(static_cast<CURLM*>(m_multi), static_cast<CURL*>(easy));
    m_flights.clear();
    curl_multi_cleanup(static_cast<CURLM*>(m_multi));
}

std::string MultiCheck::HostOf(const std::string& url) {
    std::string host;
    CURLU* u = curl_url();
    char* part = nullptr;
    if (curl_url_set(u, CURLUPART_URL, url.c_str(), CURLU_NON_SUPPORT_SCHEME) == CURLUE_OK &&
        curl_url_get(u, CURLUPART_HOST, &part, 0) == CURLUE_OK && part) {
        host = part;
        curl_free(part);
    }
    curl_url_cleanup(u);
    for (char& c : host)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return host;
}

void MultiCheck::Submit(std::uint64_t ticket, const std::string& url) {
    Job job;
    job.ticket = ticket;
    job.url = HttpCheck::NormalizeUrl(url, job.error);
    // A URL that is not valid waits for its turn like the others, under a name no host has.
    job.host = job.url.empty() ? std::string("\x01") : HostOf(job.url);
    {
        std::lock_guard lock(m_mutex);
        job.seq = m_nextSeq++;
        auto& queue = m_waiting[job.host];
        const bool wasEmpty = queue.empty();
        queue.push_back(std::move(job));
        if (wasEmpty && m_busy[queue.back().host] < m_perHost)
            m_ready.insert({queue.back().seq, queue.back().host});
    }
    curl_multi_wakeup(static_cast<CURLM*>(m_multi));
}

std::vector<std::uint64_t> MultiCheck::CancelPending() {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> taken; // (seq, ticket)
    {
        std::lock_guard lock(m_mutex);
        for (auto& [host, queue] : m_waiting)
            for (const Job& job : queue)
                taken.emplace_back(job.seq, job.ticket);
        m_waiting.clear();
        m_ready.clear();
    }
    std::sort(taken.begin(), taken.end());
    std::vector<std::uint64_t> tickets;
    tickets.reserve(taken.size());
    for (const auto& [seq, ticket] : taken)
        tickets.push_back(ticket);
    return tickets;
}

void MultiCheck::AbandonRunning() {
    {
        std::lock_guard lock(m_mutex);
        m_abandon = true;
    }
    curl_multi_wakeup(static_cast<CURLM*>(m_multi));
}

void MultiCheck::Launch(Flight& flight, bool head, long timeoutMs, long spentMs) {
    flight.transfer = std::make_unique<HttpTransfer>(m_base, flight.job.url, head, timeoutMs, spentMs);
    void* easy = flight.transfer->Easy();
    curl_multi_add_handle(static_cast<CURLM*>(m_multi), static_cast<CURL*>(easy));
}

void MultiCheck::Finish(Flight& flight, const HttpCheckResult& result, Events_& events) {
    events.push_back({flight.job.ticket, true, result});
    std::lock_guard lock(m_mutex);
    const std::string& host = flight.job.host;
    const int busy = --m_busy[host];
    // The host has room again: its next waiting check may start.
    const auto waiting = m_waiting.find(host);
    if (busy < m_perHost && waiting != m_waiting.end() && !waiting->second.empty())
        m_ready.insert({waiting->second.front().seq, host});
}

void MultiCheck::StartReady(Events_& events) {
    for (;;) {
        Job job;
        {
            std::lock_guard lock(m_mutex);
            if (m_ready.empty() || static_cast<int>(m_flights.size()) >= m_connections)
                return;
            const auto first = m_ready.begin();
            const std::string host = first->second;
            m_ready.erase(first);
            auto& queue = m_waiting[host];
            job = std::move(queue.front());
            queue.pop_front();
            const int busy = ++m_busy[host];
            if (!queue.empty() && busy < m_perHost)
                m_ready.insert({queue.front().seq, host});
            if (queue.empty())
                m_waiting.erase(host);
        }
        events.push_back({job.ticket, false, {}});
        auto flight = std::make_unique<Flight>();
        flight->job = std::move(job);
        flight->start = Clock::now();
        if (flight->job.url.empty()) {
            HttpCheckResult invalid;
            invalid.errorText = flight->job.error;
            Finish(*flight, invalid, events);
            continue;
        }
        Launch(*flight, true, m_base.totalTimeoutMs);
        void* easy = flight->transfer->Easy();
        m_flights[easy] = std::move(flight);
    }
}

void MultiCheck::Loop() {
    auto* multi = static_cast<CURLM*>(m_multi);
    for (;;) {
        bool abandon = false;
        {
            std::lock_guard lock(m_mutex);
            if (m_quit)
                return;
            abandon = std::exchange(m_abandon, false);
        }
        Events_ events;
        if (abandon) {
            HttpCheckResult aborted;
            aborted.errorText = kAbandonedText;
            for (auto& [easy, flight] : m_flights) {
                curl_multi_remove_handle(multi, static_cast<CURL*>(easy));
                Finish(*flight, aborted, events);
            }
            m_flights.clear();
        }
        StartReady(events);
        int running = 0;
        curl_multi_perform(multi, &running);
        int queued = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &queued)) {
            if (msg->msg != CURLMSG_DONE)
                continue;
            const auto it = m_flights.find(msg->easy_handle);
            if (it == m_flights.end())
                continue;
            Flight& flight = *it->second;
            if (flight.transfer->NextHop(msg->data.result)) {
                curl_multi_remove_handle(multi, msg->easy_handle);
                curl_multi_add_handle(multi, msg->easy_handle);
                continue;
            }
            const HttpCheckResult result = flight.transfer->Result(msg->data.result);
            curl_multi_remove_handle(multi, msg->easy_handle);
            const bool headOnly = flight.transfer->Head();
            const long spent = static_cast<long>(
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - flight.start).count());
            const long left = m_base.totalTimeoutMs - spent;
            // HEAD without a status, or with one of 400 or more: the GET's outcome replaces it.
            if (headOnly && !(result.statusCode > 0 && result.statusCode < 400) && left > 0) {
                std::unique_ptr<Flight> again = std::move(it->second);
                m_flights.erase(it);
                Launch(*again, false, left, spent);
                void* easy = again->transfer->Easy();
                m_flights[easy] = std::move(again);
                continue;
            }
            Finish(flight, result, events);
            m_flights.erase(it);
        }
        // Room freed by finished checks is filled before waiting.
        StartReady(events);
        for (const Event& e : events) {
            if (e.finished && m_events.finished)
                m_events.finished(e.ticket, e.result);
            else if (!e.finished && m_events.started)
                m_events.started(e.ticket);
        }
        if (!events.empty())
            continue; // new transfers want their first perform at once
        curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
}

} // namespace lynkora
