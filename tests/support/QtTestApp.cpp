#include "QtTestApp.h"

#include <QApplication>

namespace lynkora::test {

void EnsureQtApp() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "lynkora-test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv); // lives until the process ends
}

} // namespace lynkora::test
