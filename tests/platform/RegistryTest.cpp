#include "support/TestPaths.h"

#include "platform/Registry.h"
#include "store/Errors.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace lynkora;

namespace {

std::string NewFile() { return (test::FreshDir("registry") / "Lynkora4.conf").string(); }

unsigned Mode(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 0777;
}

} // namespace

TEST(Registry, ValuesKeepTheirTypesAndNamesIgnoreCase) {
    const std::string path = NewFile();
    {
        Registry reg(path);
        reg.WriteString("", "WinPos", "1,2,3,4,5");
        reg.WriteInteger("", "MaxHistory", -7);
        reg.WriteBool("", "ShowHeader", true);
        reg.WriteBinary("", "Browsers", std::string("TPF0\x00\x01\xFF", 7));
        reg.WriteString("Proxy", "Server", "proxy.local");
        reg.WriteInteger("", "maxhistory", 9); // the same value, whatever the case
        reg.Sync();
    }
    Registry reg(path);
    EXPECT_EQ(reg.ReadString("", "winpos"), "1,2,3,4,5");
    EXPECT_EQ(reg.ReadInteger("", "MaxHistory"), 9);
    EXPECT_TRUE(reg.ReadBool("", "SHOWHEADER"));
    EXPECT_EQ(reg.ReadInteger("", "ShowHeader"), 1) << "Booleans are stored as 0 or 1";
    EXPECT_EQ(reg.ReadBinary("", "Browsers"), std::string("TPF0\x00\x01\xFF", 7));
    EXPECT_EQ(reg.ReadString("proxy", "server"), "proxy.local");
    EXPECT_TRUE(reg.OpenKey("Proxy", false));
    EXPECT_FALSE(reg.OpenKey("List", false));
    EXPECT_TRUE(reg.OpenKey("List", true));

    EXPECT_THROW(reg.ReadInteger("", "WinPos"), ELynkora);
    EXPECT_THROW(reg.ReadBinary("", "WinPos"), ELynkora);
    EXPECT_THROW(reg.ReadString("", "Browsers"), ELynkora);
    try {
        reg.ReadString("", "Missing");
        FAIL();
    } catch (const ELynkora& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'Missing'");
    }
    reg.DeleteValue("", "WINPOS");
    EXPECT_FALSE(reg.ValueExists("", "WinPos"));
    reg.DeleteKey("proxy");
    EXPECT_FALSE(reg.OpenKey("Proxy", false));
}

TEST(Registry, NumberedNamesListInNumericOrder) {
    Registry reg(NewFile());
    for (int i : {10, 2, 0, 1, 11, 3})
        reg.WriteString("History", std::to_string(i), "f" + std::to_string(i));
    EXPECT_EQ(reg.ValueNames("History"),
              (std::vector<std::string>{"0", "1", "2", "3", "10", "11"}));
}

TEST(Registry, TheFileStaysPrivate) {
    const std::string path = NewFile();
    {
        Registry reg(path);
        EXPECT_EQ(Mode(path), 0600u);
        reg.WriteString("Proxy", "UserInfo", "secret");
        reg.Sync();
        EXPECT_EQ(Mode(path), 0600u);
        ::chmod(path.c_str(), 0644);
        reg.WriteString("Proxy", "Server", "x");
        reg.Sync();
        EXPECT_EQ(Mode(path), 0600u);
    }
    EXPECT_EQ(Mode(path), 0600u);
}

TEST(Registry, EveryByteOfATextSurvives) {
    const std::string path = NewFile();
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const QString latin = QString::fromLatin1(all.data(), 256);
    {
        Registry reg(path);
        reg.WriteString("Proxy", "UserInfo", latin.toStdString());
        reg.Sync();
    }
    Registry reg(path);
    EXPECT_EQ(QString::fromStdString(reg.ReadString("Proxy", "UserInfo")).toLatin1().toStdString(), all);
}
