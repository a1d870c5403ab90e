#include "Settings.h"

#include "CredentialScrambler.h"

#include "companions/Companions.h"
#include "platform/FileInfo.h"
#include "store/Errors.h"
#include "store/ObjectStream.h"

#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace lynkora {

namespace {

constexpr const char* kMain = ""; // the settings key itself
constexpr const char* kHistory = "History";
constexpr const char* kProxy = "Proxy";

// Five decimal integers separated by commas, or nothing.
bool ParseWinPos(const std::string& text, std::int32_t (&out)[5]) {
    std::size_t start = 0;
    for (int i = 0; i < 5; ++i) {
        const auto comma = text.find(',', start);
        if ((i < 4) != (comma != std::string::npos))
            return false;
        const std::string part = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        char* end = nullptr;
        const long v = std::strtol(part.c_str(), &end, 10);
        if (part.empty() || *end != '\0')
            return false;
        out[i] = static_cast<std::int32_t>(v);
        start = comma + 1;
    }
    return true;
}

// The scrambled credentials are arbitrary bytes; they are kept as Latin-1 text so every byte,
// 0 included, reads back exactly.
std::string BytesToText(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
}

std::string TextToBytes(const std::string& text) {
    return QString::fromStdString(text).toLatin1().toStdString();
}

} // namespace

TSettings::TSettings(Registry& registry, const SettingsEnvironment& environment)
    : m_registry(registry), m_env(environment) {
    Load();
}

TSettings::~TSettings() {
    try {
        SaveAll();
    } catch (...) {
        // Settings that cannot be written are lost for this session only.
    }
}

void TSettings::Damaged(const std::string& name) {
    // Noted once; the value is written anew, good, when the settings are next saved.
    if (m_damaged.insert(name).second)
        LogEvent("The setting \"" + name + "\" could not be read; Lynkora uses its default.", 1012);
}

template <class Read>
auto TSettings::Tolerant(const char* name, Read read, decltype(read()) fallback) -> decltype(read()) {
    if (!m_registry.ValueExists(kMain, name))
        return fallback;
    try {
        return read();
    } catch (const std::exception&) {
        Damaged(name);
        return fallback;
    }
}

bool TSettings::ReadBool(const char* name, bool fallback) {
    return Tolerant(name, [&] { return m_registry.ReadBool(kMain, name); }, fallback);
}

std::int32_t TSettings::ReadInt(const char* name, std::int32_t fallback) {
    return Tolerant(name, [&] { return m_registry.ReadInteger(kMain, name); }, fallback);
}

std::string TSettings::ReadText(const char* name, const std::string& fallback) {
    return Tolerant(name, [&] { return m_registry.ReadString(kMain, name); }, fallback);
}

template <class T>
bool TSettings::ReadStored(const char* name, T& object) {
    if (!m_registry.ValueExists(kMain, name))
        return false;
    try {
        ObjectStream::ReadObject(m_registry.ReadBinary(kMain, name), object);
        return true;
    } catch (const std::exception&) {
        Damaged(name);
        object = T();
        return false;
    }
}

void TSettings::ReadExportHTML() { ReadStored("ExportHTML", ExportHTML); }

void TSettings::Load() {
    PendingFileEditMode = 0;
    if (m_registry.Substitute())
        Damaged("settings file (not a regular file)");
    ReadExportHTML();
    UseProxy = false;
    m_registry.OpenKey(kMain, true);
    InstallDir = ReadText("InstallDir", m_env.InstallDir());
    ProgramVersion = FileVersion(InstallDir + "lynkora");
    TreeSortOrder = ReadInt("TreeSortOrder", 0);
    ListSortOrder = ReadInt("ListSortOrder", 0);
    ListViewStyle = ReadInt("ListViewStyle", lvsDetails);
    ShowToolbar = ReadBool("ShowToolBar", true);
    ShowHeader = ReadBool("ShowHeader", true);
    ShowToolTip = ReadBool("ShowToolTip", false);
    FlatToolBtn = ReadBool("FlatToolBtn", true);
    UseProxy = ReadBool("UseProxy", false);
    AutoExpandList = ReadBool("AutoExpandList", false);
    FileEditMode = ReadInt("FileEditMode", 1102);
    UseIconFont = ReadBool("UseIconFont", true);
    UseEnglishDate = ReadBool("UseEnglishDate", true);
    WinMax = ReadBool("WinMax", false);
    MaxHistory = ReadInt("MaxHistory", 4);
    CenterScreen = ReadBool("CenterScreen", false);
    NewItemColor = ReadInt("NewItemColor", 255);
    LoadWinPos();
    DupWinPos = ReadText("DupWinPos", "");
    ConWinPos = ReadText("ConWinPos", "");
    StartOpenLast = ReadBool("StartOpenLast", true);
    InterfaceStyle = ReadInt("InterfaceStyle", isClassic);
    DefaultAction = ReadInt("DefaultAction", 0);
    HandleRedirect = ReadBool("HandleRedirect", false);
    VerifyConnections = std::clamp(ReadInt("VerifyConnections", 8), 1, 32);
    if (m_registry.ValueExists(kMain, "CSSEditor")) {
        CSSEditor = m_registry.ReadString(kMain, "CSSEditor");
        UseDefaultCSS = false;
        UseNotepad = false;
    } else if (m_registry.ValueExists(kMain, "UseDefaultCSS")) {
        UseDefaultCSS = true;
        UseNotepad = false;
    } else {
        UseNotepad = true;
    }
    LoadHistory();
    if (UseProxy)
        LoadProxy();
    ReadStored("Browsers", BrowserList);
    LoadDefaultBrowser();
    CSSAssociation = m_env.CssAssociation();
    {
        std::ifstream autostart(m_env.AutostartFile());
        Autostart = autostart.good();
        if (Autostart) {
            std::ostringstream text;
            text << autostart.rdbuf();
            // The switch ends the Exec line; a "/m" inside the program's folder is no switch.
            AutostartMinimized = text.str().find(" /m\n") != std::string::npos;
        }
    }
    Columns.Load(m_registry);
}

void TSettings::LoadWinPos() {
    if (m_registry.ValueExists(kMain, "WinPos")) {
        std::int32_t v[5];
        if (!ParseWinPos(m_registry.ReadString(kMain, "WinPos"), v)) {
            WinLeft = 20;
            WinHeight = 400;
            WinTop = 40;
            WinWidth = 600;
            TreeWidth = 177;
            return;
        }
        WinLeft = v[0];
        WinHeight = v[1];
        WinTop = v[2];
        WinWidth = v[3];
        TreeWidth = v[4];
        if (!WinMax) {
            const auto screen = m_env.ScreenSize();
            WinMax = !(WinHeight < screen.height && WinWidth < screen.width);
        }
    } else if (!WinMax) {
        CenterScreen = true;
        WinLeft = 0;
        WinTop = 0;
        WinHeight = 400;
        WinWidth = 600;
        TreeWidth = 177;
    }
}

void TSettings::LoadHistory() {
    History.clear();
    // No more than the list keeps: a settings file with thousands of entries reads at once.
    if (m_registry.OpenKey(kHistory, false))
        for (const auto& name : m_registry.ValueNames(kHistory)) {
            if (History.size() >= static_cast<std::size_t>(std::max(MaxHistory, 0)))
                break;
            try {
                History.push_back(m_registry.ReadString(kHistory, name));
            } catch (const std::exception&) {
                Damaged("History");
            }
        }
    if (StartOpenLast && History.empty())
        StartOpenLast = false;
}

void TSettings::LoadProxy() {
    try {
        if (!m_registry.OpenKey(kProxy, false))
            return;
        if (m_registry.ValueExists(kProxy, "Server"))
            ProxyServer = m_registry.ReadString(kProxy, "Server");
        if (m_registry.ValueExists(kProxy, "Port"))
            ProxyPort = m_registry.ReadString(kProxy, "Port");
        if (m_registry.ValueExists(kProxy, "UserInfo")) {
            const std::string info =
                UnscrambleText(TextToBytes(m_registry.ReadString(kProxy, "UserInfo")));
            const auto bar = info.find('|');
            ProxyUser = info.substr(0, bar);
            ProxyPassword = bar == std::string::npos ? std::string() : info.substr(bar + 1);
        }
    } catch (const std::exception& e) {
        ProxyUser.clear();
        ProxyPassword.clear();
        throw ELynkora(std::string("An error occured while trying to read the proxy settings\n\n") +
                       e.what());
    }
}

void TSettings::LoadDefaultBrowser() {
    TBrowser& entry = BrowserList.Browsers.Insert(0);
    entry.IsDefault = true;
    const auto browser = m_env.DefaultBrowser();
    entry.Path = browser.path;
    entry.Command = browser.command;
    if (!entry.Path.empty()) {
        entry.Version = FileVersion(entry.Path);
        entry.Name = FileDescription(entry.Path);
    }
}

void TSettings::SaveMainValues() {
    m_registry.OpenKey(kMain, true);
    m_registry.WriteString(kMain, "InstallDir", InstallDir);
    m_registry.WriteInteger(kMain, "TreeSortOrder", TreeSortOrder);
    m_registry.WriteInteger(kMain, "ListSortOrder", ListSortOrder);
    m_registry.WriteInteger(kMain, "ListViewStyle", ListViewStyle);
    m_registry.WriteBool(kMain, "ShowToolBar", ShowToolbar);
    m_registry.WriteBool(kMain, "ShowHeader", ShowHeader);
    m_registry.WriteBool(kMain, "ShowToolTip", ShowToolTip);
    m_registry.WriteBool(kMain, "FlatToolBtn", FlatToolBtn);
    m_registry.WriteBool(kMain, "UseProxy", UseProxy);
    m_registry.WriteBool(kMain, "AutoExpandList", AutoExpandList);
    m_registry.WriteInteger(kMain, "FileEditMode", PendingFileEditMode ? PendingFileEditMode : FileEditMode);
    m_registry.WriteString(kMain, "WinPos",
                           std::to_string(WinLeft) + "," + std::to_string(WinHeight) + "," +
                               std::to_string(WinTop) + "," + std::to_string(WinWidth) + "," +
                               std::to_string(TreeWidth));
    m_registry.WriteBool(kMain, "WinMax", WinMax);
    m_registry.WriteInteger(kMain, "MaxHistory", MaxHistory);
    m_registry.WriteBool(kMain, "CenterScreen", CenterScreen);
    m_registry.WriteBool(kMain, "UseIconFont", UseIconFont);
    m_registry.WriteBool(kMain, "UseEnglishDate", UseEnglishDate);
    m_registry.WriteBool(kMain, "StartOpenLast", StartOpenLast);
    m_registry.WriteInteger(kMain, "InterfaceStyle", InterfaceStyle);
    m_registry.WriteInteger(kMain, "DefaultAction", DefaultAction);
    m_registry.WriteInteger(kMain, "NewItemColor", NewItemColor);
    m_registry.WriteBool(kMain, "HandleRedirect", HandleRedirect);
    m_registry.WriteInteger(kMain, "VerifyConnections", std::clamp(VerifyConnections, 1, 32));
    m_registry.WriteString(kMain, "DupWinPos", DupWinPos);
    m_registry.WriteString(kMain, "ConWinPos", ConWinPos);
    if (UseDefaultCSS) {
        m_registry.WriteInteger(kMain, "UseDefaultCSS", 1);
    } else {
        m_registry.DeleteValue(kMain, "UseDefaultCSS");
        if (!UseNotepad)
            m_registry.WriteString(kMain, "CSSEditor", CSSEditor);
        else
            m_registry.DeleteValue(kMain, "CSSEditor");
    }
    m_registry.DeleteKey(kHistory);
    m_registry.OpenKey(kHistory, true);
    for (std::size_t i = 0; i < History.size(); ++i)
        m_registry.WriteString(kHistory, std::to_string(i), History[i]);
    m_registry.Sync();
}

void TSettings::SaveExportHTML() {
    m_registry.WriteBinary(kMain, "ExportHTML", ObjectStream::WriteObject(ExportHTML));
    m_registry.Sync();
}

void TSettings::SaveProxy() {
    m_registry.OpenKey(kProxy, true);
    m_registry.WriteString(kProxy, "Server", ProxyServer);
    m_registry.WriteString(kProxy, "Port", ProxyPort);
    if (!ProxyUser.empty() && !ProxyPassword.empty())
        m_registry.WriteString(kProxy, "UserInfo",
                               BytesToText(ScrambleText(ProxyUser + "|" + ProxyPassword)));
    else
        m_registry.DeleteValue(kProxy, "UserInfo");
    m_registry.Sync();
}

void TSettings::SaveBrowsers() {
    // The default browser's entry is never stored, but stays in the running program's list.
    TBrowserList stored;
    for (std::size_t i = 0; i < BrowserList.Browsers.Count(); ++i) {
        const TBrowser& b = BrowserList.Browsers.Items(i);
        if (b.IsDefault)
            continue;
        TBrowser& copy = stored.Browsers.Add();
        copy.Path = b.Path;
        copy.Command = b.Command;
        copy.Icon.Data = b.Icon.Data;
        copy.Version = b.Version;
        copy.Name = b.Name;
    }
    m_registry.WriteBinary(kMain, "Browsers", ObjectStream::WriteObject(stored));
    m_registry.Sync();
}

void TSettings::SaveAll() {
    SaveMainValues();
    SaveExportHTML();
    SaveProxy();
    SaveBrowsers();
    Columns.Save(m_registry);
    m_registry.Sync();
}

void TSettings::WriteAutostart() {
    if (InstallDir.empty())
        return;
    const std::string file = m_env.AutostartFile();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ec);
    // The program's path is one quoted argument of Exec, whatever folder it was installed in.
    std::string program = "\"";
    for (char c : InstallDir + "lynkora") {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            program += '\\';
        program += c;
    }
    program += '"';
    // Built beside the entry and renamed over it, so a session never finds half an entry.
    const std::string temp = file + ".new";
    {
        std::ofstream out(temp, std::ios::trunc);
        if (!out)
            return; // an autostart folder that cannot be written is passed over
        out << "[Desktop Entry]\nType=Application\nName=Lynkora\nExec=" << program
            << (AutostartMinimized ? " /m" : "") << "\nX-GNOME-Autostart-enabled=true\n";
        if (!out.flush()) {
            ::unlink(temp.c_str());
            return;
        }
    }
    if (std::rename(temp.c_str(), file.c_str()) != 0)
        ::unlink(temp.c_str());
}

void TSettings::RemoveAutostart() { ::unlink(m_env.AutostartFile().c_str()); }

void TSettings::ReloadExportHTML() {
    ReadExportHTML();
    if (ExportHTML.SelIdx != -1) {
        if (auto sheet = m_env.PredefinedStyleSheet(ExportHTML.SelIdx))
            ExportHTML.AppendPredefined(*sheet);
    }
    ExportFolder = ReadText("ExportFolder", InstallDir);
}

std::string TSettings::FavoritesFolder() const { return m_env.FavoritesFolder(); }

void TSettings::AddToHistory(const std::string& path) {
    for (auto it = History.begin(); it != History.end(); ++it) {
        if (*it == path) {
            History.erase(it);
            break;
        }
    }
    History.insert(History.begin(), path);
    if (MaxHistory >= 0 && History.size() > static_cast<std::size_t>(MaxHistory))
        History.resize(static_cast<std::size_t>(MaxHistory));
}

void TSettings::SaveToolbar(const StreamObject& toolbar) {
    m_registry.WriteBinary(kMain, "Toolbar", ObjectStream::WriteObject(toolbar));
    m_registry.Sync();
}

bool TSettings::LoadToolbar(StreamObject& toolbar, const std::function<void()>& clearButtons) {
    if (!m_registry.ValueExists(kMain, "Toolbar"))
        return false;
    if (clearButtons)
        clearButtons();
    // A layout that does not read is reported by the caller, which keeps the default.
    ObjectStream::ReadObject(m_registry.ReadBinary(kMain, "Toolbar"), toolbar);
    return true;
}

} // namespace lynkora
