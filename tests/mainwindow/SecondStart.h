#pragma once

#include "../app/HandOverThread.h"
#include "app/SingleInstance.h"
#include "mainwindow/MainWindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <string>

namespace lynkora::test {

// The instance channel of a window, as the program sets it up, and second starts that hand a
// file over through it from another thread (as another process would) while this one serves
// events, whatever event loop is running.
class SecondStart {
public:
    explicit SecondStart(TfrmMainLynkora& window)
        : m_name(InstanceName() + "-test-" + QString::number(QCoreApplication::applicationPid()) + "-" +
                 QString::number(++Counter())),
          m_server([] {}, [&window](const QString& line) { window.HandleCommandLine(line); }) {
        m_server.Listen(m_name);
    }
    // True when the running window answered; it has then handled or queued the file.
    bool HandOver(const std::string& path) {
        return HandOverFromAnotherThread(m_name, "\"" + QString::fromStdString(path) + "\"");
    }

private:
    static int& Counter() {
        static int n = 0;
        return n;
    }
    QString m_name;
    InstanceServer m_server;
};

// Serves events until the window holds the file (or a few seconds have passed).
inline bool WaitUntilOpen(TfrmMainLynkora& window, const std::string& path) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        if (window.DataFile() && window.DataFile()->FileName() == path)
            return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return false;
}

} // namespace lynkora::test
