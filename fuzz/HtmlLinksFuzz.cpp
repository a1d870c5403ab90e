// libFuzzer target: the link scan of an HTML page, as a page import reads it.
#include "FuzzFile.h"

#include "exchange/PreviewReaders.h"

#include <cstdint>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> links;
    try {
        lynkora::ScanHtmlLinks(links, "/base/", FuzzFile(data, size, ".html"));
    } catch (const std::exception&) {
    }
    return 0;
}
