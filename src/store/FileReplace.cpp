#include "FileReplace.h"

#include "Errors.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <optional>
#include <vector>

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

namespace {

// Reads and writes in user space: for file systems that cannot copy in the kernel.
bool CopyThroughBuffer(int in, int out) {
    std::vector<char> buf(1 << 20);
    while (true) {
        const ssize_t r = ::read(in, buf.data(), buf.size());
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return false;
        if (r == 0)
            return true;
        for (ssize_t done = 0; done < r;) {
            const ssize_t w = ::write(out, buf.data() + done, static_cast<std::size_t>(r - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w < 0)
                return false;
            done += w;
        }
    }
}

bool CopyDescriptors(int in, int out) {
    bool first = true;
    while (true) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && first && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL))
            return CopyThroughBuffer(in, out);
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        first = false;
    }
}

} // namespace

void CopyFileBytes(const std::string& from, const std::string& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        throw ELynkora("Could not read " + from + ": " + std::strerror(errno));
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        throw ELynkora("Could not write " + to + ": " + std::strerror(err));
    }
    const bool ok = CopyDescriptors(in, out);
    const int err = errno;
    ::close(in);
    if (::close(out) != 0 || !ok) {
        const int closeErr = ok ? errno : err;
        ::unlink(to.c_str());
        throw ELynkora("Could not write " + to + ": " + std::strerror(closeErr));
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
        const std::string side = ChangeFileExt(path, ext);
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
