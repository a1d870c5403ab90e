#include "SystemEnvironment.h"

#include "companions/Companions.h"
#include "platform/DesktopBrowser.h"
#include "platform/FileInfo.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

namespace lynkora {

SettingsEnvironment::Size SystemEnvironment::ScreenSize() const {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return {screen->size().width(), screen->size().height()};
    }
    return {1024, 768};
}

std::string SystemEnvironment::InstallDir() const {
    const std::string program = ProgramPath();
    const auto slash = program.find_last_of('/');
    return slash == std::string::npos ? std::string("./") : program.substr(0, slash + 1);
}

bool SystemEnvironment::CssAssociation() const {
    return !RunTool("xdg-mime", {"query", "default", "text/css"}).empty();
}

SettingsEnvironment::Browser SystemEnvironment::DefaultBrowser() const {
    const DesktopBrowser b = FindDefaultBrowser();
    return {b.path, b.command};
}

std::string SystemEnvironment::AutostartFile() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString() +
           "/autostart/lynkora.desktop";
}

std::string SystemEnvironment::FavoritesFolder() const {
    const QString dir = QDir::homePath() + "/Favorites";
    return QDir(dir).exists() ? dir.toStdString() : std::string();
}

std::optional<std::string> SystemEnvironment::PredefinedStyleSheet(int index) const {
    // From the resource library; without it nothing is appended.
    return lynkora::PredefinedStyleSheet(index);
}

} // namespace lynkora
