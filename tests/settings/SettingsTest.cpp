#include "support/TestPaths.h"

#include "settings/CredentialScrambler.h"
#include "settings/Settings.h"
#include "store/Errors.h"
#include "store/ObjectStream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/stat.h>

using namespace lynkora;

namespace {

class FakeEnvironment : public SettingsEnvironment {
public:
    Size screen{1024, 768};
    std::string installDir = "/opt/lynkora/";
    bool css = false;
    Browser browser{"/usr/bin/surfer", "--new-tab"};
    std::string autostart;
    std::optional<std::string> sheet;

    Size ScreenSize() const override { return screen; }
    std::string InstallDir() const override { return installDir; }
    bool CssAssociation() const override { return css; }
    Browser DefaultBrowser() const override { return browser; }
    std::string AutostartFile() const override { return autostart; }
    std::string FavoritesFolder() const override { return "/home/u/Favorites"; }
    std::optional<std::string> PredefinedStyleSheet(int) const override { return sheet; }
};

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = test::FreshDir("settings");
        path = (dir / "Lynkora4.conf").string();
        env.autostart = (dir / "autostart" / "lynkora.desktop").string();
    }
    std::filesystem::path dir;
    std::string path;
    FakeEnvironment env;
};

std::string ReadAll(const std::string& file) {
    std::ifstream in(file);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

TEST_F(SettingsTest, AnEmptyFolderGivesEveryDefault) {
    Registry reg(path);
    TSettings s(reg, env);
    EXPECT_EQ(s.InstallDir, "/opt/lynkora/");
    EXPECT_EQ(s.ListViewStyle, lvsDetails);
    EXPECT_TRUE(s.ShowToolbar);
    EXPECT_TRUE(s.ShowHeader);
    EXPECT_TRUE(s.FlatToolBtn);
    EXPECT_FALSE(s.ShowToolTip);
    EXPECT_TRUE(s.UseEnglishDate);
    EXPECT_EQ(s.FileEditMode, 1102);
    EXPECT_EQ(s.MaxHistory, 4);
    EXPECT_EQ(s.NewItemColor, 255);
    EXPECT_TRUE(s.CenterScreen);
    EXPECT_FALSE(s.WinMax);
    EXPECT_EQ(s.WinWidth, 600);
    EXPECT_EQ(s.WinHeight, 400);
    EXPECT_EQ(s.TreeWidth, 177);
    EXPECT_EQ(s.InterfaceStyle, isClassic);
    EXPECT_EQ(s.DefaultAction, 0);
    EXPECT_FALSE(s.StartOpenLast) << "no history to open";
    EXPECT_TRUE(s.UseNotepad);
    EXPECT_FALSE(s.UseProxy);
    EXPECT_EQ(s.ProxyPort, "80");
    EXPECT_FALSE(s.Autostart);
    EXPECT_EQ(s.Columns[TLVColumns::Name].Width, 150);
    EXPECT_TRUE(s.Columns[TLVColumns::URL].Visible);
    EXPECT_EQ(s.Columns[TLVColumns::URL].Width, 150);
    for (int i = TLVColumns::Description; i < TLVColumns::Count; ++i)
        EXPECT_FALSE(s.Columns[static_cast<std::size_t>(i)].Visible) << i;
    ASSERT_EQ(s.BrowserList.Browsers.Count(), 1u);
    const TBrowser& def = s.BrowserList.Browsers.Items(0);
    EXPECT_TRUE(def.IsDefault);
    EXPECT_EQ(def.Path, "/usr/bin/surfer");
    EXPECT_EQ(def.Command, "--new-tab");
    EXPECT_EQ(def.Version, "0.0.0.0");
}

TEST_F(SettingsTest, WindowPositionRules) {
    struct Loaded {
        std::unique_ptr<Registry> reg;
        std::unique_ptr<TSettings> settings;
        TSettings* operator->() { return settings.get(); }
    };
    auto load = [&](const std::string& winPos, bool winMax) {
        Loaded l;
        l.reg = std::make_unique<Registry>(path);
        l.reg->WriteString("", "WinPos", winPos);
        l.reg->WriteBool("", "WinMax", winMax);
        l.reg->Sync();
        l.settings = std::make_unique<TSettings>(*l.reg, env);
        return l;
    };
    {
        auto s = load("10,2000,10,800,200", false); // taller than the 1024 x 768 screen
        EXPECT_TRUE(s->WinMax);
        EXPECT_EQ(s->WinHeight, 2000);
        EXPECT_EQ(s->TreeWidth, 200);
    }
    {
        auto s = load("10,500,10,800,200", false);
        EXPECT_FALSE(s->WinMax);
        EXPECT_FALSE(s->CenterScreen);
    }
    {
        auto s = load("abc", false);
        EXPECT_EQ(s->WinLeft, 20);
        EXPECT_EQ(s->WinTop, 40);
        EXPECT_EQ(s->WinWidth, 600);
        EXPECT_EQ(s->WinHeight, 400);
        EXPECT_EQ(s->TreeWidth, 177);
    }
    {
        auto s = load("1,2,3,4", false);
        EXPECT_EQ(s->WinLeft, 20) << "four numbers are not a position";
    }
}

TEST_F(SettingsTest, StartOpenLastNeedsHistory) {
    {
        Registry reg(path);
        reg.WriteBool("", "StartOpenLast", true);
        reg.Sync();
        TSettings s(reg, env);
        EXPECT_FALSE(s.StartOpenLast);
    }
    Registry reg(path);
    EXPECT_FALSE(reg.ReadBool("", "StartOpenLast")) << "saved as False";
    reg.WriteString("History", "0", "/home/u/a.lyx");
    reg.WriteBool("", "StartOpenLast", true);
    reg.Sync();
    TSettings s(reg, env);
    EXPECT_TRUE(s.StartOpenLast);
    EXPECT_EQ(s.History, (std::vector<std::string>{"/home/u/a.lyx"}));
}

TEST_F(SettingsTest, ScramblingRoundTripsEveryByte) {
    const std::string abc = ScrambleText("abc");
    ASSERT_EQ(abc.size(), 3u);
    EXPECT_EQ(static_cast<unsigned char>(abc[0]), static_cast<unsigned char>('a' ^ ((418327 >> 8) & 0xFF)));
    EXPECT_EQ(UnscrambleText(abc), "abc");

    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(UnscrambleText(ScrambleText(all)), all.substr(0, 255)) << "at most 255 bytes";

    // Through the settings file, credentials holding any byte (and scrambling to a 0 byte)
    // read back exactly.
    for (int start = 0; start < 256; start += 50) {
        const std::string user(1, static_cast<char>(start)), password = all.substr(1, 100);
        {
            Registry reg(path);
            TSettings s(reg, env);
            s.UseProxy = true;
            s.ProxyServer = "proxy";
            s.ProxyPort = "3128";
            s.ProxyUser = user == "|" ? "u" : user;
            s.ProxyPassword = password;
        }
        Registry reg(path);
        TSettings s(reg, env);
        EXPECT_EQ(s.ProxyPassword, password);
        EXPECT_EQ(s.ProxyUser, user == "|" ? "u" : user);
        EXPECT_EQ(s.ProxyPort, "3128");
    }
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(SettingsTest, ColumnValues) {
    Registry reg(path);
    reg.WriteString("List", "Col6", "1,x,2");
    reg.WriteString("List", "Col3", "1,220,3");
    reg.WriteString("List", "Col2", "garbage");
    reg.WriteString("List", "Col1", "wide");
    reg.WriteString("List", "Col8", "0,90,4");
    reg.Sync();
    TSettings s(reg, env);
    EXPECT_TRUE(s.Columns[TLVColumns::Visits].Visible);
    EXPECT_EQ(s.Columns[TLVColumns::Visits].Width, 50);
    EXPECT_TRUE(s.Columns[TLVColumns::Description].Visible);
    EXPECT_EQ(s.Columns[TLVColumns::Description].Width, 220);
    EXPECT_EQ(s.Columns[TLVColumns::Description].Position, 3);
    EXPECT_TRUE(s.Columns[TLVColumns::URL].Visible);
    EXPECT_EQ(s.Columns[TLVColumns::URL].Width, 150);
    EXPECT_EQ(s.Columns[TLVColumns::Name].Width, 150);
    EXPECT_FALSE(s.Columns[TLVColumns::Status].Visible);
    EXPECT_EQ(s.Columns[TLVColumns::Status].Width, 90);
    EXPECT_FALSE(s.Columns[TLVColumns::Added].Visible);
    EXPECT_EQ(s.Columns[TLVColumns::Added].Width, 100);
}

TEST_F(SettingsTest, EverythingRoundTrips) {
    {
        Registry reg(path);
        TSettings s(reg, env);
        s.InstallDir = "/usr/lib/lynkora/";
        s.TreeSortOrder = 103;
        s.ListSortOrder = 204;
        s.ListViewStyle = lvsList;
        s.ShowToolbar = false;
        s.ShowHeader = false;
        s.ShowToolTip = true;
        s.FlatToolBtn = false;
        s.UseProxy = true;
        s.AutoExpandList = true;
        s.FileEditMode = 1101;
        s.UseIconFont = false;
        s.UseEnglishDate = false;
        s.MaxHistory = 9;
        s.NewItemColor = 0x336699;
        s.WinLeft = 5;
        s.WinTop = 6;
        s.WinWidth = 700;
        s.WinHeight = 500;
        s.TreeWidth = 250;
        s.DupWinPos = "1,2,3,4";
        s.ConWinPos = "5,6,7,8";
        s.StartOpenLast = true;
        s.History = {"/a.lyx", "/b.lyx", "/c.lyx"};
        s.InterfaceStyle = isWeb;
        s.DefaultAction = 1;
        s.HandleRedirect = true;
        s.UseNotepad = false;
        s.CSSEditor = "/usr/bin/gedit";
        s.ProxyServer = "proxy.example";
        s.ProxyPort = "8080";
        s.ProxyUser = "me";
        s.ProxyPassword = "p|w";
        s.Columns[TLVColumns::Visits].Visible = true;
        s.Columns[TLVColumns::Visits].Width = 77;
        s.Columns[TLVColumns::Visits].Position = 2;
        TBrowser& b = s.BrowserList.Browsers.Add();
        b.Path = "/usr/bin/other";
        b.Command = "--private %s";
        b.Name = "Other";
        b.Version = "1.2";
        b.Icon.Data = std::string("\x89PNG\r\n\x1A\n\x00\x01", 10);
        s.ExportHTML.strTitle = "My links";
        s.ExportHTML.strBackTop = "Top";
        s.ExportHTML.TOC = true;
        s.ExportHTML.SelIdx = -1;
        TCSS& css = s.ExportHTML.Styles.Add();
        css.Name = "Mine";
        css.Path = "/home/u/mine.css";
        css.Text.Add("body { color: red }");
        css.Text.Add("a { }");
    }
    Registry reg(path);
    TSettings s(reg, env);
    EXPECT_EQ(s.InstallDir, "/usr/lib/lynkora/");
    EXPECT_EQ(s.TreeSortOrder, 103);
    EXPECT_EQ(s.ListSortOrder, 204);
    EXPECT_EQ(s.ListViewStyle, lvsList);
    EXPECT_FALSE(s.ShowToolbar);
    EXPECT_FALSE(s.ShowHeader);
    EXPECT_TRUE(s.ShowToolTip);
    EXPECT_FALSE(s.FlatToolBtn);
    EXPECT_TRUE(s.UseProxy);
    EXPECT_TRUE(s.AutoExpandList);
    EXPECT_EQ(s.FileEditMode, 1101);
    EXPECT_FALSE(s.UseIconFont);
    EXPECT_FALSE(s.UseEnglishDate);
    EXPECT_EQ(s.MaxHistory, 9);
    EXPECT_EQ(s.NewItemColor, 0x336699);
    EXPECT_EQ(s.WinLeft, 5);
    EXPECT_EQ(s.WinTop, 6);
    EXPECT_EQ(s.WinWidth, 700);
    EXPECT_EQ(s.WinHeight, 500);
    EXPECT_EQ(s.TreeWidth, 250);
    EXPECT_EQ(s.DupWinPos, "1,2,3,4");
    EXPECT_EQ(s.ConWinPos, "5,6,7,8");
    EXPECT_TRUE(s.StartOpenLast);
    EXPECT_EQ(s.History, (std::vector<std::string>{"/a.lyx", "/b.lyx", "/c.lyx"}));
    EXPECT_EQ(s.InterfaceStyle, isWeb);
    EXPECT_EQ(s.DefaultAction, 1);
    EXPECT_TRUE(s.HandleRedirect);
    EXPECT_FALSE(s.UseNotepad);
    EXPECT_EQ(s.CSSEditor, "/usr/bin/gedit");
    EXPECT_EQ(s.ProxyServer, "proxy.example");
    EXPECT_EQ(s.ProxyPort, "8080");
    EXPECT_EQ(s.ProxyUser, "me");
    EXPECT_EQ(s.ProxyPassword, "p|w");
    EXPECT_TRUE(s.Columns[TLVColumns::Visits].Visible);
    EXPECT_EQ(s.Columns[TLVColumns::Visits].Width, 77);
    EXPECT_EQ(s.Columns[TLVColumns::Visits].Position, 2);
    // The default browser comes back first, rebuilt, never from the file.
    ASSERT_EQ(s.BrowserList.Browsers.Count(), 2u);
    EXPECT_TRUE(s.BrowserList.Browsers.Items(0).IsDefault);
    const TBrowser& b = s.BrowserList.Browsers.Items(1);
    EXPECT_EQ(b.Path, "/usr/bin/other");
    EXPECT_EQ(b.Command, "--private %s");
    EXPECT_EQ(b.Icon.Data, std::string("\x89PNG\r\n\x1A\n\x00\x01", 10));
    EXPECT_EQ(s.ExportHTML.strTitle, "My links");
    EXPECT_TRUE(s.ExportHTML.TOC);
    EXPECT_EQ(s.ExportHTML.SelIdx, -1);
    ASSERT_EQ(s.ExportHTML.Styles.Count(), 1u);
    EXPECT_EQ(s.ExportHTML.Styles.Items(0).Text.Items(),
              (std::vector<std::string>{"body { color: red }", "a { }"}));
    const std::string stored = reg.ReadBinary("", "Browsers");
    EXPECT_EQ(stored.find("surfer"), std::string::npos) << "the default entry is never stored";
    TBrowserList again;
    ObjectStream::ReadObject(stored, again);
    EXPECT_EQ(ObjectStream::WriteObject(again), stored);
}

TEST_F(SettingsTest, EditorChoicePendingModeAndAutostart) {
    {
        Registry reg(path);
        TSettings s(reg, env);
        s.UseDefaultCSS = true;
        s.UseNotepad = false;
        s.PendingFileEditMode = 1101;
        s.AutostartMinimized = true;
        s.WriteAutostart();
        EXPECT_EQ(s.FileEditMode, 1102) << "the running program keeps its mode";
    }
    EXPECT_NE(ReadAll(env.autostart).find("Exec=\"/opt/lynkora/lynkora\" /m\n"), std::string::npos);
    {
        Registry reg(path);
        EXPECT_EQ(reg.ReadInteger("", "UseDefaultCSS"), 1);
        EXPECT_FALSE(reg.ValueExists("", "CSSEditor"));
        TSettings s(reg, env);
        EXPECT_EQ(s.FileEditMode, 1101);
        EXPECT_TRUE(s.UseDefaultCSS);
        EXPECT_TRUE(s.Autostart);
        EXPECT_TRUE(s.AutostartMinimized);
        s.UseDefaultCSS = false;
        s.UseNotepad = true;
        s.RemoveAutostart();
    }
    Registry reg(path);
    EXPECT_FALSE(reg.ValueExists("", "UseDefaultCSS"));
    TSettings s(reg, env);
    EXPECT_TRUE(s.UseNotepad);
    EXPECT_FALSE(s.Autostart);
    // A folder with blanks and a "/m" in its name: one quoted program, not started minimised.
    s.InstallDir = "/media/my apps/";
    s.AutostartMinimized = false;
    s.WriteAutostart();
    EXPECT_NE(ReadAll(env.autostart).find("Exec=\"/media/my apps/lynkora\"\n"), std::string::npos);
    TSettings again(reg, env);
    EXPECT_TRUE(again.Autostart);
    EXPECT_FALSE(again.AutostartMinimized);
}

TEST_F(SettingsTest, ProxyIsWrittenEvenWhenOff) {
    {
        Registry reg(path);
        reg.WriteString("Proxy", "Server", "old");
        reg.WriteString("Proxy", "UserInfo", "junk");
        reg.Sync();
        TSettings s(reg, env); // UseProxy off: the proxy key is not read
        EXPECT_EQ(s.ProxyServer, "");
    }
    Registry reg(path);
    EXPECT_EQ(reg.ReadString("Proxy", "Server"), "");
    EXPECT_EQ(reg.ReadString("Proxy", "Port"), "80");
    EXPECT_FALSE(reg.ValueExists("Proxy", "UserInfo"));
}

TEST_F(SettingsTest, ExportSettingsReloadWithThePredefinedSheet) {
    Registry reg(path);
    TSettings s(reg, env);
    s.ExportHTML.SelIdx = 2;
    s.SaveExportHTML();
    s.ReloadExportHTML();
    EXPECT_EQ(s.ExportHTML.Styles.Count(), 0u) << "no resource library: nothing appended";
    EXPECT_EQ(s.ExportFolder, "/opt/lynkora/");
    env.sheet = "/* Classic */\r\nbody { font-family: serif }\r\n";
    reg.WriteString("", "ExportFolder", "/srv/www");
    s.ReloadExportHTML();
    ASSERT_EQ(s.ExportHTML.Styles.Count(), 1u);
    const TCSS& css = s.ExportHTML.Styles.Items(0);
    EXPECT_EQ(css.Name, "Classic");
    EXPECT_TRUE(css.IsPredefined);
    EXPECT_EQ(css.Text.Items(), (std::vector<std::string>{"/* Classic */", "body { font-family: serif }"}));
    EXPECT_EQ(s.ExportFolder, "/srv/www");
    EXPECT_EQ(StyleSheetName("/* Modern Blue */"), "Modern Blue");
}

TEST_F(SettingsTest, ToolbarHooksAndProxyFailure) {
    {
        Registry reg(path);
        TSettings s(reg, env);
        TStringList dummy; // any streamed object will do until the toolbar exists
        bool cleared = false;
        EXPECT_FALSE(s.LoadToolbar(dummy, [&] { cleared = true; }));
        EXPECT_FALSE(cleared);
        TBrowserList bar;
        bar.Browsers.Add().Name = "button";
        s.SaveToolbar(bar);
        TBrowserList back;
        EXPECT_TRUE(s.LoadToolbar(back, [&] { cleared = true; }));
        EXPECT_TRUE(cleared);
        EXPECT_EQ(back.Browsers.Items(0).Name, "button");
    }
    Registry reg(path);
    reg.WriteBool("", "UseProxy", true);
    reg.WriteBinary("Proxy", "UserInfo", "not text");
    reg.Sync();
    try {
        TSettings s(reg, env);
        FAIL();
    } catch (const ELynkora& e) {
        EXPECT_EQ(std::string(e.what()).rfind(
                      "An error occured while trying to read the proxy settings\n\n", 0),
                  0u);
    }
}

TEST(BrowserListStream, IconDataIsWrittenOnlyWhenPresent) {
    TBrowserList list;
    TBrowser& a = list.Browsers.Add();
    a.Path = "/usr/bin/firefox";
    a.Command = "%s";
    a.Name = "Firefox";
    a.Icon.Data = std::string("\x00\x01\x02\xFF", 4);
    TBrowser& b = list.Browsers.Insert(0);
    b.Name = "Plain";
    b.IsDefault = true;
    EXPECT_EQ(list.Browsers.Items(1).ID(), 0u);
    EXPECT_EQ(list.Browsers.Items(0).ID(), 1u);
    EXPECT_EQ(list.Browsers.FindItemID(0), &a);

    const std::string bytes = ObjectStream::WriteObject(list);
    EXPECT_NE(bytes.find(std::string("\x09Icon.Data\x0A\x04\x00\x00\x00\x00\x01\x02\xFF", 19)),
              std::string::npos);
    EXPECT_EQ(bytes.find("Icon.Data"), bytes.rfind("Icon.Data")) << "only the entry with an icon";

    TBrowserList back;
    ObjectStream::ReadObject(bytes, back);
    ASSERT_EQ(back.Browsers.Count(), 2u);
    EXPECT_EQ(back.Browsers.Items(1).Icon.Data, a.Icon.Data);
    EXPECT_TRUE(back.Browsers.Items(0).IsDefault);
    EXPECT_EQ(ObjectStream::WriteObject(back), bytes);
    back.RemoveDefaultEntries();
    EXPECT_EQ(back.Browsers.Count(), 1u);
    EXPECT_TRUE(back.IsBrowserListed("/usr/bin/../bin/firefox"));
    EXPECT_FALSE(back.IsBrowserListed("/usr/bin/chromium"));
}

// A settings file damaged by hand or by another program never keeps the program from starting:
// each value that does not read gets its default.
TEST_F(SettingsTest, DamagedValuesGetTheirDefaults) {
    {
        std::ofstream out(path);
        out << "[General]\nTreeSortOrder=x\nShowToolBar=maybe\nMaxHistory=2\n"
               "Browsers=@ByteArray(\\0\\x1garbage)\nExportHTML=not binary\n[History]\n";
        for (int i = 0; i < 10000; ++i)
            out << i << "=/home/u/file" << i << ".lyx\n";
    }
    Registry reg(path);
    std::unique_ptr<TSettings> s;
    ASSERT_NO_THROW(s = std::make_unique<TSettings>(reg, env));
    EXPECT_EQ(s->TreeSortOrder, 0);
    EXPECT_TRUE(s->ShowToolbar);
    EXPECT_EQ(s->History.size(), 2u) << "no more than the list keeps is read";
    s->SaveAll();
    s.reset();
    Registry again(path);
    TSettings back(again, env);
    EXPECT_EQ(again.ReadInteger("", "TreeSortOrder"), 0) << "written good at the next save";
}

TEST_F(SettingsTest, ASettingsFileThatIsNoFileIsLeftAlone) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    Registry reg(path); // would wait for a writer for ever if it read the FIFO
    EXPECT_TRUE(reg.Substitute());
    TSettings s(reg, env);
    s.TreeSortOrder = 1;
    s.SaveAll();
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    std::filesystem::remove(reg.FilePath());
}
