#pragma once

#include <QString>

#include <string>
#include <vector>

namespace lynkora {

// The parameters joined by blanks, trimmed.
QString BuildCommandLine(const std::vector<std::string>& parameters);

// What a command line asks for: minimised start ("/m" or "/M" as a parameter), or a file path
// (quotes removed, trimmed, made absolute).
struct CommandLine {
    bool minimized = false;
    QString path;
};
CommandLine ParseCommandLine(const QString& text);

} // namespace lynkora
