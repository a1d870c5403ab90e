#include "ClassRegistry.h"

#include "NameCollator.h"

#include <map>
#include <mutex>

namespace lynkora::ClassRegistry {

namespace {

struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        return CompareAsciiNoCase(a, b) < 0;
    }
};

std::mutex g_mutex;
std::map<std::string, Factory, NoCaseLess>& table() {
    static std::map<std::string, Factory, NoCaseLess> classes;
    return classes;
}

} // namespace

void Register(const std::string& className, Factory factory) {
    std::lock_guard lock(g_mutex);
    table()[className] = std::move(factory);
}

void Unregister(const std::string& className) {
    std::lock_guard lock(g_mutex);
    table().erase(className);
}

std::unique_ptr<StreamObject> Create(std::string_view className) {
    Factory factory;
    {
        std::lock_guard lock(g_mutex);
        auto it = table().find(className);
        if (it == table().end())
            return nullptr;
        factory = it->second;
    }
    return factory();
}

} // namespace lynkora::ClassRegistry
