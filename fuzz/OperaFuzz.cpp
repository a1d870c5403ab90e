// libFuzzer target: an Opera hotlist read into a collection.
#include "ImportTargetFuzz.h"

#include "exchange/OperaReader.h"

#include <cstdint>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzCollection c;
    try {
        lynkora::ReadOperaHotlist(std::string(reinterpret_cast<const char*>(data), size), *c.target);
    } catch (const std::exception&) {
    }
    return 0;
}
