#pragma once

#include "cfb/Storage.h"

#include <string>

namespace lynkora::test {

// The tree of a storage in peer_dump.py's format (sorted lines).
std::string DumpTree(const cfb::Storage& root);
// olefile's view of the file, or an empty string with a message in `error`.
std::string PeerDump(const std::string& path, std::string& error);
// Runs a command and returns its exit code, its output in `output`.
int RunCommand(const std::string& command, std::string& output);
// The structure checker from the shared tools, or an empty path.
std::string CfbCheckTool();
bool HaveOlefile();
bool Have7zip();

} // namespace lynkora::test
