#include "PeerCheck.h"

#include "support/TestPaths.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace lynkora::test {

namespace {

std::uint32_t Crc32(const std::string& data) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : data)
        c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void Walk(const cfb::Storage& st, const std::string& prefix, std::vector<std::string>& lines) {
    for (const auto& e : st.Elements()) {
        const std::string path = prefix.empty() ? e.name : prefix + "/" + e.name;
        if (e.kind == cfb::ElementKind::Storage) {
            lines.push_back("storage\t" + path);
            Walk(st.OpenStorage(e.name), path, lines);
        } else {
            const std::string data = st.OpenStream(e.name).ReadAll();
            char crc[16];
            std::snprintf(crc, sizeof crc, "%08x", Crc32(data));
            lines.push_back("stream\t" + path + "\t" + std::to_string(data.size()) + "\t" + crc);
        }
    }
}

} // namespace

std::string DumpTree(const cfb::Storage& root) {
    std::vector<std::string> lines;
    Walk(root, "", lines);
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const auto& l : lines)
        out += l + "\n";
    return out;
}

int RunCommand(const std::string& command, std::string& output) {
    output.clear();
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return -1;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        output.append(buf, n);
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string PeerDump(const std::string& path, std::string& error) {
    std::string out;
    const std::string script = std::string(LYNKORA_SOURCE_DIR) + "/tests/cfb/peer_dump.py";
    if (RunCommand("PYTHONIOENCODING=utf-8 /usr/bin/python3 '" + script + "' '" + path + "'", out) != 0) {
        error = out;
        return {};
    }
    return out;
}

std::string CfbCheckTool() {
    const auto fixtures = FixturesDir();
    if (fixtures.empty())
        return {};
    const auto tool = fixtures.parent_path() / "tools" / "cfbcheck.py";
    return std::filesystem::exists(tool) ? tool.string() : std::string();
}

bool HaveOlefile() {
    std::string out;
    return RunCommand("/usr/bin/python3 -c 'import olefile'", out) == 0;
}

bool Have7zip() {
    std::string out;
    return RunCommand("command -v 7zz", out) == 0;
}

} // namespace lynkora::test
