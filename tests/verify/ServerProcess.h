#pragma once

#include <QJsonObject>

#include <string>
#include <vector>
#include <sys/types.h>

namespace lynkora::test {

// A Python server script run as a child process: it prints one JSON line (its ports) and
// serves until its standard input closes. The process ends with the object.
class ServerProcess {
public:
    ServerProcess(const std::string& script, const std::vector<std::string>& args);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    bool Started() const { return m_pid > 0 && !m_info.isEmpty(); }
    const QJsonObject& Info() const { return m_info; }

private:
    pid_t m_pid = -1;
    int m_stdin = -1;
    QJsonObject m_info;
};

} // namespace lynkora::test
