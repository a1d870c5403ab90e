#pragma once

#include <string>

namespace lynkora {

// The version text of a program file: the program's own version for its own executable,
// "0.0.0.0" for any other file (no other file carries version information here).
std::string FileVersion(const std::string& path);
// The description of a program file: the program's own for its executable, else empty.
std::string FileDescription(const std::string& path);

// The full path with every component as the file system stores it; fails with
// "Path <path> does not exist!" when some component is missing.
std::string LongPathForm(const std::string& path);

// The path of the running program.
std::string ProgramPath();

} // namespace lynkora
