#include "SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace lynkora {

InstanceServer::InstanceServer(std::function<void()> activate, std::function<void(const QString&)> open,
                               QObject* parent)
    : QObject(parent), m_server(new QLocalServer(this)), m_activate(std::move(activate)),
      m_open(std::move(open)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                while (socket->canReadLine()) {
                    const QString line = QString::fromUtf8(socket->readLine()).chopped(1);
                    if (line == "QUERY") {
                        socket->write(QByteArray(kInstanceSignature) + "\n");
                    } else if (line == "ACTIVATE") {
                        if (m_activate)
                            m_activate();
                    } else if (line.startsWith("OPEN ")) {
                        if (m_open)
                            m_open(line.mid(5));
                        socket->write("DONE\n");
                    }
                    socket->flush();
                }
            });
        }
    });
}

bool InstanceServer::Listen(const QString& name) {
    if (m_server->listen(name))
        return true;
    QLocalServer::removeServer(name); // left behind by a program that did not end cleanly
    return m_server->listen(name);
}

QString InstanceName() { return QStringLiteral("lynkora-instance-%1").arg(::getuid()); }

bool HandOverToRunningInstance(const QString& name, const QString& commandLine, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write("QUERY\n");
    if (!socket.waitForReadyRead(timeoutMs) || socket.readLine().trimmed() != kInstanceSignature)
        return false;
    socket.write("ACTIVATE\n");
    if (!commandLine.isEmpty()) {
        QString oneLine = commandLine;
        oneLine.replace('\n', ' ');
        socket.write("OPEN " + oneLine.toUtf8() + "\n");
        socket.flush();
        // Synchronous: the running program has processed the command line when this returns.
        while (socket.waitForReadyRead(60000))
            if (socket.canReadLine() && socket.readLine().trimmed() == "DONE")
                break;
    }
    socket.flush();
    socket.disconnectFromServer();
    return true;
}

QString BuildCommandLine(const std::vector<std::string>& parameters) {
    QString line;
    for (const auto& p : parameters)
        line += " " + QString::fromLocal8Bit(p.c_str());
    return line.trimmed();
}

CommandLine ParseCommandLine(const QString& text) {
    CommandLine c;
    const QStringList words = text.split(' ', Qt::SkipEmptyParts);
    if (words.contains("/m") || words.contains("/M")) {
        c.minimized = true;
        return c;
    }
    QString path = text;
    path.remove('"');
    path = path.trimmed();
    if (!path.isEmpty())
        c.path = QFileInfo(path).absoluteFilePath();
    return c;
}

} // namespace lynkora
