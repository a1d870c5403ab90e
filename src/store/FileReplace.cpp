#include "FileReplace.h"

#include "Errors.h"
#include "TextTools.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>
#include <optional>

namespace lynkora {

namespace {

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void SyncDirectory(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

[[noreturn]] void CannotDelete(const std::string& path) {
    throw ELynkora("Could not delete file " + path);
}

} // namespace

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

void CopyFileBytes(const std::string& from, const std::string& to) {
    // The library copies in the kernel (sendfile) where the system can, by a buffer elsewhere.
    std::error_code error;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
        ::unlink(to.c_str());
        throw ELynkora("Could not write " + to + ": " + error.message());
    }
}

bool DeleteFileIfExists(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + ext;
    return path.substr(0, dot) + ext;
}

std::string SideFileName(const std::string& dataFile, const std::string& ext) {
    const auto slash = dataFile.find_last_of('/');
    const std::string name = slash == std::string::npos ? dataFile : dataFile.substr(slash + 1);
    const bool usual = name.size() > 4 && LowerAscii(name.substr(name.size() - 4)) == ".lyx";
    return usual ? ChangeFileExt(dataFile, ext) : dataFile + ext;
}

void CheckReplaceable(const std::string& path) {
    // Write permission bits, not access(): the superuser may write anything, yet a file marked
    // read-only is the user's wish not to have it replaced.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        throw ELynkora(path + ": is not a regular file; it is not replaced");
    if (::stat(path.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        CannotDelete(path);
    struct stat dir {};
    if (::stat(DirectoryOf(path).c_str(), &dir) == 0 &&
        (dir.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        CannotDelete(path);
}

void RemoveStaleSideFiles(const std::string& path) {
    for (const char* ext : {".$sv", ".$$$", ".$im", ".$bk"}) {
        const std::string side = SideFileName(path, ext);
        struct stat st {};
        if (::lstat(side.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            ::unlink(side.c_str());
    }
}

namespace {

cfb::Storage Replace(const std::string& target, const std::string& tempPath,
                     const std::function<cfb::Storage()>& create,
                     const std::function<void(cfb::Storage&)>& fill) {
    CheckReplaceable(target);
    std::optional<cfb::Storage> fresh;
    try {
        fresh = create();
        fill(*fresh);
        fresh->Sync();
        if (::rename(tempPath.c_str(), target.c_str()) != 0)
            CannotDelete(target);
    } catch (...) {
        try {
            if (fresh)
                fresh->Close();
        } catch (...) {
        }
        DeleteFileIfExists(tempPath);
        throw;
    }
    SyncDirectory(DirectoryOf(target));
    return *fresh;
}

} // namespace

void RenameOver(const std::string& from, const std::string& target) {
    CheckReplaceable(target);
    if (::rename(from.c_str(), target.c_str()) != 0)
        CannotDelete(target);
    SyncDirectory(DirectoryOf(target));
}

cfb::Storage ReplaceWithNewFile(const std::string& target, const std::string& tempPath,
                                const std::function<void(cfb::Storage&)>& fill) {
    return Replace(target, tempPath, [&] { return cfb::CreateCompoundFile(tempPath); }, fill);
}

cfb::Storage ReplaceWithCopy(const std::string& target, const std::string& tempPath, const std::string& source,
                             const std::function<void(cfb::Storage&)>& fill) {
    return Replace(target, tempPath, [&] {
        CopyFileBytes(source, tempPath);
        return cfb::OpenCompoundFile(tempPath, true);
    }, fill);
}

} // namespace lynkora
