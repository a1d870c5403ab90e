#include "HttpCheck.h"

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

#include <QUrl>

#include <cctype>
#include <chrono>
#include <mutex>

namespace lynkora {

namespace {

constexpr const char* kAgent = "Mozilla/4.0 (Compatible)";

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Certificate errors about dates are tolerated, every other one refuses the connection (host
// names are not checked at all: VERIFYHOST is off).
int TolerantVerify(int ok, X509_STORE_CTX* ctx) {
    if (ok)
        return 1;
    const int error = X509_STORE_CTX_get_error(ctx);
    if (error == X509_V_ERR_CERT_HAS_EXPIRED || error == X509_V_ERR_CERT_NOT_YET_VALID) {
        X509_STORE_CTX_set_error(ctx, X509_V_OK);
        return 1;
    }
    return 0;
}

CURLcode SslContext(CURL*, void* sslctx, void*) {
    SSL_CTX_set_verify(static_cast<SSL_CTX*>(sslctx), SSL_VERIFY_PEER, TolerantVerify);
    return CURLE_OK;
}

// Tracks the response headers of a GET so the transfer ends as soon as the final response's
// headers are in: the body is never read.
struct HeaderState {
    CURL* easy = nullptr;
    bool sawLocation = false;
    bool finalHeadersDone = false;
};

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    auto* state = static_cast<HeaderState*>(user);
    const size_t n = size * count;
    std::string line(data, n);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    if (line.rfind("HTTP/", 0) == 0) {
        state->sawLocation = false;
        return n;
    }
    if (line.size() >= 9 && curl_strnequal(line.c_str(), "location:", 9))
        state->sawLocation = true;
    if (!line.empty())
        return n;
    long code = 0;
    curl_easy_getinfo(state->easy, CURLINFO_RESPONSE_CODE, &code);
    const bool interim = code >= 100 && code < 200;
    const bool redirect = code >= 300 && code < 400 && state->sawLocation;
    if (interim || redirect)
        return n;
    state->finalHeadersDone = true;
    return 0; // stops the transfer before the body
}

size_t DiscardBody(char*, size_t size, size_t count, void* user) {
    // Bodies of redirect responses pass through here; a final body never does (see OnHeader),
    // and a HEAD has none.
    auto* read = static_cast<size_t*>(user);
    *read += size * count;
    return *read > (1u << 20) ? 0 : size * count;
}

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
    GlobalInit();
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
                                   long timeoutMs) {
    HttpCheckResult result;
    CURL* easy = curl_easy_init();
    char errorBuffer[CURL_ERROR_SIZE] = {};
    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, "Accept: text/html, */*");
    headers = curl_slist_append(headers, "Cache-Control: no-cache");
    headers = curl_slist_append(headers, "Pragma: no-cache");
    HeaderState state;
    state.easy = easy;
    size_t bodyRead = 0;

    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, ""); // cookie checks in redirect chains
    curl_easy_setopt(easy, CURLOPT_USERAGENT, kAgent);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, std::min(req.connectTimeoutMs, timeoutMs));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, SslContext);
    if (!req.caFile.empty())
        curl_easy_setopt(easy, CURLOPT_CAINFO, req.caFile.c_str());
    const std::string proxy =
        req.proxyServer.empty() ? std::string() : "http://" + req.proxyServer + ":" + req.proxyPort;
    curl_easy_setopt(easy, CURLOPT_PROXY, proxy.c_str());
    if (!proxy.empty()) {
        curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, req.proxyUser.c_str());
        curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, req.proxyPassword.c_str());
        curl_easy_setopt(easy, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
        curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    }
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, DiscardBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &bodyRead);
    if (head) {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader);
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, &state);
    }

    auto* multi = static_cast<CURLM*>(m_multi);
    curl_multi_add_handle(multi, easy);
    CURLcode code = CURLE_OK;
    bool done = false;
    while (!done && !m_stop) {
        int running = 0;
        curl_multi_perform(multi, &running);
        int queued = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &queued)) {
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy) {
                code = msg->data.result;
                done = true;
            }
        }
        if (!done && !m_stop)
            curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
    if (!done) {
        result.errorText = "Verfication aborted";
    } else if (code == CURLE_OK || (code == CURLE_WRITE_ERROR && state.finalHeadersDone)) {
        long status = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        result.statusCode = static_cast<int>(status);
    } else {
        result.errorText = errorBuffer[0] ? errorBuffer : curl_easy_strerror(code);
    }
    curl_multi_remove_handle(multi, easy);
    curl_slist_free_all(headers);
    curl_easy_cleanup(easy);
    return result;
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
    return Request(req, url, false, left); // the GET's outcome replaces the HEAD's
}

} // namespace lynkora
