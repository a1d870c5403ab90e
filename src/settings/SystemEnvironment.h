#pragma once

#include "SettingsEnvironment.h"

namespace lynkora {

// The running desktop: the primary screen, the program's folder, the xdg tools' answers, the
// XDG autostart folder and ~/Favorites.
class SystemEnvironment : public SettingsEnvironment {
public:
    Size ScreenSize() const override;
    std::string InstallDir() const override;
    bool CssAssociation() const override;
    Browser DefaultBrowser() const override;
    std::string AutostartFile() const override;
    std::string FavoritesFolder() const override;
    std::optional<std::string> PredefinedStyleSheet(int index) const override;
};

} // namespace lynkora
