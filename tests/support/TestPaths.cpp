#include "TestPaths.h"

#include <atomic>
#include <cstdlib>

namespace lynkora::test {

std::filesystem::path TempHome() {
    const char* home = std::getenv("HOME");
    return home ? std::filesystem::path(home) : std::filesystem::temp_directory_path();
}

std::filesystem::path FreshDir(const std::string& name) {
    static std::atomic<int> counter{0};
    auto dir = TempHome() / "work" / (name + "-" + std::to_string(counter++));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::filesystem::path FixturesDir() {
    auto dir = std::filesystem::path(LYNKORA_SOURCE_DIR) / ".." / "shared" / "fixtures";
    if (const char* env = std::getenv("LYNKORA_FIXTURES"))
        dir = env;
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec))
        return {};
    return std::filesystem::canonical(dir, ec);
}

} // namespace lynkora::test
