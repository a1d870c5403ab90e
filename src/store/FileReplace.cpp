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
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        throw ELynkora("Could not read " + from + ": " + std::strerror(errno));
    struct stat st {};
    ::fstat(in, &st);
    // The copy is made new: a stale one, or a link put in its place, is removed, never written through.
    ::unlink(to.c_str());
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, st.st_mode & 0666);
    auto fail = [&](int err, bool made) {
        ::close(in);
        if (made) {
            ::close(out);
            ::unlink(to.c_str());
        }
        throw ELynkora("Could not write " + to + ": " + std::strerror(err));
    };
    if (out < 0)
        fail(errno, false);
    // In the kernel where it can; the system's own reason (a full disk says so) when it fails.
    for (bool kernel = true;;) {
        const ssize_t n = kernel ? ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0) : -1;
        if (n > 0)
            continue;
        if (n == 0)
            break;
        if (kernel && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
            kernel = false;
            char buffer[1 << 16];
            for (;;) {
                const ssize_t got = ::read(in, buffer, sizeof buffer);
                if (got == 0)
                    break;
                if (got < 0) {
                    if (errno == EINTR)
                        continue;
                    fail(errno, true);
                }
                for (ssize_t done = 0; done < got;) {
                    const ssize_t put = ::write(out, buffer + done, static_cast<std::size_t>(got - done));
                    if (put < 0 && errno == EINTR)
                        continue;
                    if (put <= 0)
                        fail(put < 0 ? errno : ENOSPC, true);
                    done += put;
                }
            }
            break;
        }
        if (errno == EINTR)
            continue;
        fail(errno, true);
    }
    ::close(in);
    if (::close(out) != 0) {
        const int err = errno;
        ::unlink(to.c_str());
        throw ELynkora("Could not write " + to + ": " + std::strerror(err));
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
    // Whatever stands at the temporary's name (a stale one, or a link put there) goes, and the
    // temporary is made new: nothing is ever written through a link beside the data file.
    DeleteFileIfExists(tempPath);
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
    return Replace(target, tempPath, [&] { return cfb::CreateCompoundFile(tempPath, true); }, fill);
}

cfb::Storage ReplaceWithCopy(const std::string& target, const std::string& tempPath, const std::string& source,
                             const std::function<void(cfb::Storage&)>& fill) {
    return Replace(target, tempPath, [&] {
        CopyFileBytes(source, tempPath);
        return cfb::OpenCompoundFile(tempPath, true);
    }, fill);
}

} // namespace lynkora
