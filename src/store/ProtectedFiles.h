#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace lynkora {

// While one lives, no writer of another format may replace the data file at `path`, its working
// copy, its backup or the side files its saves and imports make. Held by every open data file
// and by the commands that read one to write something else.
class ProtectedDataFile {
public:
    explicit ProtectedDataFile(std::string path);
    ~ProtectedDataFile();
    ProtectedDataFile(const ProtectedDataFile&) = delete;
    ProtectedDataFile& operator=(const ProtectedDataFile&) = delete;

private:
    std::string m_path;
};

// The protected files as they stand when it is made, for a writer about to write a run of
// files. A target is one of them when it is the same file (device and inode, so a symbolic
// link, a hard link or another spelling of the path is caught) or has the same absolute name
// (a side file not made yet).
class WriteTargetCheck {
public:
    WriteTargetCheck();
    // The open data file the target would overwrite; empty when it is none of them.
    std::string Owner(const std::string& target) const;
    bool IsProtected(const std::string& target) const { return !Owner(target).empty(); }
    // Throws ELynkora("Could not write <target>: ...") when the target is protected.
    void Refuse(const std::string& target) const;

private:
    struct Entry {
        std::string owner; // the data file
        std::string name;  // absolute, links resolved as far as the path exists
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
    };
    std::vector<Entry> m_entries;
};

// The same, for a single file.
void RefuseProtectedTarget(const std::string& target);

// Why a target is refused, for writers that report "Could not write <target>: <why>".
std::string ProtectedTargetReason(const std::string& owner);

} // namespace lynkora
