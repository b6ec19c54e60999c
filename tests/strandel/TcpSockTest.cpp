#include "strandel/TcpSock.h"
#include "tests/platform/EventPump.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kLoopback = 0x7F000001;

struct Event {
    std::uintptr_t code;
    std::intptr_t id;
    int connectedAtEvent; // the link record's flag when the owner was told
    bool operator==(const Event&) const = default;
};

struct Sink : TcpEventSink {
    std::vector<Event> events;
    const TcpInfo* info = nullptr;
    std::function<void(std::uintptr_t)> react;
    void OnTcpEvent(std::uintptr_t code, std::intptr_t id) override {
        events.push_back({code, id, info ? info->bConnected : -1});
        if (react)
            react(code);
    }
    int Count(std::uintptr_t code) const {
        int n = 0;
        for (const auto& e : events)
            n += e.code == code;
        return n;
    }
};

// A socket bound to its own record, as the program makes them.
struct Link {
    explicit Link(int id) : sock(new CTcpSock(&sink)) {
        info.nId = id;
        info.pSock = sock;
        sink.info = &info;
        sock->Create();
        sock->InitSock(&info);
    }
    ~Link() { CTcpSock::Destroy(sock); }
    Sink sink;
    TcpInfo info;
    CTcpSock* sock;
};

class TcpSockTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.listen(QHostAddress::LocalHost)); }
    void TearDown() override { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // Connects the link and returns the server's end of it.
    QTcpSocket* Connect(Link& link) {
        EXPECT_EQ(link.sock->Connect(kLoopback, server.serverPort()), CTcpSock::kWouldBlock);
        EXPECT_TRUE(pumpUntil(
            [&] { return link.sink.Count(TCP_EVENT_CONNECTED) == 1 && server.hasPendingConnections(); }));
        return server.nextPendingConnection();
    }

    QTcpServer server;
};

TEST_F(TcpSockTest, ConnectsExchangesDataAndReportsThePeersCloseOnce) {
    Link link(100);
    QTcpSocket* peer = Connect(link);
    ASSERT_NE(peer, nullptr);
    // The connected flag is set before the owner hears of the connection.
    EXPECT_EQ(link.sink.events.front(), (Event{TCP_EVENT_CONNECTED, 100, 1}));

    peer->write("hello");
    ASSERT_TRUE(pumpUntil([&] { return link.sink.Count(TCP_EVENT_DATA) == 1; }));
    EXPECT_EQ(link.sink.events.back().id, 100);
    char buffer[64] = {};
    ASSERT_EQ(link.sock->Receive(buffer, sizeof buffer), 5);
    EXPECT_EQ(std::string(buffer, 5), "hello");
    EXPECT_EQ(link.sock->Receive(buffer, sizeof buffer), -1) << "nothing left";

    ASSERT_EQ(link.sock->Send("ping", 4), 4);
    ASSERT_TRUE(pumpUntil([&] { return peer->bytesAvailable() >= 4; }));
    EXPECT_EQ(peer->readAll(), "ping");

    peer->close();
    ASSERT_TRUE(pumpUntil([&] { return link.sink.Count(TCP_EVENT_CLOSE) >= 1; }));
    pumpUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(link.sink.Count(TCP_EVENT_CLOSE), 1);
    EXPECT_EQ(link.sink.events.back().id, 100);
    EXPECT_EQ(link.info.bConnected, 0);
}

TEST_F(TcpSockTest, OneDataEventUntilTheOwnerReadsAndWhatItLeavesIsAnnouncedAgain) {
    Link link(100);
    QTcpSocket* peer = Connect(link);
    peer->write("0123456789");
    peer->flush();
    ASSERT_TRUE(pumpUntil([&] { return link.sink.Count(TCP_EVENT_DATA) == 1; }));
    peer->write("abc");
    peer->flush();
    pumpUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(link.sink.Count(TCP_EVENT_DATA), 1) << "not re-armed before a receive";

    char buffer[4];
    ASSERT_EQ(link.sock->Receive(buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    ASSERT_TRUE(pumpUntil([&] { return link.sink.Count(TCP_EVENT_DATA) == 2; }));
    std::string rest;
    int n = 0;
    while ((n = link.sock->Receive(buffer, 4)) > 0)
        rest.append(buffer, n);
    EXPECT_EQ(rest, "456789abc");
}

TEST_F(TcpSockTest, ARefusedConnectIsReportedOnceAndLeavesTheLinkDown) {
    const quint16 port = server.serverPort();
    server.close(); // nobody listens there now
    Link link(101);
    const int result = link.sock->Connect(kLoopback, port);
    ASSERT_TRUE(result == CTcpSock::kWouldBlock || result != 0);
    if (result == CTcpSock::kWouldBlock) {
        ASSERT_TRUE(pumpUntil([&] { return link.sink.Count(TCP_EVENT_CONNECT_FAIL) == 1; }));
        pumpUntil([] { return false; }, std::chrono::milliseconds(100));
        EXPECT_EQ(link.sink.events, (std::vector<Event>{{TCP_EVENT_CONNECT_FAIL, 101, 0}}));
    }
    EXPECT_EQ(link.info.bConnected, 0);
}

TEST_F(TcpSockTest, APeerThatNeverAnswersFailsTheConnectOnceAtTheTimeOut) {
    // A listener that accepts nothing and whose queue is full: the system drops further connects
    // unanswered, as a host that is switched off does.
    QTcpServer silent;
    silent.setListenBacklogSize(1);
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    silent.pauseAccepting();
    std::vector<std::unique_ptr<QTcpSocket>> fillers;
    for (int i = 0; i < 8; ++i) {
        fillers.push_back(std::make_unique<QTcpSocket>());
        fillers.back()->connectToHost(QHostAddress::LocalHost, silent.serverPort());
    }
    pumpUntil([] { return false; }, std::chrono::milliseconds(200));
    Link link(102);
    link.sock->SetConnectTimeout(300);
    ASSERT_EQ(link.sock->Connect(kLoopback, silent.serverPort()), CTcpSock::kWouldBlock);
    ASSERT_TRUE(pumpUntil([&] { return link.sink.Count(TCP_EVENT_CONNECT_FAIL) == 1; }));
    pumpUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(link.sink.events, (std::vector<Event>{{TCP_EVENT_CONNECT_FAIL, 102, 0}}));
    EXPECT_EQ(link.info.bConnected, 0);
    EXPECT_EQ(link.sock->Send("x", 1), -1) << "a link that never came up takes nothing";
}

TEST_F(TcpSockTest, TwoLinksAreToldApartByTheirIds) {
    Link first(100);
    Link second(103);
    QTcpSocket* peer1 = Connect(first);
    QTcpSocket* peer2 = Connect(second);
    ASSERT_TRUE(peer1 && peer2);
    peer2->write("x");
    ASSERT_TRUE(pumpUntil([&] { return second.sink.Count(TCP_EVENT_DATA) == 1; }));
    EXPECT_EQ(first.sink.Count(TCP_EVENT_DATA), 0);
    EXPECT_EQ(second.sink.events.back().id, 103);
    peer1->close();
    ASSERT_TRUE(pumpUntil([&] { return first.sink.Count(TCP_EVENT_CLOSE) == 1; }));
    EXPECT_EQ(first.sink.events.back().id, 100);
    EXPECT_EQ(second.sink.Count(TCP_EVENT_CLOSE), 0);
    EXPECT_EQ(second.info.bConnected, 1);
}

TEST_F(TcpSockTest, ASocketFreedInsideItsOwnEventGoesAfterTheEventAndLeavesItsRecord) {
    Sink sink;
    TcpInfo info;
    info.nId = 100;
    info.nPort = 4242;
    auto* sock = new CTcpSock(&sink);
    info.pSock = sock;
    sock->Create();
    sock->InitSock(&info);
    sink.react = [&](std::uintptr_t code) {
        if (code == TCP_EVENT_CLOSE)
            CTcpSock::Destroy(sock);
    };
    ASSERT_EQ(sock->Connect(kLoopback, server.serverPort()), CTcpSock::kWouldBlock);
    ASSERT_TRUE(pumpUntil([&] { return server.hasPendingConnections(); }));
    QTcpSocket* peer = server.nextPendingConnection();
    ASSERT_TRUE(pumpUntil([&] { return sink.Count(TCP_EVENT_CONNECTED) == 1; }));
    peer->close();
    ASSERT_TRUE(pumpUntil([&] { return sink.Count(TCP_EVENT_CLOSE) == 1; }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(info.pSock, sock) << "the record keeps what the program put there";
    EXPECT_EQ(info.nId, 100);
    EXPECT_EQ(info.nPort, 4242);
}

TEST_F(TcpSockTest, SendingToAPeerThatIsGoneRaisesNoSignalAndStagingIsBounded) {
    const auto previous = std::signal(SIGPIPE, SIG_DFL); // a SIGPIPE would end the test program
    Link link(100);
    QTcpSocket* peer = Connect(link);
    // A block larger than the staging is refused whole; one that fills it is taken.
    const std::string big(4 * CTcpSock::kSendLimit, 'x');
    EXPECT_EQ(link.sock->Send(big.data(), static_cast<int>(big.size())), 0);
    EXPECT_EQ(link.sock->Send(big.data(), static_cast<int>(CTcpSock::kSendLimit)), CTcpSock::kSendLimit);
    peer->abort();
    for (int i = 0; i < 50; ++i) {
        link.sock->Send("late", 4);
        QCoreApplication::processEvents();
    }
    pumpUntil([&] { return link.sink.Count(TCP_EVENT_CLOSE) == 1; });
    EXPECT_EQ(link.sink.Count(TCP_EVENT_CLOSE), 1);
    std::signal(SIGPIPE, previous);
}

TEST_F(TcpSockTest, ARecordIsStagedWholeOrNotAtAllAndTheOwnerHearsWhenThereIsRoom) {
    struct WritableSink : Sink {
        int writable = 0;
        void OnTcpWritable(std::intptr_t) override { ++writable; }
    };
    WritableSink sink;
    TcpInfo info;
    info.nId = 100;
    sink.info = &info;
    auto* sock = new CTcpSock(&sink);
    sock->Create();
    sock->InitSock(&info);
    ASSERT_EQ(sock->Connect(kLoopback, server.serverPort()), CTcpSock::kWouldBlock);
    ASSERT_TRUE(
        pumpUntil([&] { return sink.Count(TCP_EVENT_CONNECTED) == 1 && server.hasPendingConnections(); }));
    QTcpSocket* peer = server.nextPendingConnection();
    // Records of 1000 bytes while nothing is handed to the system: the staging fills up and then refuses
    // the next record whole.
    std::string expected;
    int refused = 0;
    for (int i = 0; i < 200; ++i) {
        std::string record(999, static_cast<char>('a' + i % 26));
        record += '\x04';
        const int taken = sock->Send(record.data(), static_cast<int>(record.size()));
        ASSERT_TRUE(taken == 1000 || taken == 0) << taken;
        if (taken == 1000)
            expected += record;
        else
            ++refused;
    }
    EXPECT_GT(refused, 0);
    std::string received;
    ASSERT_TRUE(pumpUntil([&] {
        received += peer->readAll().toStdString();
        return received.size() >= expected.size();
    }));
    EXPECT_TRUE(received == expected) << "the peer received " << received.size() << " of " << expected.size();
    EXPECT_GT(sink.writable, 0);
    CTcpSock::Destroy(sock);
}

TEST(TcpInfoTest, StartsZeroedAndCopiesAllSixFields) {
    const TcpInfo zero;
    EXPECT_EQ(zero.dwIp, 0u);
    EXPECT_EQ(zero.pSock, nullptr);
    EXPECT_EQ(zero.bConnected + zero.nReserved + zero.nPort + zero.nId, 0);
    TcpInfo a;
    a.dwIp = kLoopback;
    a.pSock = reinterpret_cast<CTcpSock*>(&a);
    a.bConnected = 1;
    a.nPort = 5100;
    a.nId = 102;
    TcpInfo b;
    b = a;
    EXPECT_EQ(b.dwIp, a.dwIp);
    EXPECT_EQ(b.pSock, a.pSock);
    EXPECT_EQ(b.bConnected, 1);
    EXPECT_EQ(b.nReserved, 0);
    EXPECT_EQ(b.nPort, 5100);
    EXPECT_EQ(b.nId, 102);
}

} // namespace
