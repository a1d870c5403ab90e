#include "HttpCheck.h"
#include "HttpTransfer.h"

#include <curl/curl.h>

#include <QUrl>

#include <cctype>
#include <chrono>
#include <mutex>

namespace lynkora {

namespace {

// "scheme:" at the start, where what follows the colon is not a port number ("host:8080").
bool HasScheme(const std::string& url) {
    const auto colon = url.find(':');
    if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(url[0])))
        return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = url[i];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
            return false;
    }
    if (url.compare(colon, 3, "://") == 0)
        return true;
    std::size_t i = colon + 1;
    while (i < url.size() && std::isdigit(static_cast<unsigned char>(url[i])))
        ++i;
    const bool port = i > colon + 1 && (i == url.size() || url[i] == '/' || url[i] == '?');
    return !port;
}

} // namespace

HttpCheck::HttpCheck() {
    HttpGlobalInit();
    m_multi = curl_multi_init();
}

HttpCheck::~HttpCheck() { curl_multi_cleanup(static_cast<CURLM*>(m_multi)); }

void HttpCheck::Stop() {
    m_stop = true;
    curl_multi_wakeup(static_cast<CURLM*>(m_multi));
}

std::string HttpCheck::NormalizeUrl(const std::string& raw, std::string& error) {
    std::string url = raw;
    while (!url.empty() && static_cast<unsigned char>(url.back()) <= ' ')
        url.pop_back();
    std::size_t first = 0;
    while (first < url.size() && static_cast<unsigned char>(url[first]) <= ' ')
        ++first;
    url = url.substr(first);
    if (!HasScheme(url))
        url = "http://" + url; // what a browser asks for an address typed without one
    CURLU* u = curl_url();
    CURLUcode rc = curl_url_set(u, CURLUPART_URL, url.c_str(),
                                CURLU_URLENCODE | CURLU_NON_SUPPORT_SCHEME);
    std::string out;
    if (rc == CURLUE_OK) {
        char* host = nullptr;
        if (curl_url_get(u, CURLUPART_HOST, &host, 0) == CURLUE_OK && host) {
            // The host in punycode, whatever the process locale.
            const QByteArray ace = QUrl::toAce(QString::fromUtf8(host));
            if (!ace.isEmpty())
                curl_url_set(u, CURLUPART_HOST, ace.constData(), 0);
            curl_free(host);
        }
        char* full = nullptr;
        rc = curl_url_get(u, CURLUPART_URL, &full, 0);
        if (rc == CURLUE_OK && full) {
            out = full;
            curl_free(full);
        }
    }
    if (rc != CURLUE_OK)
        error = std::string("The URL is not valid: ") + curl_url_strerror(rc);
    curl_url_cleanup(u);
    return out;
}

HttpCheckResult HttpCheck::Request(const HttpCheckRequest& req, const std::string& url, bool head,
                                   long timeoutMs, long spentMs) {
    HttpTransfer transfer(req, url, head, timeoutMs, spentMs);
    auto* easy = static_cast<CURL*>(transfer.Easy());
    auto* multi = static_cast<CURLM*>(m_multi);
    curl_multi_add_handle(multi, easy);
    CURLcode code = CURLE_OK;
    bool done = false;
    while (!done && !m_stop) {
        int running = 0;
        curl_multi_perform(multi, &running);
        int queued = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &queued)) {
            if (msg->msg != CURLMSG_DONE || msg->easy_handle != easy)
                continue;
            if (transfer.NextHop(msg->data.result)) {
                curl_multi_remove_handle(multi, easy);
                curl_multi_add_handle(multi, easy);
                continue;
            }
            code = msg->data.result;
            done = true;
        }
        if (!done && !m_stop)
            curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
    curl_multi_remove_handle(multi, easy);
    if (!done) {
        HttpCheckResult result;
        result.errorText = "Verfication aborted";
        return result;
    }
    return transfer.Result(code);
}

HttpCheckResult HttpCheck::Run(const HttpCheckRequest& req) {
    HttpCheckResult result;
    const std::string url = NormalizeUrl(req.url, result.errorText);
    if (url.empty())
        return result;
    const auto start = std::chrono::steady_clock::now();
    result = Request(req, url, true, req.totalTimeoutMs);
    if (m_stop || (result.statusCode > 0 && result.statusCode < 400))
        return result;
    const long spent = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                             std::chrono::steady_clock::now() - start)
                                             .count());
    const long left = req.totalTimeoutMs - spent;
    if (left <= 0)
        return result;
    return Request(req, url, false, left, spent); // the GET's outcome replaces the HEAD's
}

} // namespace lynkora
