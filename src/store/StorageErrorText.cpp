#include "StorageErrorText.h"

#include <cstdio>

namespace lynkora {

namespace {

struct CodeText {
    std::uint32_t code;
    const char* text;
};

constexpr CodeText kTexts[] = {
    {0x00030200, "The underlying file was converted to compound file format"},
    {0x00030201, "The storage operation should block until more data is available"},
    {0x00030202, "The storage operation should retry immediately"},
    {0x00030203, "The notified event sink will not influence the storage operation"},
    {0x80030001, "Unable to perform the requested operation"},
    {0x80030002, "The file could not be found"},
    {0x80030003, "The path could not be found"},
    {0x80030004, "There are insufficient resources to open another file"},
    {0x80030005, "Access denied"},
    {0x80030006, "Attempted an operation on an invalid object"},
    {0x80030008, "There is insufficient memory available to complete operation"},
    {0x80030009, "Invalid pointer operation"},
    {0x80030012, "There are no more entries to return"},
    {0x80030013, "Disk is write-protected"},
    {0x80030019, "An error occurred during a seek operation"},
    {0x8003001D, "A disk error occurred during a write operation"},
    {0x8003001E, "A disk error occurred during a read operation"},
    {0x80030020, "Share violation: The file is already in use"},
    {0x80030021, "Lock violation: The file is already in use"},
    {0x80030050, "Storage element already exists"},
    {0x80030057, "Invalid parameter error"},
    {0x80030070, "There is insufficient disk space to complete operation"},
    {0x800300F0, "Illegal write of non-simple property to simple property set"},
    {0x800300FA, "An API call exited abnormally"},
    {0x800300FB, "The file is not a valid Lynkora file (invalid header)"},
    {0x800300FC, "Invalid name"},
    {0x800300FD, "An unexpected error occurred"},
    {0x800300FE, "That function is not implemented"},
    {0x800300FF, "Invalid flag error"},
    {0x80030100, "Attempted to use an object that is busy"},
    {0x80030101, "The storage has been changed since the last commit"},
    {0x80030102, "Attempted to use an object that has ceased to exist"},
    {0x80030103, "Can't save"},
    {0x80030104, "The compound file was produced with an incompatible version of storage"},
    {0x80030105, "The compound file was produced with a newer version of storage"},
    {0x80030106, "Share.exe or equivalent is required for operation"},
    {0x80030107, "Illegal operation called on non-file based storage"},
    {0x80030108, "Illegal operation called on object with extant marshallings"},
    {0x80030109, "The Lynkora file has been corrupted"},
    {0x80030110, "OLE32.DLL has been loaded at the wrong address"},
    {0x80030201, "The file download was aborted abnormally.  The file is incomplete"},
    {0x80030202, "The file download has been terminated"},
};

} // namespace

std::string StorageErrorText(std::uint32_t code) {
    std::string text;
    for (const auto& entry : kTexts)
        if (entry.code == code)
            text = entry.text;
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, " (OLE Error %X).", static_cast<unsigned>(code));
    return text + suffix;
}

} // namespace lynkora
