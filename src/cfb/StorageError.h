#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace lynkora::cfb {

// Structured-storage result codes.
enum StorageCode : std::uint32_t {
    STG_E_INVALIDFUNCTION = 0x80030001,
    STG_E_FILENOTFOUND = 0x80030002,
    STG_E_PATHNOTFOUND = 0x80030003,
    STG_E_TOOMANYOPENFILES = 0x80030004,
    STG_E_ACCESSDENIED = 0x80030005,
    STG_E_INVALIDHANDLE = 0x80030006,
    STG_E_INSUFFICIENTMEMORY = 0x80030008,
    STG_E_INVALIDPOINTER = 0x80030009,
    STG_E_WRITEFAULT = 0x8003001D,
    STG_E_READFAULT = 0x8003001E,
    STG_E_SHAREVIOLATION = 0x80030020,
    STG_E_LOCKVIOLATION = 0x80030021,
    STG_E_FILEALREADYEXISTS = 0x80030050,
    STG_E_INVALIDPARAMETER = 0x80030057,
    STG_E_MEDIUMFULL = 0x80030070,
    STG_E_INVALIDHEADER = 0x800300FB,
    STG_E_INVALIDNAME = 0x800300FC,
    STG_E_UNKNOWN = 0x800300FD,
    STG_E_UNIMPLEMENTEDFUNCTION = 0x800300FE,
    STG_E_INVALIDFLAG = 0x800300FF,
    STG_E_REVERTED = 0x80030102,
    STG_E_OLDFORMAT = 0x80030104,
    STG_E_OLDDLL = 0x80030105,
    STG_E_DOCFILECORRUPT = 0x80030109,
};

// A failed storage operation, carrying its result code.
class StorageError : public std::runtime_error {
public:
    StorageError(std::uint32_t code, const std::string& detail);
    std::uint32_t code() const { return m_code; }
    // The same error with its message prefixed (threads name themselves this way).
    StorageError Prefixed(const std::string& prefix) const;

private:
    struct Raw {};
    StorageError(Raw, std::uint32_t code, const std::string& message)
        : std::runtime_error(message), m_code(code) {}
    std::uint32_t m_code;
};

// The code for an operating-system error number from a file operation.
std::uint32_t CodeFromErrno(int err, bool writing);

} // namespace lynkora::cfb
