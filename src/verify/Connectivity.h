#pragma once

#include <string>

namespace lynkora {

// The connectivity test before each check.
class ConnectivityProbe {
public:
    virtual ~ConnectivityProbe() = default;
    // True when offline, with the reason in errorText.
    virtual bool IsOffline(std::string& errorText) const = 0;
};

// Offline when no network interface other than loopback is up.
class InterfaceProbe : public ConnectivityProbe {
public:
    bool IsOffline(std::string& errorText) const override;
};

} // namespace lynkora
