#include "NameCollator.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace lynkora {

namespace {

// Collators are installed once at start-up and compared with often: the hot path reads one
// atomic pointer. Every collator ever installed is kept alive so a reader never sees a freed one.
std::atomic<const NameCollator*> g_current{nullptr};
std::mutex g_keepMutex;
std::vector<std::shared_ptr<const NameCollator>>& kept() {
    static std::vector<std::shared_ptr<const NameCollator>> all;
    return all;
}

unsigned char fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

} // namespace

int CompareAsciiNoCase(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = fold(static_cast<unsigned char>(a[i]));
        const unsigned char y = fold(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

int CompareNames(std::string_view a, std::string_view b) {
    const NameCollator* collator = g_current.load(std::memory_order_acquire);
    return collator ? collator->compare(a, b) : CompareAsciiNoCase(a, b);
}

bool SameName(std::string_view a, std::string_view b) { return CompareNames(a, b) == 0; }

void SetNameCollator(std::shared_ptr<const NameCollator> collator) {
    const NameCollator* raw = collator.get();
    if (collator) {
        std::lock_guard lock(g_keepMutex);
        kept().push_back(std::move(collator));
    }
    g_current.store(raw, std::memory_order_release);
}

} // namespace lynkora
