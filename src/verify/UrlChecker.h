#pragma once

#include <string>

namespace lynkora {

struct CheckOutcome {
    int statusCode = 0;
    std::string responseText;
};

// What a verification run needs of the check controller.
class UrlChecker {
public:
    virtual ~UrlChecker() = default;
    // Checks one URL and returns when the check has ended.
    virtual CheckOutcome Check(const std::string& url) = 0;
    // Abandons the check in progress (called while Check is waiting).
    virtual void Abandon(bool withText) = 0;
};

} // namespace lynkora
