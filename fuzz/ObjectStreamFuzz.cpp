// libFuzzer target: a category's object stream (the DATA of a category storage) read into a
// category object, then written and read again: once written, a category must read back to the
// same bytes (the first write may drop what equals a default, such as an empty Parent).
#include "store/Folder.h"
#include "store/ObjectStream.h"

#include <cstdint>
#include <cstdlib>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lynkora::TISFolder folder;
    try {
        lynkora::ObjectStream::ReadObject(std::string_view(reinterpret_cast<const char*>(data), size), folder);
    } catch (const std::exception&) {
        return 0;
    }
    lynkora::TISFolder normal;
    lynkora::ObjectStream::ReadObject(lynkora::ObjectStream::WriteObject(folder), normal);
    const std::string once = lynkora::ObjectStream::WriteObject(normal);
    lynkora::TISFolder again;
    lynkora::ObjectStream::ReadObject(once, again);
    if (lynkora::ObjectStream::WriteObject(again) != once)
        std::abort();
    return 0;
}
