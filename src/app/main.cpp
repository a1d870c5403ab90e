#include "SingleInstance.h"

#include "companions/Companions.h"
#include "mainwindow/MainWindow.h"
#include "platform/HugePageHeap.h"
#include "platform/QtNameCollator.h"
#include "platform/Registry.h"
#include "settings/SystemEnvironment.h"
#include "settings/ToolbarStream.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QMessageBox>
#include <QTimer>

#include <memory>

using namespace lynkora;

int main(int argc, char* argv[]) {
    UseHugePageHeap(argv);
    // The stored tool bar layout is read back through the class registry.
    const ToolbarClassRegistration toolbarClasses;
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Orvendel");
    QApplication::setApplicationName("Lynkora4");
    QApplication::setApplicationDisplayName("Lynkora 4.0");
    InstallLocaleNameCollator();

    std::vector<std::string> parameters(argv + 1, argv + argc);
    const QString commandLine = BuildCommandLine(parameters);
    // A running instance takes the command line; this process ends without a window.
    if (HandOverToRunningInstance(InstanceName(), commandLine, 1000))
        return 0;

    // The splash with the logo of the resource library, when it loads.
    std::unique_ptr<QLabel> splash;
    {
        Artpack art;
        const QImage logo = QImage::fromData(art.Resource("LOGO"));
        if (!logo.isNull()) {
            splash = std::make_unique<QLabel>(nullptr, Qt::SplashScreen | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint);
            splash->setPixmap(QPixmap::fromImage(logo));
            splash->adjustSize();
            if (const QScreen* screen = QGuiApplication::primaryScreen())
                splash->move(screen->geometry().center() - splash->rect().center());
            splash->show();
            QApplication::processEvents();
        }
    }

    Registry registry;
    SystemEnvironment environment;
    std::unique_ptr<TfrmMainLynkora> window;
    try {
        window = std::make_unique<TfrmMainLynkora>(registry, environment);
    } catch (const std::exception& e) {
        splash.reset();
        QMessageBox::critical(nullptr, "Lynkora 4.0", QString::fromStdString(e.what()));
        return 1;
    }
    InstanceServer server([&] {
        window->showNormal();
        window->raise();
        window->activateWindow();
    }, [&](const QString& line) { window->HandleCommandLine(line); });
    server.Listen(InstanceName());

    window->show();
    window->Guarded([&] { window->InitializeMainWindow(commandLine); });
    QTimer::singleShot(600, [&] { splash.reset(); });
    return QApplication::exec();
}
