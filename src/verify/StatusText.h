#pragma once

#include <string>

namespace lynkora {

inline constexpr const char* kVerifiedText = "Verfication successful.";
inline constexpr const char* kAbandonedText = "Verfication aborted";
inline constexpr const char* kRunAbortedText = "Verification aborted.";
inline constexpr const char* kFinishedText =
    "Lynkora has finished verifying your internet shortcuts.      ";

// The result text for an HTTP status ("404: Not found"); empty for a status without one.
std::string StatusText(int status);

} // namespace lynkora
