#include "WindowErrorSink.h"

#include "MainWindow.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace lynkora {

WindowErrorSink& WindowErrorSink::For(TfrmMainLynkora* window) {
    static WindowErrorSink sink;
    sink.m_window = window;
    return sink;
}

void WindowErrorSink::HandleThreadError(std::exception_ptr error) {
    // The window may be gone by the time the report runs: the guarded pointer is checked there.
    QMetaObject::invokeMethod(qApp, [window = m_window, error] {
        if (window)
            window->ReportError(error);
    }, Qt::QueuedConnection);
}

} // namespace lynkora
