#include "settings/BrowserDetection.h"

#include "platform/FileInfo.h"

#include <QStandardPaths>
#include <QString>

namespace lynkora {

const std::vector<KnownBrowser>& KnownBrowsers() {
    // The first five are the classic browsers (most have no Linux build any more and are never
    // found); the rest are what people run on Linux today.
    static const std::vector<KnownBrowser> table = {
        {"Internet Explorer", "-nohome", {}},
        {"Netscape Navigator", "", {"netscape"}},
        {"Netscape 6", "", {"netscape6"}},
        {"Mozilla", "", {"mozilla"}},
        {"Opera", "", {"opera"}},
        {"Firefox", "", {"firefox", "firefox-esr"}},
        {"Chromium", "", {"chromium", "chromium-browser"}},
        {"Google Chrome", "", {"google-chrome", "google-chrome-stable"}},
        {"Brave", "", {"brave-browser", "brave"}},
        {"Vivaldi", "", {"vivaldi", "vivaldi-stable"}},
        {"Epiphany", "", {"epiphany-browser", "epiphany"}},
        {"Falkon", "", {"falkon"}},
        {"Konqueror", "", {"konqueror"}},
    };
    return table;
}

std::string FindOnPath(const std::string& name) {
    return QStandardPaths::findExecutable(QString::fromStdString(name)).toStdString();
}

std::size_t DetectBrowsers(TBrowserList& list, const ExecutableLookup& lookup) {
    std::size_t added = 0;
    for (const KnownBrowser& known : KnownBrowsers()) {
        std::string path;
        for (const char* exe : known.executables) {
            path = lookup(exe);
            if (!path.empty())
                break;
        }
        if (path.empty() || list.IsBrowserListed(path))
            continue;
        TBrowser& b = list.Browsers.Add();
        b.Name = known.name;
        b.Command = known.command;
        b.Path = LongPathForm(path);
        b.Version = FileVersion(path);
        b.IsDefault = false;
        ++added;
    }
    return added;
}

} // namespace lynkora
