#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// Never touch the real home folder or settings: each test process gets its own.
class TempHomeEnvironment : public ::testing::Environment {
public:
    TempHomeEnvironment() {
        std::string pattern = (std::filesystem::temp_directory_path() / "lynkora-test-XXXXXX");
        if (!mkdtemp(pattern.data()))
            std::abort();
        m_dir = pattern;
        setenv("HOME", m_dir.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (m_dir / ".config").c_str(), 1);
        setenv("XDG_DATA_HOME", (m_dir / ".local/share").c_str(), 1);
        setenv("XDG_CACHE_HOME", (m_dir / ".cache").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", m_dir.c_str(), 1);
        // LYNKORA_TEST_PLATFORM=xcb runs the widget tests on a real X server (pictures under Xvfb).
        const char* platform = std::getenv("LYNKORA_TEST_PLATFORM");
        setenv("QT_QPA_PLATFORM", platform && *platform ? platform : "offscreen", 1);
        std::filesystem::create_directories(m_dir / ".config");
    }
    ~TempHomeEnvironment() override {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

private:
    std::filesystem::path m_dir;
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new TempHomeEnvironment);
    return RUN_ALL_TESTS();
}
