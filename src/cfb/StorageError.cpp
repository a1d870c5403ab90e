#include "StorageError.h"

#include <cerrno>
#include <cstdio>

namespace lynkora::cfb {

namespace {
std::string describe(std::uint32_t code, const std::string& detail) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(code));
    return detail.empty() ? std::string("storage error ") + hex
                          : detail + " (storage error " + hex + ")";
}
} // namespace

StorageError::StorageError(std::uint32_t code, const std::string& detail)
    : std::runtime_error(describe(code, detail)), m_code(code) {}

StorageError StorageError::Prefixed(const std::string& prefix) const {
    return StorageError(Raw{}, m_code, prefix + what());
}

std::uint32_t CodeFromErrno(int err, bool writing) {
    switch (err) {
    case ENOENT:
        return STG_E_FILENOTFOUND;
    case ENOTDIR:
        return STG_E_PATHNOTFOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
        return STG_E_ACCESSDENIED;
    case EROFS:
        return STG_E_ACCESSDENIED;
    case EMFILE:
    case ENFILE:
        return STG_E_TOOMANYOPENFILES;
    case ENOMEM:
        return STG_E_INSUFFICIENTMEMORY;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return STG_E_MEDIUMFULL;
    case EAGAIN:
        return STG_E_SHAREVIOLATION;
    default:
        return writing ? STG_E_WRITEFAULT : STG_E_READFAULT;
    }
}

} // namespace lynkora::cfb
