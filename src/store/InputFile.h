#pragma once

#include <cstddef>
#include <string>

namespace lynkora {

// A file given to read (an import source), read piece by piece so a large one is never held
// whole. Fails with "Could not read PATH: the system's reason" when it cannot be opened or read,
// and refuses what is not a regular file (a FIFO would wait for ever) before reading it.
class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Up to `size` bytes into `buffer`; 0 at the end.
    std::size_t Read(char* buffer, std::size_t size);
    // Appends up to `size` bytes to `out`; false at the end.
    bool AppendTo(std::string& out, std::size_t size);
    // Back to the first byte.
    void Rewind();
    // The size the file had when opened (a hint: it may still grow or shrink).
    std::size_t SizeHint() const { return m_size; }
    const std::string& Path() const { return m_path; }

private:
    [[noreturn]] void Fail(int err) const;

    std::string m_path;
    int m_fd = -1;
    std::size_t m_size = 0;
};

} // namespace lynkora
