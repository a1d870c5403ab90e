#include "platform/QtNameCollator.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Orvendel");
    QApplication::setApplicationName("Lynkora4");
    lynkora::InstallLocaleNameCollator();

    QMainWindow window;
    window.setWindowTitle("Lynkora 4.0");
    auto* label = new QLabel("Lynkora 4.0", &window);
    label->setAlignment(Qt::AlignCenter);
    window.setCentralWidget(label);
    window.resize(600, 400);
    window.show();
    return QApplication::exec();
}
