#pragma once

#include "tools/BackgroundThread.h"

#include <QPointer>

namespace lynkora {

class TfrmMainLynkora;

// Hands the errors of background threads (deletions, compactions) to the central error report
// of the window that is open when they happen, on the user-interface thread.
class WindowErrorSink : public ThreadErrorSink {
public:
    // The one sink, now reporting to this window; it outlives every thread that may use it.
    static WindowErrorSink& For(TfrmMainLynkora* window);
    void HandleThreadError(std::exception_ptr error) override;

private:
    QPointer<TfrmMainLynkora> m_window;
};

} // namespace lynkora
