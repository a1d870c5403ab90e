#include "ProtectedFiles.h"

#include "Errors.h"
#include "FileReplace.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <mutex>

namespace lynkora {

namespace {

// Data files are opened on the window's loading worker and written from its own thread.
std::mutex& RegistryLock() {
    static std::mutex lock;
    return lock;
}

std::vector<std::string>& Registry() {
    static std::vector<std::string> paths;
    return paths;
}

std::string AbsoluteName(const std::string& path) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
    return ec ? path : p.lexically_normal().string();
}

} // namespace

ProtectedDataFile::ProtectedDataFile(std::string path) : m_path(std::move(path)) {
    const std::lock_guard<std::mutex> hold(RegistryLock());
    Registry().push_back(m_path);
}

ProtectedDataFile::~ProtectedDataFile() {
    const std::lock_guard<std::mutex> hold(RegistryLock());
    auto& paths = Registry();
    const auto it = std::find(paths.begin(), paths.end(), m_path);
    if (it != paths.end())
        paths.erase(it);
}

WriteTargetCheck::WriteTargetCheck() {
    std::vector<std::string> owners;
    {
        const std::lock_guard<std::mutex> hold(RegistryLock());
        owners = Registry();
    }
    for (const std::string& owner : owners) {
        std::vector<std::string> names = {owner};
        for (const char* ext : {".$ly", ".ly_", ".$sv", ".$$$", ".$im", ".$bk"})
            names.push_back(SideFileName(owner, ext));
        for (const std::string& name : names) {
            Entry e;
            e.owner = owner;
            e.name = AbsoluteName(name);
            struct stat st {};
            if (::stat(name.c_str(), &st) == 0) {
                e.exists = true;
                e.device = st.st_dev;
                e.inode = st.st_ino;
            }
            m_entries.push_back(std::move(e));
        }
    }
}

std::string WriteTargetCheck::Owner(const std::string& target) const {
    if (m_entries.empty())
        return {};
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    const std::string name = AbsoluteName(target);
    for (const Entry& e : m_entries) {
        if (exists && e.exists && e.device == st.st_dev && e.inode == st.st_ino)
            return e.owner;
        if (e.name == name)
            return e.owner;
    }
    return {};
}

std::string ProtectedTargetReason(const std::string& owner) {
    return "it is the data file " + owner + " or one of its working files, which Lynkora cannot overwrite. "
           "Please choose another file.";
}

void WriteTargetCheck::Refuse(const std::string& target) const {
    const std::string owner = Owner(target);
    if (!owner.empty())
        throw ELynkora("Could not write " + target + ": " + ProtectedTargetReason(owner));
}

void RefuseProtectedTarget(const std::string& target) { WriteTargetCheck().Refuse(target); }

} // namespace lynkora
