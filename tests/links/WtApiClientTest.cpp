// The WT JSON API client against a real HTTP server on the loopback interface.
#include "links/WtApiClient.h"
#include "app/HttpSinks.h"
#include "app/MatchData.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/TestCourt.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

const std::string kInclude =
    "include=homeCompetitor,awayCompetitor,refereeAssignment,event,matchConfiguration";

void SetWide(char16_t (&field)[260], const std::string& text) {
    const std::u16string wide = QString::fromStdString(text).toStdU16String();
    std::fill(std::begin(field), std::end(field), u'\0');
    std::copy_n(wide.begin(), std::min<std::size_t>(wide.size(), 259), field);
}

void SetNarrow(char (&field)[260], const std::string& text) {
    std::fill(std::begin(field), std::end(field), '\0');
    std::copy_n(text.begin(), std::min<std::size_t>(text.size(), 259), field);
}

class WtApiClientTest : public ::testing::Test, protected TestCourt {
protected:
    WtApiClientTest() {
        WtApiStartup();
        g_strHttpResp.reset();
        SetWide(md->wszWTBaseUrl, server.BaseUrl() + "/api/v1");
        SetWide(md->wszWTApiKey, "KEY");
        SetNarrow(md->szMatchId, "m-17");
        md->nCourtNo = 3;
    }
    ~WtApiClientTest() override {
        WtApiShutdown();
        g_strHttpResp.reset();
    }

    WtApiTarget Target() const { return WtApiTarget::Of(*md); }

    LocalHttpServer server;
};

TEST_F(WtApiClientTest, GetsReturnTheClientCodeAndLeaveTheReplyText) {
    struct Case {
        const char* name;
        int type;
        int status;
        bool closedPort;
        int result;
        const char* reply;
    };
    const Case cases[] = {
        {"status answered", 0, 200, false, 0, "HTTP Response Code : 200"},
        {"status refused by the server", 0, 500, false, 22, "HTTP Response Code : 500"},
        {"match list answered", 1, 200, false, 0, "{\"data\":[]}"},
        {"match list not found", 1, 404, false, 22, "HTTP Response Code : 404"},
        {"one match answered", 2, 200, false, 0, "{\"data\":[]}"},
        {"nobody listening", 0, 200, true, 7, "HTTP Response Code : 0"},
        {"nobody listening for the list", 1, 200, true, 7, "HTTP Response Code : 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.SetResponder([&](const HttpRequestSeen&) { return HttpReply{c.status, "{\"data\":[]}"}; });
        WtApiTarget target = Target();
        if (c.closedPort)
            target.baseUrl = "http://127.0.0.1:" + std::to_string(LocalHttpServer::ClosedPort());
        g_strHttpResp.assign("left from before");
        EXPECT_EQ(WtApiGet(c.type, target, "m-9"), c.result);
        EXPECT_EQ(g_strHttpResp.take(), std::string(c.reply));
    }
}

TEST_F(WtApiClientTest, GetsAskForTheUrlsAndHeadersTheServerExpects) {
    ASSERT_EQ(WtApiGet(0, nullptr), 0);
    ASSERT_EQ(WtApiGet(1, nullptr), 0);
    ASSERT_EQ(WtApiGet(2, "A 7/x"), 0); // an id with characters a path cannot hold as they are
    const std::vector<HttpRequestSeen> seen = server.Requests();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].target, "/api/v1/status");
    EXPECT_EQ(seen[1].target,
              "/api/v1/matches?filter[mat]=3&filter[status]=available&sort=scheduled&" + kInclude);
    EXPECT_EQ(seen[2].target, "/api/v1/matches/A%207%2Fx?" + kInclude);
    for (const HttpRequestSeen& request : seen) {
        EXPECT_EQ(request.method, "GET");
        std::vector<std::string> ours;
        for (const std::string& line : request.headerLines)
            if (line.rfind("cache-control", 0) == 0 || line.rfind("accept", 0) == 0 ||
                line.rfind("x-api-key", 0) == 0 || line.rfind("content-type", 0) == 0)
                ours.push_back(line);
        EXPECT_EQ(ours, (std::vector<std::string>{"cache-control: no-cache",
                                                  "accept: application/vnd.api+json", "x-api-key:KEY"}));
    }
}

TEST_F(WtApiClientTest, AGetEndsWithinItsTimeOut) {
    server.SetResponder([](const HttpRequestSeen&) { return HttpReply{200, "late", 2000ms}; });
    WtApiTransferLimits limits;
    limits.totalTimeout = 200ms;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WtApiGet(1, Target(), {}, limits), 28);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
    EXPECT_EQ(g_strHttpResp.take(), std::string("HTTP Response Code : 0"));
}

TEST_F(WtApiClientTest, AResponsiveGetKeepsTheEventLoopTurning) {
    server.SetResponder([](const HttpRequestSeen&) { return HttpReply{200, "{\"data\":[1]}", 300ms}; });
    int ticks = 0;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start();
    EXPECT_EQ(WtApiGetResponsive(1, Target()), 0);
    EXPECT_GT(ticks, 5);
    EXPECT_EQ(g_strHttpResp.take(), std::string("{\"data\":[1]}"));
}

TEST_F(WtApiClientTest, NoRequestWithoutTheLibrary) {
    WtApiShutdown();
    EXPECT_EQ(WtApiGet(0, nullptr), 2);
    EXPECT_TRUE(server.Requests().empty());
}

// Documents --------------------------------------------------------------------------------------------

TEST_F(WtApiClientTest, DocumentsGoByKindWithThePostHeaders) {
    const std::string large(3000, 'x'); // longer than any fixed buffer would hold
    WtApiQueuePost(3, "{\"a\":3}", 0);
    WtApiQueuePost(4, "{\"a\":4}", 1);
    WtApiQueuePost(9, "{\"a\":9}", 0); // no such document: dropped
    WtApiQueuePost(5, "{\"a\":\"" + large + "\"}", 0);
    ASSERT_TRUE(server.WaitForRequests(3));
    std::this_thread::sleep_for(50ms);
    const std::vector<HttpRequestSeen> seen = server.Requests();
    ASSERT_EQ(seen.size(), 3u);
    const std::string targets[] = {"/api/v1/matches/m-17/actions", "/api/v1/matches/m-17/results",
                                   "/api/v1/matches/m-17/results"};
    const std::string bodies[] = {"{\"a\":3}", "{\"a\":4}", "{\"a\":\"" + large + "\"}"};
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i].method, "POST");
        EXPECT_EQ(seen[i].target, targets[i]);
        EXPECT_EQ(seen[i].body, bodies[i]);
        std::vector<std::string> ours;
        for (const std::string& line : seen[i].headerLines)
            if (line.rfind("cache-control", 0) == 0 || line.rfind("accept", 0) == 0 ||
                line.rfind("x-api-key", 0) == 0 || line.rfind("content-type", 0) == 0)
                ours.push_back(line);
        EXPECT_EQ(ours,
                  (std::vector<std::string>{"cache-control: no-cache", "accept: application/vnd.api+json",
                                            "content-type: application/vnd.api+json", "x-api-key:KEY"}));
    }
}

TEST_F(WtApiClientTest, ADocumentGoesToTheMatchItWasQueuedFor) {
    // The first post is slow, so the others are still waiting when the next match is loaded.
    server.SetResponder([](const HttpRequestSeen& r) {
        return HttpReply{200, "", r.body == "1" ? 300ms : 0ms};
    });
    WtApiQueuePost(3, "1", 0);
    WtApiQueuePost(5, "2", 0);
    SetNarrow(md->szMatchId, "m-18");
    SetWide(md->wszWTApiKey, "NEXT");
    WtApiQueuePost(3, "3", 0);
    ASSERT_TRUE(server.WaitForRequests(3));
    const std::vector<HttpRequestSeen> seen = server.Requests();
    EXPECT_EQ(seen[1].target, "/api/v1/matches/m-17/results");
    EXPECT_EQ(seen[1].Header("x-api-key"), "KEY");
    EXPECT_EQ(seen[2].target, "/api/v1/matches/m-18/actions");
    EXPECT_EQ(seen[2].Header("x-api-key"), "NEXT");
}

TEST_F(WtApiClientTest, ABurstKeepsItsOrderAndSpacing) {
    constexpr int kDocuments = 8;
    for (int i = 0; i < kDocuments; ++i)
        WtApiQueuePost(3, "{\"n\":" + std::to_string(i) + "}", i);
    ASSERT_TRUE(server.WaitForRequests(kDocuments));
    const std::vector<HttpRequestSeen> seen = server.Requests();
    for (int i = 0; i < kDocuments; ++i) {
        EXPECT_EQ(seen[i].body, "{\"n\":" + std::to_string(i) + "}");
        if (i > 0) {
            EXPECT_GE(seen[i].arrived - seen[i - 1].arrived, 10ms) << i;
        }
    }
}

TEST_F(WtApiClientTest, AServerSlowerThanThreeSecondsTimesOutAndTheNextPostStillGoes) {
    server.SetResponder([](const HttpRequestSeen& r) {
        return HttpReply{200, "", r.body == "slow" ? 4000ms : 0ms};
    });
    WtApiQueuePost(3, "slow", 0);
    WtApiQueuePost(3, "next", 0);
    ASSERT_TRUE(server.WaitForRequests(2, 6s));
    const std::vector<HttpRequestSeen> seen = server.Requests();
    EXPECT_EQ(seen[1].body, "next");
    const auto gap = seen[1].arrived - seen[0].arrived;
    EXPECT_GE(gap, 2900ms);
    EXPECT_LT(gap, 3900ms);
}

TEST_F(WtApiClientTest, StoppingWithDocumentsQueuedDropsThemAndAllowsANewStart) {
    server.SetResponder([](const HttpRequestSeen&) { return HttpReply{200, "", 200ms}; });
    WtPostQueue queue;
    const WtApiTarget target = Target();
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(queue.Append(3, "{\"n\":" + std::to_string(i) + "}", i, target));
    ASSERT_TRUE(server.WaitForRequests(1));
    queue.Stop();
    EXPECT_FALSE(queue.Running());
    EXPECT_EQ(queue.Waiting(), 0u);
    const std::size_t sent = server.Requests().size();
    EXPECT_LT(sent, 3u);

    ASSERT_TRUE(queue.Append(4, "again", 0, target));
    ASSERT_TRUE(server.WaitForRequests(sent + 1));
    EXPECT_EQ(server.Requests().back().body, "again");
}

TEST_F(WtApiClientTest, ATypedKeyCannotAddAHeaderLine) {
    SetWide(md->wszWTApiKey, "KEY\r\nx-injected: 1");
    ASSERT_EQ(WtApiGet(0, nullptr), 0);
    const HttpRequestSeen seen = server.Requests().at(0);
    EXPECT_EQ(seen.Header("x-injected"), "");
    EXPECT_EQ(seen.Header("x-api-key"), "KEYx-injected: 1");
}

// An HTTPS peer: the openssl tool's test server with a fresh self-signed certificate for 127.0.0.1; it
// answers every GET with 200.
class TlsPeer {
public:
    TlsPeer() {
        for (const char* name : {"server", "other"}) {
            const QString base = folder.filePath(QString::fromLatin1(name));
            QProcess::execute("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                                          "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                                          "-keyout", base + "-key.pem", "-out", base + ".pem"});
        }
        port = LocalHttpServer::ClosedPort();
        server.start("openssl",
                     {"s_server", "-accept", "127.0.0.1:" + QString::number(port), "-cert",
                      folder.filePath("server.pem"), "-key", folder.filePath("server-key.pem"), "-www"});
        server.waitForStarted();
        while (!ready && server.waitForReadyRead(5000))
            ready = server.readAllStandardOutput().contains("ACCEPT");
    }
    ~TlsPeer() {
        server.kill();
        server.waitForFinished();
    }
    std::string Cert(const char* name) const {
        return folder.filePath(QString::fromLatin1(name) + ".pem").toStdString();
    }

    QTemporaryDir folder;
    QProcess server;
    std::uint16_t port = 0;
    bool ready = false;
};

TEST_F(WtApiClientTest, TheCertificateIsCheckedOnlyAgainstACaFileNamedForIt) {
    TlsPeer peer;
    ASSERT_TRUE(peer.ready) << "the openssl tool's test server did not start";
    WtApiTarget target = Target();
    target.baseUrl = "https://127.0.0.1:" + std::to_string(peer.port);
    const struct {
        const char* name;
        std::string caFile;
        int result;
        const char* reply;
    } cases[] = {
        {"no CA file: not checked", "", 0, "HTTP Response Code : 200"},
        {"the server's own certificate", peer.Cert("server"), 0, "HTTP Response Code : 200"},
        {"another certificate", peer.Cert("other"), 60, "HTTP Response Code : 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WtApiSetCaFile(c.caFile);
        EXPECT_EQ(WtApiGetLimits().caFile, c.caFile);
        EXPECT_EQ(WtApiGet(0, target), c.result);
        EXPECT_EQ(g_strHttpResp.take(), std::string(c.reply));
    }
    WtApiSetCaFile({});
}

} // namespace
