#include "TestServers.h"

#include "support/TestPaths.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace lynkora::test {

TestServers::TestServers() {
    const std::string dir = FreshDir("servers").string();
    const std::string script = std::string(LYNKORA_SOURCE_DIR) + "/tests/verify/http_test_server.py";
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0)
        return;
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::close(in[1]);
        ::close(out[0]);
        ::execl("/usr/bin/python3", "python3", script.c_str(), dir.c_str(), nullptr);
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    m_stdin = in[1];
    std::string line;
    char c;
    while (::read(out[0], &c, 1) == 1 && c != '\n')
        line.push_back(c);
    ::close(out[0]);
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
    http = o.value("http").toInt();
    proxy = o.value("proxy").toInt();
    wronghost = o.value("wronghost").toInt();
    expired = o.value("expired").toInt();
    unknown = o.value("unknown").toInt();
    silent = o.value("silent").toInt();
    caFile = o.value("ca").toString().toStdString();
}

TestServers::~TestServers() {
    if (m_stdin >= 0)
        ::close(m_stdin);
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
}

std::string TestServers::Http(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(http) + path;
}

std::string TestServers::Https(int port, const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(port) + path;
}

} // namespace lynkora::test
