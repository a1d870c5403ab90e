#pragma once

#include <atomic>
#include <string>

namespace lynkora {

struct HttpCheckRequest {
    std::string url;
    // An HTTP proxy ("" = none: the environment's proxy variables are not obeyed either).
    std::string proxyServer;
    std::string proxyPort;
    std::string proxyUser;
    std::string proxyPassword;
    // An extra file of trusted certificate authorities (tests); empty: the system's.
    std::string caFile;
    long connectTimeoutMs = 10000;
    long totalTimeoutMs = 20000;
};

struct HttpCheckResult {
    int statusCode = 0;    // the final status, 0 when none was obtained
    std::string errorText; // why there is no status
};

// One check of one URL over HTTP/1.0: HEAD, then GET when HEAD gave no status or one of 400 or
// more. Redirects are followed (http and https, at most 10); certificate host-name and date
// errors are tolerated, no others; the response body is never read. Stop() from another thread
// ends a transfer in progress at once.
class HttpCheck {
public:
    HttpCheck();
    ~HttpCheck();
    HttpCheck(const HttpCheck&) = delete;
    HttpCheck& operator=(const HttpCheck&) = delete;

    HttpCheckResult Run(const HttpCheckRequest& request);
    void Stop();
    bool Stopped() const { return m_stop; }

    // The URL as a browser would ask for it: scheme added when missing, host in punycode,
    // path and query percent-encoded where they hold raw spaces or non-ASCII bytes.
    static std::string NormalizeUrl(const std::string& url, std::string& error);

private:
    HttpCheckResult Request(const HttpCheckRequest& request, const std::string& url, bool head,
                            long timeoutMs, long spentMs = 0);

    void* m_multi; // CURLM
    std::atomic<bool> m_stop{false};
};

} // namespace lynkora
