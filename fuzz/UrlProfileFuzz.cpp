// libFuzzer target: a ".url" shortcut file as the favourites reader reads it, written back and
// read again.
#include "FuzzFile.h"

#include "exchange/ProfileFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lynkora::ProfileFile profile(FuzzFile(data, size, ".url"));
    (void)profile.Read("InternetShortcut", "URL");
    (void)profile.Read("DEFAULT", "BASEURL");
    profile.Write("InternetShortcut", "URL", "http://example.com/");
    const std::string text = profile.Text();
    lynkora::ProfileFile again(FuzzFile(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), ".url"));
    (void)again.Read("InternetShortcut", "URL");
    return 0;
}
