// lynkora-cli verify on a real file against the local test servers.
#include "TestServers.h"

#include "support/QtTestApp.h"
#include "support/TestPaths.h"

#include "../cli/CliRunner.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace lynkora;
using lynkora::test::Cli;
using Result = lynkora::test::CliResult;

namespace {

} // namespace

TEST(VerifyCommand, ChecksAndWritesResultsIntoTheFile) {
    test::EnsureQtApp();
    test::TestServers servers;
    if (!servers.ok())
        GTEST_SKIP() << "the test servers did not start";
    const std::string path = (test::FreshDir("cli-verify") / "links.lyx").string();
    const std::string json =
        R"({"Root": {"Shortcuts": [{"Name": "ok", "URL": ")" + servers.Http("/ok") +
        R"("}], "Categories": [{"FolderName": "Sub", "Shortcuts": [{"Name": "gone", "URL": ")" +
        servers.Http("/notfound") + R"("}, {"Name": "head", "URL": ")" + servers.Http("/head405") +
        R"("}]}]}})";
    ASSERT_EQ(Cli({"import-json", path}, json).code, 0);

    Result r = Cli({"verify", path});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Checked: 3\nGood: 2\nFailed: 1\n"), std::string::npos) << r.out;
    std::string exported = Cli({"export-json", path}).out;
    EXPECT_NE(exported.find("\"VerState\": 2002, \"Name\": \"gone\""), std::string::npos);
    EXPECT_NE(exported.find("\"verResponse\": \"404: Not found\""), std::string::npos);
    EXPECT_NE(exported.find("\"verResponse\": \"Verfication successful.\""), std::string::npos);

    r = Cli({"verify", path, "--errors-only"});
    EXPECT_NE(r.out.find("Checked: 1\n"), std::string::npos) << r.out;
    r = Cli({"verify", path, "--category", "Sub"});
    EXPECT_NE(r.out.find("Checked: 2\n"), std::string::npos) << r.out;
    r = Cli({"verify", path, "--category", "Nowhere"});
    EXPECT_NE(r.code, 0);
    EXPECT_NE(r.err.find("No category"), std::string::npos);
    EXPECT_EQ(Cli({"verify"}).code, 2);

    // One by one or many at once: the same results.
    r = Cli({"verify", path, "--jobs", "1"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string one = Cli({"export-json", path}).out;
    r = Cli({"verify", path, "--jobs", "16"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Checked: 3\nGood: 2\nFailed: 1\n"), std::string::npos) << r.out;
    auto states = [](const std::string& text) {
        std::string out;
        for (std::size_t at = text.find("\"VerState\""); at != std::string::npos; at = text.find("\"VerState\"", at + 1))
            out += text.substr(at, 17);
        for (std::size_t at = text.find("\"verResponse\""); at != std::string::npos; at = text.find("\"verResponse\"", at + 1))
            out += text.substr(at, text.find('"', at + 16) - at);
        return out;
    };
    EXPECT_EQ(states(Cli({"export-json", path}).out), states(one));
    EXPECT_EQ(Cli({"verify", path, "--jobs", "0"}).code, 2);
    EXPECT_EQ(Cli({"verify", path, "--jobs", "33"}).code, 2);
}
