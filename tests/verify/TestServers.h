#pragma once

#include <string>
#include <sys/types.h>

namespace lynkora::test {

// The servers of http_test_server.py, started for the life of the object.
class TestServers {
public:
    TestServers();
    ~TestServers();
    bool ok() const { return m_pid > 0 && http > 0; }

    int http = 0, proxy = 0, wronghost = 0, expired = 0, unknown = 0, silent = 0;
    std::string caFile;

    std::string Http(const std::string& path) const;
    std::string Https(int port, const std::string& path) const;

private:
    pid_t m_pid = -1;
    int m_stdin = -1;
};

} // namespace lynkora::test
