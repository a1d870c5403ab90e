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

// Tracks the response headers so that each transfer ends as soon as a response's headers are
// in: the body is never read. Interim responses (1xx) go on; a redirect's end is marked for the
// runner to follow.
using HeaderState = HttpTransfer::HeaderState;

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    auto* state = static_cast<HeaderState*>(user);
    const size_t n = size * count;
    state->headerBytes += n;
    if (state->headerBytes > HttpTransfer::kMaxHeaderBytes) {
        state->tooLong = true;
        return 0;
    }
    std::string line(data, n);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    if (line.rfind("HTTP/", 0) == 0) {
        state->sawLocation = false;
        return n;
    }
    if (line.size() >= 9 && curl_strnequal(line.c_str(), "location:", 9)) {
        state->sawLocation = true;
        std::size_t from = 9;
        while (from < line.size() && (line[from] == ' ' || line[from] == '\t'))
            ++from;
        state->location = line.substr(from);
    }
    if (!line.empty())
        return n;
    long code = 0;
    curl_easy_getinfo(static_cast<CURL*>(state->easy), CURLINFO_RESPONSE_CODE, &code);
    if (code >= 100 && code < 200) {
        state->headerBytes = 0;
        return n;
    }
    if (code >= 300 && code < 400 && state->sawLocation)
        state->redirectDone = true;
    else
        state->finalHeadersDone = true;
    return 0; // stops the transfer before the body
}

size_t RefuseBody(char*, size_t, size_t, void*) {
    return 0; // a body byte never passes: the transfers end with their headers
}

} // namespace

HttpTransfer::HttpTransfer(const HttpCheckRequest& req, const std::string& url, bool head, long timeoutMs,
                           long spentMs)
    : m_head(head), m_url(url), m_budgetMs(timeoutMs), m_spentMs(spentMs), m_start(std::chrono::steady_clock::now()) {
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
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L); // followed hop by hop, see NextHop
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
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, RefuseBody);
    if (head)
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    else
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &m_state);
}

long HttpTransfer::ElapsedMs() const {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_start).count());
}

bool HttpTransfer::NextHop(int rawCode) {
    if (!m_state.redirectDone || static_cast<CURLcode>(rawCode) != CURLE_WRITE_ERROR)
        return false;
    auto* easy = static_cast<CURL*>(m_easy);
    // The Location resolved against the address that answered it.
    std::string next;
    CURLU* u = curl_url();
    if (curl_url_set(u, CURLUPART_URL, m_url.c_str(), 0) == CURLUE_OK &&
        curl_url_set(u, CURLUPART_URL, m_state.location.c_str(), CURLU_URLENCODE) == CURLUE_OK) {
        char* full = nullptr;
        if (curl_url_get(u, CURLUPART_URL, &full, 0) == CURLUE_OK && full) {
            next = full;
            curl_free(full);
        }
    }
    curl_url_cleanup(u);
    if (++m_hops > kMaxRedirects) {
        m_hopError = "Maximum (" + std::to_string(kMaxRedirects) + ") redirects followed";
        return false;
    }
    if (next.rfind("http://", 0) != 0 && next.rfind("https://", 0) != 0) {
        m_hopError = "A redirect leads to an address that is not http or https: " + next.substr(0, 200);
        return false;
    }
    const long left = m_budgetMs - ElapsedMs();
    if (left <= 0) {
        m_hopError = "Operation timed out after " + std::to_string(m_spentMs + ElapsedMs()) + " milliseconds";
        return false;
    }
    m_url = next;
    m_state = HeaderState{m_easy};
    m_errorBuffer[0] = 0;
    curl_easy_setopt(easy, CURLOPT_URL, m_url.c_str());
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, left);
    return true;
}

HttpTransfer::~HttpTransfer() {
    curl_slist_free_all(static_cast<curl_slist*>(m_headers));
    curl_easy_cleanup(static_cast<CURL*>(m_easy));
}

HttpCheckResult HttpTransfer::Result(int rawCode) const {
    HttpCheckResult result;
    const auto code = static_cast<CURLcode>(rawCode);
    if (!m_hopError.empty()) {
        result.errorText = m_hopError;
    } else if (m_state.tooLong || code == CURLE_OUT_OF_MEMORY) {
        // libcurl refuses a single header line of 100 KB as "out of memory"; both are the server's.
        result.errorText = "The server's response headers are too long";
    } else if (code == CURLE_OPERATION_TIMEDOUT) {
        // The whole check's time, not only this request's share of it.
        result.errorText = "Operation timed out after " + std::to_string(m_spentMs + ElapsedMs()) + " milliseconds";
    } else if (code == CURLE_OK || (code == CURLE_WRITE_ERROR && m_state.finalHeadersDone)) {
        long status = 0;
        curl_easy_getinfo(static_cast<CURL*>(m_easy), CURLINFO_RESPONSE_CODE, &status);
        result.statusCode = static_cast<int>(status);
    } else {
        result.errorText = m_errorBuffer[0] ? m_errorBuffer : curl_easy_strerror(code);
    }
    return result;
}

} // namespace lynkora
