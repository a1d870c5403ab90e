#include "TestServers.h"

#include "support/TestPaths.h"

namespace lynkora::test {

TestServers::TestServers() {
    const std::string dir = FreshDir("servers").string();
    m_process = std::make_unique<ServerProcess>(
        std::string(LYNKORA_SOURCE_DIR) + "/tests/verify/http_test_server.py", std::vector<std::string>{dir});
    const QJsonObject& o = m_process->Info();
    http = o.value("http").toInt();
    proxy = o.value("proxy").toInt();
    wronghost = o.value("wronghost").toInt();
    expired = o.value("expired").toInt();
    unknown = o.value("unknown").toInt();
    silent = o.value("silent").toInt();
    caFile = o.value("ca").toString().toStdString();
}

std::string TestServers::Http(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(http) + path;
}

std::string TestServers::Https(int port, const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(port) + path;
}

} // namespace lynkora::test
