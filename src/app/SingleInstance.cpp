#include "SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <memory>

#include <unistd.h>

namespace lynkora {

InstanceServer::InstanceServer(std::function<void()> activate, std::function<void(const QString&)> open,
                               QObject* parent)
    : QObject(parent), m_server(new QLocalServer(this)), m_activate(std::move(activate)),
      m_open(std::move(open)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection())
            Serve(socket);
    });
}

void InstanceServer::Serve(QLocalSocket* socket) {
    // The connection is ours until every line read from it has been answered. Handling a command
    // line may show a box whose event loop sees the other side hang up; the socket must still
    // be there when the answer is written.
    auto answering = std::make_shared<bool>(false);
    connect(socket, &QLocalSocket::disconnected, socket, [socket, answering] {
        if (!*answering)
            socket->deleteLater();
    });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, answering] {
        if (*answering)
            return; // lines that come meanwhile are read by the loop below
        *answering = true;
        auto answer = [socket](const QByteArray& bytes) {
            if (socket->state() == QLocalSocket::ConnectedState) {
                socket->write(bytes);
                socket->flush();
            }
        };
        while (socket->canReadLine()) {
            const QString line = QString::fromUtf8(socket->readLine()).chopped(1);
            if (line == "QUERY") {
                answer(QByteArray(kInstanceSignature) + "\n");
            } else if (line == "ACTIVATE") {
                if (m_activate)
                    m_activate();
            } else if (line.startsWith("OPEN ")) {
                if (m_open)
                    m_open(line.mid(5));
                answer("DONE\n");
            }
        }
        *answering = false;
        if (socket->state() != QLocalSocket::ConnectedState)
            socket->deleteLater();
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

} // namespace lynkora
