#include "FileInfo.h"

#include "store/Errors.h"
#include "store/Version.h"

#include <filesystem>
#include <system_error>

namespace lynkora {

namespace fs = std::filesystem;

std::string ProgramPath() {
    std::error_code ec;
    const auto self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.string();
}

namespace {

bool IsProgramFile(const std::string& path) {
    std::error_code ec;
    const std::string self = ProgramPath();
    return !self.empty() && fs::equivalent(path, self, ec) && !ec;
}

} // namespace

std::string FileVersion(const std::string& path) {
    return IsProgramFile(path) ? kProgramVersion : "0.0.0.0";
}

std::string FileDescription(const std::string& path) {
    return IsProgramFile(path) ? "Lynkora internet shortcut manager" : std::string();
}

std::string LongPathForm(const std::string& path) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    if (ec || !fs::exists(absolute, ec))
        throw ELynkora("Path " + path + " does not exist!");
    const fs::path canonical = fs::canonical(absolute, ec);
    if (ec)
        throw ELynkora("Path " + path + " does not exist!");
    return canonical.string();
}

} // namespace lynkora
