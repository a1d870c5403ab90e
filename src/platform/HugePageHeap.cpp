#include "HugePageHeap.h"

#include "store/Sanitizer.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace lynkora {

namespace {

constexpr const char* kTunables = "GLIBC_TUNABLES";
constexpr const char* kMarker = "LYNKORA_HEAP_TUNED"; // "1" plus the tunables found at the first start
constexpr const char* kAsk = "glibc.malloc.hugetlb=1";

// "always" or "madvise" selected: the kernel gives huge pages to regions that ask.
bool HugePagesAvailable() {
    std::ifstream in("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string line;
    std::getline(in, line);
    return line.find("[always]") != std::string::npos || line.find("[madvise]") != std::string::npos;
}

bool NamesLargeFile(char** argv, std::uintmax_t minBytes) {
    for (char** arg = argv + 1; *arg; ++arg) {
        struct stat st {};
        if (::stat(*arg, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::uintmax_t>(st.st_size) >= minBytes)
            return true;
    }
    return false;
}

} // namespace

void UseHugePageHeap(char** argv, std::uintmax_t minInputBytes) {
    if (const char* marker = std::getenv(kMarker)) {
        // The second run: the tunable has been read; children get the first run's environment.
        const std::string before = marker[0] ? marker + 1 : "";
        if (before.empty())
            ::unsetenv(kTunables);
        else
            ::setenv(kTunables, before.c_str(), 1);
        ::unsetenv(kMarker);
        return;
    }
    if (kUnderSanitizer || std::getenv("LYNKORA_SMALL_PAGES") || !argv || !argv[0] || !HugePagesAvailable())
        return;
    if (minInputBytes > 0 && !NamesLargeFile(argv, minInputBytes))
        return;
    const char* existing = std::getenv(kTunables);
    const std::string before = existing ? existing : "";
    if (before.find("glibc.malloc.hugetlb") != std::string::npos)
        return;
    const std::string tunables = before.empty() ? kAsk : before + ":" + kAsk;
    ::setenv(kMarker, ("1" + before).c_str(), 1);
    ::setenv(kTunables, tunables.c_str(), 1);
    ::execv("/proc/self/exe", argv);
    // Could not start again: carry on with the heap as it is.
    ::unsetenv(kMarker);
    if (existing)
        ::setenv(kTunables, before.c_str(), 1);
    else
        ::unsetenv(kTunables);
}

} // namespace lynkora
