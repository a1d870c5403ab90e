#pragma once

// For the readers that take a path: the input as a file of its own, one per fuzzing process.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <unistd.h>

inline const std::string& FuzzFile(const std::uint8_t* data, std::size_t size, const char* ext) {
    static const std::string path = "/tmp/lynkora-fuzz-" + std::to_string(::getpid()) + ext;
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                  static_cast<std::streamsize>(size));
    return path;
}
