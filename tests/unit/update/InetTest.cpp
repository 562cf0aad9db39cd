// The download client against a hostile server: result codes, bodies, the
// requests made and the time taken, for each way a server can misbehave.
#include "update/Inet.h"

#include "HostileServer.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

class Inet : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server = new CHostileServer;
        ASSERT_TRUE(server->bStart());
    }
    static void TearDownTestSuite() { delete server; }

    void SetUp() override
    {
        unsetenv("SSL_CERT_FILE");
        unsetenv("https_proxy");
        // Pauses and time-outs in tenths of a second: 0.5 s between retries,
        // 0.3 s without a byte.
        inet.nSecondMs = 100;
        inet.nReceiveTimeout = 3;
        inet.nConnectTimeout = 20;
        ASSERT_EQ(inet.OpenInternet(FALSE), 0);
        server->TakeRequests();
    }

    int Fetch(QString& url)
    {
        const auto t0 = std::chrono::steady_clock::now();
        const int result = inet.Download(url, body, size, TRUE);
        ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
        EXPECT_EQ(size, static_cast<DWORD>(body.size()));
        return result;
    }

    static CHostileServer* server;
    CInet inet;
    QByteArray body;
    DWORD size = 0;
    long long ms = 0;
};

CHostileServer* Inet::server = nullptr;

struct Case {
    QString path;  // %1 is the plain port
    int nResult;
    QByteArray body;
    QStringList requests;  // "HTTP/1.0 /path"; empty: not checked
    int nMaxMs;
};

} // namespace

TEST_F(Inet, EachServerBehaviourGivesItsResultBodyRequestsAndTime)
{
    const QByteArray limit(2048000, 'a');
    const Case cases[] = {
        {"/ok", INET_OK, "hello world", {"HTTP/1.0 GET /ok"}, 1000},
        {"/nolength", INET_OK, "no declared length", {}, 1000},
        {"/exact?n=2048000", INET_OK, limit, {}, 3000},
        // Past the limit without a declared length: cut while reading.
        {"/exact?n=2048001", INET_TOO_LARGE, "", {"HTTP/1.0 GET /exact?n=2048001"}, 3000},
        // The server holds the connection for 10 s: refused without reading on.
        {"/huge-declared", INET_TOO_LARGE, "", {"HTTP/1.0 GET /huge-declared"}, 1500},
        {"/endless", INET_TOO_LARGE, "", {"HTTP/1.0 GET /endless"}, 3000},
        {"/redirect?code=301&to=/ok", INET_OK, "hello world",
            {"HTTP/1.0 GET /redirect?code=301&to=/ok", "HTTP/1.0 GET /ok"}, 1000},
        {"/redirect?code=303&to=http://127.0.0.1:%1/nolength", INET_OK, "no declared length", {}, 1000},
        {"/redirect?code=302&to=ok", INET_OK, "hello world", {}, 1000},
        {"/loop", INET_REDIRECTED, "", {"HTTP/1.0 GET /loop", "HTTP/1.0 GET /loop", "HTTP/1.0 GET /loop"}, 1000},
        {"/status?code=401", INET_AUTH_REQUIRED, "", {"HTTP/1.0 GET /status?code=401"}, 1000},
        {"/status?code=407", INET_AUTH_REQUIRED, "", {"HTTP/1.0 GET /status?code=407"}, 1000},
        {"/status?code=500", INET_HTTP_STATUS, "", {"HTTP/1.0 GET /status?code=500"}, 1000},
        {"/flaky?id=a&code=408", INET_OK, "recovered", {}, 2000},
        {"/flaky?id=b&code=504", INET_OK, "recovered", {}, 2000},
        // Empty twice, then the generic opening (HTTP/1.1) at once, then once more.
        {"/empty", INET_FAILED, "",
            {"HTTP/1.0 GET /empty", "HTTP/1.0 GET /empty", "HTTP/1.1 GET /empty", "HTTP/1.0 GET /empty"}, 1500},
        // Four receive time-outs of 0.3 s.
        {"/silent", INET_FAILED, "", {}, 3000},
        {"/drip?n=5&ms=50", INET_OK, "ddddd", {}, 2000},
        {"/garbage", INET_FAILED, "", {}, 1500},
        {"/cut", INET_FAILED, "", {}, 1500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        QString url = server->Url(QString(c.path).replace("%1", QString::number(server->nPort)));
        EXPECT_EQ(Fetch(url), c.nResult) << inet.strErrorText.toStdString();
        EXPECT_EQ(body.size(), c.body.size());
        EXPECT_TRUE(body == c.body);
        EXPECT_LT(ms, c.nMaxMs);
        const QStringList logged = server->TakeRequests();
        if (!c.requests.isEmpty()) {
            EXPECT_EQ(logged, c.requests);
        }
    }
}

TEST_F(Inet, RetriesWaitTheirPausesAndGiveUpAfterThreeAttempts)
{
    QString url = server->Url("/status?code=404");
    EXPECT_EQ(Fetch(url), INET_RETRY);
    EXPECT_EQ(inet.nHttpStatus, 404);
    EXPECT_EQ(server->TakeRequests().size(), 3);
    // Three 0.05 s pauses after each 404 and two 0.5 s delays before the next
    // attempt; the toolkit's timers may fire a millisecond or two early.
    EXPECT_GE(ms, 1145);
    EXPECT_LT(ms, 3000);
}

TEST_F(Inet, UrlsAreCompletedCutAndRedirectedOnTheirOwnServer)
{
    QString bare = QStringLiteral("127.0.0.1:%1/ok#part").arg(server->nPort);
    EXPECT_EQ(Fetch(bare), INET_OK);
    EXPECT_EQ(bare, server->Url("/ok#part")) << "the caller's URL gets the scheme";
    EXPECT_EQ(server->TakeRequests(), QStringList{"HTTP/1.0 GET /ok"}) << "the fragment is not sent";

    QString relative = server->Url("/redirect?code=301&to=/nolength");
    EXPECT_EQ(Fetch(relative), INET_OK);
    EXPECT_EQ(relative, server->Url("/nolength")) << "scheme and port kept";

    for (const char* bad : {"http://", "http://:80/x", "http://host:99999/", "mailto:a@b"}) {
        QString url = QString::fromLatin1(bad);
        EXPECT_EQ(Fetch(url), INET_BAD_URL) << bad;
        EXPECT_EQ(inet.strErrorText, "The URL is empty or does not contain a known Internet service type.");
    }
}

TEST_F(Inet, HttpsVerifiesCertificatesAndNeverDowngrades)
{
    QString url = server->TlsUrl("/ok");
    EXPECT_EQ(Fetch(url), INET_FAILED) << "the test authority is not in the system store";
    EXPECT_EQ(inet.nLastError, ERROR_INTERNET_SECURE_FAILURE);

    setenv("SSL_CERT_FILE", server->CaFile().toLocal8Bit().constData(), 1);
    EXPECT_EQ(Fetch(url), INET_OK);
    EXPECT_EQ(body, "hello world");

    QString rogue = server->TlsUrl("/ok", server->nRoguePort);
    EXPECT_EQ(Fetch(rogue), INET_FAILED) << "a self-signed certificate is refused";

    QString relative = server->TlsUrl("/redirect?code=302&to=/nolength");
    EXPECT_EQ(Fetch(relative), INET_OK);
    EXPECT_EQ(relative, server->TlsUrl("/nolength"));

    server->TakeRequests();
    QString down = server->TlsUrl("/redirect?code=301&to=" + server->Url("/ok"));
    EXPECT_EQ(Fetch(down), INET_FAILED);
    EXPECT_EQ(down, server->TlsUrl("/redirect?code=301&to=" + server->Url("/ok")));
    for (const QString& line : server->TakeRequests())
        EXPECT_TRUE(line.endsWith(" tls")) << "nothing went out in the clear: " << line.toStdString();
}

TEST_F(Inet, TheProxyVariablesAreHonoured)
{
    setenv("SSL_CERT_FILE", server->CaFile().toLocal8Bit().constData(), 1);
    setenv("https_proxy", server->Url("").toLatin1().constData(), 1);
    QString url = QStringLiteral("https://lumicue.example/ok");
    EXPECT_EQ(Fetch(url), INET_OK) << inet.strErrorText.toStdString();
    EXPECT_EQ(body, "hello world");
    EXPECT_EQ(server->TakeRequests(), (QStringList{"HTTP/1.1 CONNECT lumicue.example:443", "HTTP/1.0 GET /ok tls"}));
}

TEST_F(Inet, AbortEndsAWaitingTransferAtOnce)
{
    inet.nReceiveTimeout = 600;
    QString url = server->Url("/silent");
    std::chrono::steady_clock::time_point tAbort;
    std::thread stopper([&] {
        EXPECT_TRUE(server->bWaitForRequest(5000));
        tAbort = std::chrono::steady_clock::now();
        inet.vAbort();
    });
    EXPECT_EQ(inet.Download(url, body, size, TRUE), INET_FAILED);
    const auto late = std::chrono::steady_clock::now() - tAbort;
    stopper.join();
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(late).count(), 100);
}
