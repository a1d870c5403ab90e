#include "DateTime.h"

#include <chrono>
#include <ctime>

namespace lynkora {

TDateTime NowDateTime() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    // Local wall-clock seconds since the Unix epoch, then shifted to the 1899-12-30 epoch.
    const double localSeconds = static_cast<double>(t) + static_cast<double>(local.tm_gmtoff);
    const double fraction =
        static_cast<double>(duration_cast<microseconds>(now.time_since_epoch()).count() % 1000000) /
        1e6;
    return 25569.0 + (localSeconds + fraction) / 86400.0;
}

} // namespace lynkora
