#include "InputFile.h"

#include "Errors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lynkora {

InputFile::InputFile(const std::string& path) : m_path(path) {
    m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        Fail(errno);
    struct stat st {};
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(m_fd);
        throw ELynkora("Could not read " + path + ": it is not a regular file");
    }
    m_size = static_cast<std::size_t>(st.st_size);
}

InputFile::~InputFile() { ::close(m_fd); }

void InputFile::Fail(int err) const {
    throw ELynkora("Could not read " + m_path + ": " + std::strerror(err));
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, size);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            Fail(errno);
    }
}

bool InputFile::AppendTo(std::string& out, std::size_t size) {
    const std::size_t old = out.size();
    out.resize(old + size);
    const std::size_t n = Read(out.data() + old, size);
    out.resize(old + n);
    return n > 0;
}

void InputFile::Rewind() {
    if (::lseek(m_fd, 0, SEEK_SET) < 0)
        Fail(errno);
}

} // namespace lynkora
