// libFuzzer target: a data file of the previous generation (".ldb") read into the preview.
#include "FuzzFile.h"

#include "exchange/PreviewReaders.h"

#include <cstdint>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lynkora::PreviewEntry entry(lynkora::PreviewEntry::Kind::File, "fuzz.ldb");
    try {
        lynkora::LoadClassicDataFile(FuzzFile(data, size, ".ldb"), entry);
    } catch (const std::exception&) {
    }
    return 0;
}
