#include "HttpTransfer.h"

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

#include <algorithm>
#include <mutex>

namespace lynkora {

void HttpGlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

namespace {

constexpr const char* kAgent = "Mozilla/4.0 (Compatible)";

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
using HeaderState = HttpTransfer::HeaderState;

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
    curl_easy_getinfo(static_cast<CURL*>(state->easy), CURLINFO_RESPONSE_CODE, &code);
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

} // namespace

HttpTransfer::HttpTransfer(const HttpCheckRequest& req, const std::string& url, bool head, long timeoutMs)
    : m_head(head) {
    static_assert(sizeof(m_errorBuffer) >= CURL_ERROR_SIZE);
    HttpGlobalInit();
    CURL* easy = curl_easy_init();
    m_easy = easy;
    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, "Accept: text/html, */*");
    headers = curl_slist_append(headers, "Cache-Control: no-cache");
    headers = curl_slist_append(headers, "Pragma: no-cache");
    m_headers = headers;
    m_state.easy = easy;

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
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, m_errorBuffer);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, std::min(req.connectTimeoutMs, timeoutMs));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, SslContext);
    if (!req.caFile.empty())
        curl_easy_setopt(easy, CURLOPT_CAINFO, req.caFile.c_str());
    m_proxy = req.proxyServer.empty() ? std::string() : "http://" + req.proxyServer + ":" + req.proxyPort;
    curl_easy_setopt(easy, CURLOPT_PROXY, m_proxy.c_str());
    if (!m_proxy.empty()) {
        curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, req.proxyUser.c_str());
        curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, req.proxyPassword.c_str());
        curl_easy_setopt(easy, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
        curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    }
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, DiscardBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &m_bodyRead);
    if (head) {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader);
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, &m_state);
    }
}

HttpTransfer::~HttpTransfer() {
    curl_slist_free_all(static_cast<curl_slist*>(m_headers));
    curl_easy_cleanup(static_cast<CURL*>(m_easy));
}

HttpCheckResult HttpTransfer::Result(int rawCode) const {
    HttpCheckResult result;
    const auto code = static_cast<CURLcode>(rawCode);
    if (code == CURLE_OK || (code == CURLE_WRITE_ERROR && m_state.finalHeadersDone)) {
        long status = 0;
        curl_easy_getinfo(static_cast<CURL*>(m_easy), CURLINFO_RESPONSE_CODE, &status);
        result.statusCode = static_cast<int>(status);
    } else {
        result.errorText = m_errorBuffer[0] ? m_errorBuffer : curl_easy_strerror(code);
    }
    return result;
}

} // namespace lynkora
