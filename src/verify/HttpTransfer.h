#pragma once

#include "HttpCheck.h"

#include <chrono>
#include <cstddef>
#include <string>

namespace lynkora {

// libcurl's one-time set-up, before the first handle.
void HttpGlobalInit();

// One HEAD or GET request of a check as a libcurl easy handle, configured as every check asks
// (agent, headers, HTTP/1.0, tolerant certificates, proxy), ready to be added to a multi handle.
// No body is ever read, not even a redirect's: each response ends with its headers, and a
// redirect is followed by the runner as the next hop of the same handle (NextHop), so cookies
// set on the way are kept. Whoever runs it hands the transfer's end code to NextHop and then
// Result(). `spentMs` is what the check used before this request, for the texts.
class HttpTransfer {
public:
    HttpTransfer(const HttpCheckRequest& request, const std::string& url, bool head, long timeoutMs,
                 long spentMs = 0);
    ~HttpTransfer();
    HttpTransfer(const HttpTransfer&) = delete;
    HttpTransfer& operator=(const HttpTransfer&) = delete;

    void* Easy() const { return m_easy; } // CURL*
    bool Head() const { return m_head; }
    // After a transfer ended with the code: true when it stopped at a redirect that is to be
    // followed, and the handle now asks for its target (remove it from its multi handle and add
    // it again); false when Result() tells the outcome.
    bool NextHop(int code);
    // The outcome once the transfer has ended with the code (a CURLcode).
    HttpCheckResult Result(int code) const;

    // Where the response's headers are; public for libcurl's callbacks.
    struct HeaderState {
        void* easy = nullptr;
        bool sawLocation = false;
        std::string location;      // the last response's Location value
        bool finalHeadersDone = false;
        bool redirectDone = false; // a redirect's headers are in
        bool tooLong = false;      // the headers passed their bound
        std::size_t headerBytes = 0;
    };
    static constexpr std::size_t kMaxHeaderBytes = 64 * 1024;
    static constexpr int kMaxRedirects = 10;

private:
    long ElapsedMs() const;

    void* m_easy = nullptr;
    void* m_headers = nullptr; // curl_slist*
    bool m_head;
    HeaderState m_state;
    std::string m_proxy;
    std::string m_url;
    long m_budgetMs;
    long m_spentMs;
    std::chrono::steady_clock::time_point m_start;
    int m_hops = 0;
    std::string m_hopError; // why a redirect was not followed
    char m_errorBuffer[256] = {};
};

} // namespace lynkora
