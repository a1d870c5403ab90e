#include "ServerProcess.h"

#include <QJsonDocument>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace lynkora::test {

ServerProcess::ServerProcess(const std::string& script, const std::vector<std::string>& args) {
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0)
        return;
    std::vector<const char*> argv{"python3", script.c_str()};
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    argv.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::close(in[1]);
        ::close(out[0]);
        ::execv("/usr/bin/python3", const_cast<char* const*>(argv.data()));
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
    m_info = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
}

ServerProcess::~ServerProcess() {
    if (m_stdin >= 0)
        ::close(m_stdin);
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
}

} // namespace lynkora::test
