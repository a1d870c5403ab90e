// libFuzzer target: a Netscape bookmark file read into a collection. Any failure must be an
// exception of ours; crashes, hangs, leaks and sanitizer reports are findings.
#include "ImportTargetFuzz.h"

#include "exchange/NetscapeReader.h"

#include <cstdint>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzCollection c;
    try {
        lynkora::ReadNetscapeBookmarks(std::string(reinterpret_cast<const char*>(data), size), *c.target);
    } catch (const std::exception&) {
    }
    return 0;
}
