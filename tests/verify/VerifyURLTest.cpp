// The check against real servers on 127.0.0.1.
#include "TestServers.h"

#include "support/QtTestApp.h"

#include "verify/HttpCheck.h"
#include "verify/StatusText.h"
#include "verify/VerifyURL.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>

using namespace lynkora;

namespace {

class Online : public ConnectivityProbe {
public:
    bool IsOffline(std::string&) const override { return false; }
};

class VerifyURLTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        test::EnsureQtApp();
        servers = new test::TestServers;
    }
    static void TearDownTestSuite() {
        delete servers;
        servers = nullptr;
    }
    void SetUp() override {
        if (!servers->ok())
            GTEST_SKIP() << "the test servers did not start";
        verify.CaFile = servers->caFile;
        verify.Probe = &online;
    }
    CheckOutcome Check(const std::string& url) { return verify.Check(url); }

    static test::TestServers* servers;
    Online online;
    TVerifyURL verify;
};

test::TestServers* VerifyURLTest::servers = nullptr;

} // namespace

TEST(StatusText, Table) {
    EXPECT_EQ(StatusText(404), "404: Not found");
    EXPECT_EQ(StatusText(503), "503: Service (temporarily) unavailable");
    // A failure is never without a text.
    EXPECT_EQ(StatusText(416), "416: Unknown status code");
    EXPECT_EQ(StatusText(999), "999: Unknown status code");
    EXPECT_EQ(StatusText(200), "");
}

TEST_F(VerifyURLTest, StatusCodes) {
    EXPECT_EQ(Check(servers->Http("/ok")).statusCode, 200);
    EXPECT_EQ(Check(servers->Http("/head405")).statusCode, 200) << "HEAD 405, then GET 200";
    EXPECT_EQ(Check(servers->Http("/notfound")).statusCode, 404);
    EXPECT_EQ(Check(servers->Http("/teapot")).statusCode, 418);
    EXPECT_EQ(Check(servers->Http("/strict")).statusCode, 200) << "agent, Accept and HTTP/1.0";
    EXPECT_EQ(Check(servers->Http("/query?a=1&b=2")).statusCode, 200) << "the query is sent";
    EXPECT_EQ(Check(servers->Http("/caf\xC3\xA9 x")).statusCode, 200) << "path percent-encoded";
    EXPECT_EQ(Check("127.0.0.1:" + std::to_string(servers->http) + "/ok").statusCode, 200)
        << "no scheme means http; the port written is used";
    EXPECT_EQ(Check(servers->Http("/notfound?" + std::string(400, 'q'))).statusCode, 404)
        << "long URLs are not cut";
}

TEST_F(VerifyURLTest, RedirectsAndCertificates) {
    const std::string https = servers->Https(servers->wronghost, "/ok");
    const CheckOutcome toHttps = Check(servers->Http("/redirect?to=" + https));
    EXPECT_EQ(toHttps.statusCode, 200) << "http to https with a wrong host name: " << toHttps.responseText;
    EXPECT_EQ(Check(servers->Https(servers->expired, "/head405")).statusCode, 200)
        << "an expired certificate is tolerated";
    const CheckOutcome unknown = Check(servers->Https(servers->unknown, "/ok"));
    EXPECT_EQ(unknown.statusCode, 0) << "an unknown issuer is not";
    EXPECT_FALSE(unknown.responseText.empty());
    const CheckOutcome loop = Check(servers->Http("/loop"));
    EXPECT_EQ(loop.statusCode, 0);
    EXPECT_NE(loop.responseText.find("redirect"), std::string::npos) << loop.responseText;
}

TEST_F(VerifyURLTest, FailuresGiveTheirText) {
    const CheckOutcome host = Check("http://no-such-host.invalid/");
    EXPECT_EQ(host.statusCode, 0);
    EXPECT_NE(host.responseText.find("resolve"), std::string::npos) << host.responseText;
    const CheckOutcome idn = Check("http://b\xC3\xBC" "cher.invalid/");
    EXPECT_NE(idn.responseText.find("xn--bcher-kva.invalid"), std::string::npos) << idn.responseText;
    const CheckOutcome scheme = Check("ftp://127.0.0.1/");
    EXPECT_EQ(scheme.statusCode, 0);
    EXPECT_FALSE(scheme.responseText.empty());
}

TEST_F(VerifyURLTest, AbandonIsImmediateAndWins) {
    QTimer::singleShot(300, [&] { verify.Abort(true); });
    const auto start = std::chrono::steady_clock::now();
    const CheckOutcome hang = Check("http://127.0.0.1:" + std::to_string(servers->silent) + "/");
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(hang.statusCode, 0);
    EXPECT_EQ(hang.responseText, "Verfication aborted");
    EXPECT_LT(ms, 3000) << "the stop interrupts the transfer";
    EXPECT_FALSE(verify.Running());
}

TEST_F(VerifyURLTest, TheBodyIsNeverRead) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Check(servers->Http("/big")).statusCode, 200);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(ms, 3000) << "a 1 GB body must not be read";
}

// No body is read, not even a redirect's on a kept-alive connection; what a server sends in
// headers is bounded, and the texts say what happened.
TEST_F(VerifyURLTest, HostileAnswersEndWithTheirText) {
    const CheckOutcome big = Check(servers->Http("/bigredirect"));
    EXPECT_EQ(big.statusCode, 200) << big.responseText;
    EXPECT_EQ(Check(servers->Http("/status?code=999")).statusCode, 999);
    const CheckOutcome longStatus = Check(servers->Http("/longstatus"));
    EXPECT_EQ(longStatus.statusCode, 0);
    EXPECT_EQ(longStatus.responseText, "The server's response headers are too long");

    HttpCheck check;
    HttpCheckRequest req;
    req.url = servers->Http("/drip");
    req.totalTimeoutMs = 1500;
    const HttpCheckResult drip = check.Run(req);
    EXPECT_EQ(drip.statusCode, 0);
    // The whole check's time, not the few milliseconds the GET had left.
    EXPECT_EQ(drip.errorText.rfind("Operation timed out after 1", 0), 0u) << drip.errorText;
    EXPECT_GE(std::stol(drip.errorText.substr(26)), 1400) << drip.errorText;
}

TEST_F(VerifyURLTest, ThroughAProxyWithCredentials) {
    verify.ProxyServer = "127.0.0.1";
    verify.ProxyPort = std::to_string(servers->proxy);
    verify.ProxyUser = "proxyuser";
    verify.ProxyPass = "proxy pass";
    EXPECT_EQ(Check("http://through.proxy.invalid/page").statusCode, 200);
    verify.ProxyPass = "wrong";
    EXPECT_EQ(Check("http://through.proxy.invalid/page").statusCode, 407);
    verify.ProxyServer.clear(); // no proxy: the host does not resolve
    EXPECT_EQ(Check("http://through.proxy.invalid/page").statusCode, 0);
}

TEST_F(VerifyURLTest, OfflineBeforeTheCheck) {
    class Offline : public ConnectivityProbe {
    public:
        bool IsOffline(std::string& text) const override {
            text = "Network is down";
            return true;
        }
    } offline;
    verify.Probe = &offline;
    const CheckOutcome r = Check(servers->Http("/ok"));
    EXPECT_EQ(r.statusCode, 0);
    EXPECT_EQ(r.responseText, "Network is down");
}
