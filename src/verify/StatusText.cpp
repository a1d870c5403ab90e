#include "StatusText.h"

namespace lynkora {

std::string StatusText(int status) {
    const char* text = nullptr;
    switch (status) {
    case 400: text = "Bad request"; break;
    case 401: text = "Access denied"; break;
    case 402: text = "Payment required"; break;
    case 403: text = "Request forbidden"; break;
    case 404: text = "Not found"; break;
    case 405: text = "Method not allowed"; break;
    case 406: text = "Response not acceptable"; break;
    case 407: text = "Proxy authentication required"; break;
    case 408: text = "Server timed out waiting for request"; break;
    case 409: text = "Conflict"; break;
    case 410: text = "No longer available"; break;
    case 411: text = "Length required"; break;
    case 412: text = "Precondition failed"; break;
    case 413: text = "Request entity too large"; break;
    case 414: text = "Request URI too long"; break;
    case 415: text = "Unsupported media type"; break;
    case 500: text = "Internal server error"; break;
    case 501: text = "Not implemented"; break;
    case 502: text = "Bad gateway"; break;
    case 503: text = "Service (temporarily) unavailable"; break;
    case 504: text = "Gateway timeout"; break;
    case 505: text = "HTTP version not supported"; break;
    default:
        // A code of no known meaning still tells the user it failed, and which it was.
        if (status >= 400 && status <= 999)
            return std::to_string(status) + ": Unknown status code";
        return {};
    }
    return std::to_string(status) + ": " + text;
}

} // namespace lynkora
