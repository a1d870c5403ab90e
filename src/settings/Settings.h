#pragma once

#include "BrowserList.h"
#include "ExportSettings.h"
#include "ListColumns.h"
#include "SettingsEnvironment.h"

#include "platform/Registry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace lynkora {

class StreamObject;

enum ListViewStyles : std::int32_t { lvsLarge = 1000, lvsSmall = 1001, lvsList = 1002, lvsDetails = 1003 };
enum InterfaceStyles : std::int32_t { isClassic = 10, isWeb = 20 };

// Every user preference. Created: loads everything from the settings key; Save (and the
// destructor) writes everything back.
class TSettings {
public:
    TSettings(Registry& registry, const SettingsEnvironment& environment);
    ~TSettings();
    TSettings(const TSettings&) = delete;
    TSettings& operator=(const TSettings&) = delete;

    // Plain values of the settings key.
    std::string InstallDir;
    std::int32_t TreeSortOrder = 0;
    std::int32_t ListSortOrder = 0;
    std::int32_t ListViewStyle = lvsDetails;
    bool ShowToolbar = true;
    bool ShowHeader = true;
    bool ShowToolTip = false;
    bool FlatToolBtn = true;
    bool UseProxy = false;
    bool AutoExpandList = false;
    std::int32_t FileEditMode = 1102;
    bool UseIconFont = true;
    bool UseEnglishDate = true;
    bool WinMax = false;
    std::int32_t MaxHistory = 4;
    bool CenterScreen = false;
    std::int32_t NewItemColor = 255;
    std::int32_t WinLeft = 0, WinHeight = 400, WinTop = 0, WinWidth = 600, TreeWidth = 177;
    std::string DupWinPos;
    std::string ConWinPos;
    bool StartOpenLast = true;
    std::int32_t InterfaceStyle = isClassic;
    std::int32_t DefaultAction = 0;
    bool HandleRedirect = false;
    std::string CSSEditor;
    bool UseDefaultCSS = false;
    bool UseNotepad = false;
    std::string ExportFolder;
    // Checks a verification run keeps in flight at once (1 to 32).
    std::int32_t VerifyConnections = 8;

    // Computed or kept elsewhere.
    std::string ProgramVersion;
    std::vector<std::string> History;
    std::string ProxyServer;
    std::string ProxyPort = "80";
    std::string ProxyUser;
    std::string ProxyPassword;
    bool Autostart = false;
    bool AutostartMinimized = false;
    bool CSSAssociation = false;
    std::int32_t PendingFileEditMode = 0;
    TLVColumns Columns;
    TBrowserList BrowserList;
    THTML ExportHTML;

    // Writes the plain values and the history.
    void SaveMainValues();
    // Writes everything, in the order of the destructor (the default browser never stored).
    void SaveAll();
    void SaveProxy();
    void SaveExportHTML();
    void SaveBrowsers();
    void WriteAutostart();
    void RemoveAutostart();
    // Reads ExportHTML again, appends the selected predefined style sheet, reads ExportFolder.
    void ReloadExportHTML();
    std::string FavoritesFolder() const;
    // Records a file as the most recent one (duplicates ignored, at most MaxHistory kept).
    void AddToHistory(const std::string& path);

    // The toolbar's stored layout: written after customisation, read at start-up. Loading does
    // nothing when no layout is stored; otherwise clearButtons runs first.
    void SaveToolbar(const StreamObject& toolbar);
    bool LoadToolbar(StreamObject& toolbar, const std::function<void()>& clearButtons);

private:
    void Load();
    void LoadWinPos();
    void LoadHistory();
    void LoadProxy();
    void LoadDefaultBrowser();
    void ReadExportHTML();
    // A value that does not read gets its default and one note in the event log.
    void Damaged(const std::string& name);
    template <class Read>
    auto Tolerant(const char* name, Read read, decltype(read()) fallback) -> decltype(read());
    template <class T>
    bool ReadStored(const char* name, T& object);
    std::set<std::string> m_damaged;
    bool ReadBool(const char* name, bool fallback);
    std::int32_t ReadInt(const char* name, std::int32_t fallback);
    std::string ReadText(const char* name, const std::string& fallback);

    Registry& m_registry;
    const SettingsEnvironment& m_env;
};

} // namespace lynkora
