// libFuzzer target: open a compound file from arbitrary bytes, enumerate it and read every
// stream. Any failure must be a StorageError; crashes, hangs and leaks are findings.
#include "cfb/Storage.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using namespace lynkora::cfb;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        auto root = OpenCompoundFileFromBytes(std::string(reinterpret_cast<const char*>(data), size));
        std::vector<Storage> todo{root};
        while (!todo.empty()) {
            Storage st = todo.back();
            todo.pop_back();
            for (const auto& e : st.Elements()) {
                if (e.kind == ElementKind::Storage) {
                    todo.push_back(st.OpenStorage(e.name));
                } else {
                    auto s = st.OpenStream(e.name);
                    char buf[700];
                    s.Seek(static_cast<std::int64_t>(e.size / 3));
                    s.Read(buf, sizeof buf);
                    s.ReadAll();
                }
            }
        }
    } catch (const StorageError&) {
    }
    return 0;
}
