#pragma once

#include "ServerProcess.h"

#include <memory>
#include <string>

namespace lynkora::test {

// The servers of http_test_server.py, started for the life of the object.
class TestServers {
public:
    TestServers();
    bool ok() const { return m_process && m_process->Started() && http > 0; }

    int http = 0, proxy = 0, wronghost = 0, expired = 0, unknown = 0, silent = 0;
    std::string caFile;

    std::string Http(const std::string& path) const;
    std::string Https(int port, const std::string& path) const;

private:
    std::unique_ptr<ServerProcess> m_process;
};

} // namespace lynkora::test
