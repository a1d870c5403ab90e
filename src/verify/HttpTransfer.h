#pragma once

#include "HttpCheck.h"

#include <cstddef>
#include <string>

namespace lynkora {

// libcurl's one-time set-up, before the first handle.
void HttpGlobalInit();

// One HEAD or GET request of a check as a libcurl easy handle, configured as every check asks
// (agent, headers, HTTP/1.0, redirects, tolerant certificates, proxy, no body read), ready to
// be added to a multi handle. Whoever runs it hands the transfer's end code to Result().
class HttpTransfer {
public:
    HttpTransfer(const HttpCheckRequest& request, const std::string& url, bool head, long timeoutMs);
    ~HttpTransfer();
    HttpTransfer(const HttpTransfer&) = delete;
    HttpTransfer& operator=(const HttpTransfer&) = delete;

    void* Easy() const { return m_easy; } // CURL*
    bool Head() const { return m_head; }
    // The outcome once the transfer has ended with the code (a CURLcode).
    HttpCheckResult Result(int code) const;

    // Where the final response's headers are in; public for libcurl's callbacks.
    struct HeaderState {
        void* easy = nullptr;
        bool sawLocation = false;
        bool finalHeadersDone = false;
    };

private:
    void* m_easy = nullptr;
    void* m_headers = nullptr; // curl_slist*
    bool m_head;
    HeaderState m_state;
    std::size_t m_bodyRead = 0;
    std::string m_proxy;
    char m_errorBuffer[256] = {};
};

} // namespace lynkora
