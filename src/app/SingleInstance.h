#pragma once

#include "mainwindow/CommandLine.h"

#include <QObject>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;

namespace lynkora {

inline constexpr const char* kInstanceSignature = "6B2F4D17";

// The per-user channel through which a second start hands its command line to the running
// program: "QUERY" is answered with the instance signature, "ACTIVATE" brings the window to the
// front, "OPEN <command line>" is processed before "DONE" is answered (the hand-over is
// synchronous).
class InstanceServer : public QObject {
public:
    InstanceServer(std::function<void()> activate, std::function<void(const QString&)> open,
                   QObject* parent = nullptr);
    // Starts listening under the name; replaces a channel left by a program that died.
    bool Listen(const QString& name);

private:
    void Serve(QLocalSocket* socket);

    QLocalServer* m_server;
    std::function<void()> m_activate;
    std::function<void(const QString&)> m_open;
};

// The channel's name for the current user.
QString InstanceName();

// Hands the command line to a running instance: true when one answered (the caller then ends),
// false when none runs.
bool HandOverToRunningInstance(const QString& name, const QString& commandLine, int timeoutMs = 3000);

} // namespace lynkora
