#include "CompanionLibrary.h"

#include "platform/FileInfo.h"

#include <cstdlib>
#include <mutex>

namespace lynkora {

namespace {

std::mutex g_mutex;
std::string& Override() {
    static std::string dir;
    return dir;
}

} // namespace

void CompanionLibrary::SetDirectory(const std::string& directory) {
    std::lock_guard lock(g_mutex);
    Override() = directory;
    // The companion libraries carry their own copy of this code (the wizard and the export
    // dialog load the resource library too): the environment reaches every copy.
    if (directory.empty())
        ::unsetenv("LYNKORA_COMPANION_DIR");
    else
        ::setenv("LYNKORA_COMPANION_DIR", directory.c_str(), 1);
}

std::string CompanionLibrary::Directory() {
    {
        std::lock_guard lock(g_mutex);
        if (!Override().empty())
            return Override();
    }
    if (const char* env = std::getenv("LYNKORA_COMPANION_DIR"); env && *env)
        return env;
    const std::string program = ProgramPath();
    const auto slash = program.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : program.substr(0, slash);
}

CompanionLibrary::CompanionLibrary(const std::string& baseName) {
    m_fileName = "lib" + baseName + ".so";
    m_library.setFileName(QString::fromStdString(Directory() + "/" + m_fileName));
    m_loaded = m_library.load();
    if (!m_loaded)
        m_error = m_library.errorString().toStdString();
}

CompanionLibrary::~CompanionLibrary() {
    if (m_loaded)
        m_library.unload();
}

std::string LibraryFailedText(const std::string& name, const std::string& error) {
    return "The Dynamic Link Library " + name + " failed to      \ninitialize. Please re-install "
           "Lynkora.\n\n" + error;
}

} // namespace lynkora
