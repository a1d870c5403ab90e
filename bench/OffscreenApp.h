#pragma once

#include <QApplication>

#include <cstdlib>

namespace lynkora::bench {

// The one application of a widget benchmark, on the offscreen platform.
inline QApplication& OffscreenApp() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication app(argc, argv);
    return app;
}

} // namespace lynkora::bench
