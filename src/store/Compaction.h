#pragma once

#include <string>

namespace lynkora {

// Rewrites a data file with only its live storages and streams, through "<name>.$$$" which is
// renamed over the file once complete; the file is never missing or half written. Fails with
// "Could not delete file <path>" when the file may not be replaced.
void CompactDataFile(const std::string& path);

// Waits until no compaction of the file runs in this process.
void WaitForCompaction(const std::string& path);

} // namespace lynkora
