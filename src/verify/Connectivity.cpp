#include "Connectivity.h"

#include <cerrno>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>

namespace lynkora {

bool InterfaceProbe::IsOffline(std::string& errorText) const {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        errorText = std::strerror(errno);
        return true;
    }
    bool up = false;
    for (ifaddrs* a = list; a && !up; a = a->ifa_next)
        up = (a->ifa_flags & IFF_UP) && (a->ifa_flags & IFF_RUNNING) && !(a->ifa_flags & IFF_LOOPBACK);
    ::freeifaddrs(list);
    if (!up)
        errorText = std::strerror(ENETDOWN);
    return !up;
}

} // namespace lynkora
