#pragma once

#include "cfb/StorageError.h"

#include <cstdint>
#include <string>

namespace lynkora {

using EStorageError = cfb::StorageError;

// The message shown for a structured-storage result code: the code's text, then
// " (OLE Error %X).".
std::string StorageErrorText(std::uint32_t code);

} // namespace lynkora
