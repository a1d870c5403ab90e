// libFuzzer target: a category's object stream (the DATA of a category storage) read into a
// category object, then written and read again: what was read must survive a round trip.
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
    const std::string once = lynkora::ObjectStream::WriteObject(folder);
    lynkora::TISFolder again;
    lynkora::ObjectStream::ReadObject(once, again);
    if (lynkora::ObjectStream::WriteObject(again) != once)
        std::abort();
    return 0;
}
