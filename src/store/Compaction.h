#pragma once

#include <string>

namespace lynkora {

// Rewrites a data file with only its live storages and streams, through "<name>.$$$" which is
// renamed over the file once complete; the file is never missing or half written. Fails with
// "Could not delete file <path>" when the file may not be replaced.
void CompactDataFile(const std::string& path);

// Marks a compaction of the file as pending from its creation to its destruction, so opening
// the file waits even before the compacting thread has begun.
class CompactionTicket {
public:
    explicit CompactionTicket(const std::string& path);
    ~CompactionTicket();
    CompactionTicket(const CompactionTicket&) = delete;
    CompactionTicket& operator=(const CompactionTicket&) = delete;

private:
    std::string m_key;
};

// Waits until no compaction of the file runs in this process.
void WaitForCompaction(const std::string& path);
// Waits until no compaction runs in this process (before it ends: a compaction still running
// when the program's globals go would use them after their end).
void WaitForAllCompactions();

} // namespace lynkora
