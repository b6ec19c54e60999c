// The WT JSON API client against a real HTTP server on the loopback interface.
#include "links/WtApiClient.h"
#include "app/HttpSinks.h"
#include "app/MatchData.h"
#include "links/LinkSetDlgs.h"
#include "tests/platform/EventPump.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/TestCourt.h"

#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
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

// Waits until the queue has delivered everything.
bool PumpUntilDone(const WtPostQueue& queue) {
    return pumpUntil([&] { return queue.Waiting() == 0; }, std::chrono::seconds(10));
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

// The bodies the server has seen, in order.
std::vector<std::string> Bodies(const LocalHttpServer& server) {
    std::vector<std::string> bodies;
    for (const HttpRequestSeen& r : server.Requests())
        bodies.push_back(r.body);
    return bodies;
}

// Short limits, so a refused document comes round again quickly.
WtApiTransferLimits QuickRetry() {
    WtApiTransferLimits limits;
    limits.connectTimeout = limits.totalTimeout = 500ms;
    limits.retryFirst = 20ms;
    limits.retryLongest = 100ms;
    return limits;
}

TEST_F(WtApiClientTest, ADocumentTheServerDidNotTakeIsSentAgainBeforeAnyLaterOne) {
    const struct {
        const char* name;
        HttpReply firstAnswer; // to the first sending of "a"; everything else gets 200
        std::vector<std::string> seen;
    } cases[] = {
        {"500", {500, "", 0ms}, {"a", "a", "b"}},
        {"404", {404, "", 0ms}, {"a", "a", "b"}},
        {"a stall past the time-out", {200, "", 1500ms}, {"a", "a", "b"}},
        {"the connection cut", {200, "", 0ms, true}, {"a", "a", "b"}},
        {"201 is taken", {201, "", 0ms}, {"a", "b"}},
        {"204 is taken", {204, "", 0ms}, {"a", "b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LocalHttpServer peer;
        bool first = true;
        peer.SetResponder([&](const HttpRequestSeen& r) {
            if (r.body == "a" && first) {
                first = false;
                return c.firstAnswer;
            }
            return HttpReply{};
        });
        WtApiTarget target = Target();
        target.baseUrl = peer.BaseUrl();
        WtPostQueue queue(QuickRetry());
        ASSERT_TRUE(queue.Append(5, "a", 0, target));
        ASSERT_TRUE(queue.Append(3, "b", 0, target));
        ASSERT_TRUE(peer.WaitForRequests(c.seen.size()));
        ASSERT_TRUE(PumpUntilDone(queue));
        EXPECT_EQ(Bodies(peer), c.seen);
    }
}

TEST_F(WtApiClientTest, TheDefaultTimeOutEndsAStalledPostWhichIsThenSentAgain) {
    // The server's thread may still answer after the test body has returned: the flag lives with the
    // responder.
    auto first = std::make_shared<bool>(true);
    server.SetResponder([first](const HttpRequestSeen& r) {
        const bool stall = r.body == "slow" && *first;
        *first = *first && r.body != "slow";
        return HttpReply{200, "", stall ? 4000ms : 0ms};
    });
    WtApiQueuePost(5, "slow", 0);
    WtApiQueuePost(3, "next", 0);
    ASSERT_TRUE(server.WaitForRequests(3, 15s));
    EXPECT_EQ(Bodies(server), (std::vector<std::string>{"slow", "slow", "next"}));
    const std::vector<HttpRequestSeen> seen = server.Requests();
    EXPECT_GE(seen[1].arrived - seen[0].arrived, 2900ms) << "the time-out is three seconds";
}

TEST_F(WtApiClientTest, StoppingKeepsTheWaitingDocumentsForTheNextStart) {
    server.SetResponder([](const HttpRequestSeen&) { return HttpReply{200, "", 100ms}; });
    WtPostQueue queue;
    const WtApiTarget target = Target();
    std::vector<std::string> all;
    for (int i = 0; i < 20; ++i) {
        all.push_back("{\"n\":" + std::to_string(i) + "}");
        ASSERT_TRUE(queue.Append(3, all.back(), i, target));
    }
    ASSERT_TRUE(server.WaitForRequests(1));
    queue.Stop();
    EXPECT_FALSE(queue.Running());
    const std::size_t sent = server.Requests().size();
    EXPECT_EQ(queue.Waiting(), all.size() - sent);

    all.push_back("again");
    ASSERT_TRUE(queue.Append(4, "again", 0, target));
    ASSERT_TRUE(server.WaitForRequests(all.size()));
    EXPECT_EQ(Bodies(server), all);
}

TEST_F(WtApiClientTest, WaitingDocumentsSurviveARestartWithoutTheirKeyOnDisk) {
    const std::string store = home.file("Earlier.queue");
    server.SetResponder([](const HttpRequestSeen&) { return HttpReply{503, "", 0ms}; });
    {
        // The first run: the server takes nothing, then the program ends.
        WtPostQueue queue(QuickRetry());
        ASSERT_TRUE(queue.Open(store));
        for (const char* body : {"{\"n\":0}", "{\"n\":1}", "line\nbreak"})
            ASSERT_TRUE(queue.Append(3, body, 0, Target()));
        ASSERT_TRUE(server.WaitForRequests(2));
        EXPECT_EQ(queue.Undelivered(), 3u);
        queue.Close();
    }
    QFile file(QString::fromStdString(store));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("KEY")) << "the API key is never written";
    file.close();

    // The next run: the server wants a key; the documents read back go with the next one's.
    server.SetResponder([](const HttpRequestSeen& r) {
        return HttpReply{r.Header("x-api-key").empty() ? 401 : 200, "", 0ms};
    });
    const std::size_t before = server.Requests().size();
    WtPostQueue queue(QuickRetry());
    ASSERT_TRUE(queue.Open(store));
    EXPECT_EQ(queue.Waiting(), 3u);
    ASSERT_TRUE(server.WaitForRequests(before + 1));
    ASSERT_TRUE(queue.Append(4, "{\"n\":3}", 0, Target()));
    ASSERT_TRUE(PumpUntilDone(queue));
    std::vector<std::string> delivered;
    const std::vector<HttpRequestSeen> seen = server.Requests();
    for (std::size_t i = before; i < seen.size(); ++i)
        if (!seen[i].Header("x-api-key").empty())
            delivered.push_back(seen[i].target + " " + seen[i].body);
    EXPECT_EQ(delivered, (std::vector<std::string>{"/api/v1/matches/m-17/actions {\"n\":0}",
                                                   "/api/v1/matches/m-17/actions {\"n\":1}",
                                                   "/api/v1/matches/m-17/actions line\nbreak",
                                                   "/api/v1/matches/m-17/results {\"n\":3}"}));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(store))) << "an empty queue leaves no store";
}

TEST_F(WtApiClientTest, AtStartTheProgramSendsWhatTheLastRunLeftWithTheKeyTheOperatorTypes) {
    WtApiShutdown();
    const std::string url = server.BaseUrl() + "/api/v1/matches/m-9/results";
    home.write("WtPosts.queue",
               "belvanta-wt-posts 1\n5 0 " + std::to_string(url.size()) + " 5\n" + url + "\nfinal\n");
    server.SetResponder([](const HttpRequestSeen& r) {
        return HttpReply{r.Header("x-api-key") == "TYPED" ? 200 : 401, "", 0ms};
    });
    WtApiStartup();
    ASSERT_TRUE(server.WaitForRequests(1));
    EXPECT_EQ(WtApiPostQueue().Waiting(), 1u);
    ASSERT_TRUE(pumpUntil([] { return !WtApiDeliveryNotice().empty(); }));
    CTK_JsonSetDlg dialog(md);
    qobject_cast<QLineEdit*>(dialog.Item(CTK_JsonSetDlg::ApiKey))->setText("TYPED");
    dialog.SaveSettings();
    ASSERT_TRUE(PumpUntilDone(WtApiPostQueue()));
    const HttpRequestSeen last = server.Requests().back();
    EXPECT_EQ(last.target, "/api/v1/matches/m-9/results");
    EXPECT_EQ(last.body, "final");
    EXPECT_EQ(last.Header("x-api-key"), "TYPED");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(home.file("WtPosts.queue"))));
}

TEST_F(WtApiClientTest, AStoreThatDoesNotReadWholeGivesWhatItHoldsWhole) {
    const std::string store = home.file("Earlier.queue");
    const std::string url = server.BaseUrl() + "/api/v1/matches/m-17/actions";
    const std::string one = "3 0 " + std::to_string(url.size()) + " 3\n" + url + "\none\n";
    const struct {
        const char* name;
        std::string text;
        bool whole;
        std::vector<std::string> sent;
    } cases[] = {
        {"whole", "belvanta-wt-posts 1\n" + one + one, true, {"one", "one"}},
        {"cut in the second document", "belvanta-wt-posts 1\n" + one + one.substr(0, 20), false, {"one"}},
        {"a body longer than the file", "belvanta-wt-posts 1\n3 0 3 900\nurl\nx\n", false, {}},
        {"no store head", "garbage", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LocalHttpServer peer;
        const std::string text = c.text;
        std::string local = text;
        for (auto at = local.find(server.BaseUrl()); at != std::string::npos;
             at = local.find(server.BaseUrl(), at + 1))
            local.replace(at, server.BaseUrl().size(), peer.BaseUrl());
        home.write("Earlier.queue", local);
        WtPostQueue queue(QuickRetry());
        EXPECT_EQ(queue.Open(store), c.whole);
        if (!c.sent.empty()) {
            ASSERT_TRUE(peer.WaitForRequests(c.sent.size()));
        }
        ASSERT_TRUE(PumpUntilDone(queue));
        EXPECT_EQ(Bodies(peer), c.sent);
        queue.Close();
    }
}

TEST_F(WtApiClientTest, AMatchWithoutAnApiIdPostsNothingAndSaysSo) {
    SetNarrow(md->szMatchId, "");
    WtApiQueuePost(5, "lost", 0);
    EXPECT_EQ(WtApiPostQueue().Waiting(), 0u);
    EXPECT_EQ(QString::fromStdU16String(WtApiDeliveryNotice()).toStdString(),
              "WT server: this match has no API id; nothing is sent");
    SetNarrow(md->szMatchId, "m-17");
    WtApiQueuePost(5, "kept", 0);
    ASSERT_TRUE(server.WaitForRequests(1));
    EXPECT_EQ(Bodies(server), (std::vector<std::string>{"kept"}));
}

TEST_F(WtApiClientTest, TheNoticeCountsTheDocumentsTheServerHasNotTaken) {
    std::atomic<bool> refuse{true};
    server.SetResponder([&](const HttpRequestSeen&) { return HttpReply{refuse ? 500 : 200, "", 0ms}; });
    EXPECT_EQ(WtApiDeliveryNotice(), u"");
    WtApiQueuePost(3, "a", 0);
    WtApiQueuePost(5, "b", 0);
    ASSERT_TRUE(server.WaitForRequests(1));
    ASSERT_TRUE(pumpUntil([] { return !WtApiDeliveryNotice().empty(); }));
    EXPECT_EQ(QString::fromStdU16String(WtApiDeliveryNotice()).toStdString(),
              "WT server: 2 document(s) waiting to be delivered");
    refuse = false;
    ASSERT_TRUE(pumpUntil([] { return WtApiPostQueue().Waiting() == 0; }, 10s));
    EXPECT_EQ(WtApiDeliveryNotice(), u"");
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
