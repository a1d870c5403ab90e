#pragma once

#include <filesystem>
#include <string>

namespace lynkora::test {

// The per-process temporary folder that serves as HOME for the tests.
std::filesystem::path TempHome();
// A fresh, empty folder below TempHome().
std::filesystem::path FreshDir(const std::string& name);
// The shared third-party fixtures folder, or an empty path when it is absent.
std::filesystem::path FixturesDir();

} // namespace lynkora::test
