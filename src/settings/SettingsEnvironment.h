#pragma once

#include <optional>
#include <string>

namespace lynkora {

// What the settings need to know of the machine, behind an interface so tests can answer.
class SettingsEnvironment {
public:
    struct Size {
        int width;
        int height;
    };
    struct Browser {
        std::string path;    // the executable; empty when there is no default browser
        std::string command; // its arguments, without the URL placeholder
    };

    virtual ~SettingsEnvironment() = default;
    virtual Size ScreenSize() const = 0;
    // The program's folder, ending in "/".
    virtual std::string InstallDir() const = 0;
    // Whether the desktop has an editor registered for style sheets (text/css).
    virtual bool CssAssociation() const = 0;
    virtual Browser DefaultBrowser() const = 0;
    // The desktop entry that starts the program with the session.
    virtual std::string AutostartFile() const = 0;
    // The user's favourites folder, empty when there is none.
    virtual std::string FavoritesFolder() const = 0;
    // A predefined style sheet of the resource library, when it can be loaded.
    virtual std::optional<std::string> PredefinedStyleSheet(int index) const = 0;
};

} // namespace lynkora
