#include "links/Transport.h"
#include "app/Messages.h"
#include "platform/LinkSerialPort.h"
#include "platform/WindowMessages.h"
#include "tests/platform/EventPump.h"
#include "tools/PtyPeer.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr DWORD kLoopback = 0x7F000001;

// The owner window of the links: records every notification.
class Owner : public MessageWindow {
public:
    struct Message {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back({message, wParam, lParam});
        if (react)
            react(message, wParam, lParam);
        return 0;
    }
    int Count(UINT message, WPARAM wParam = ~WPARAM{0}) const {
        int n = 0;
        for (const auto& m : messages)
            n += m.message == message && (wParam == ~WPARAM{0} || m.wParam == wParam);
        return n;
    }
    std::vector<Message> messages;
    std::function<void(UINT, WPARAM, LPARAM)> react;
};

TTK_CommParam TcpParam(quint16 port, int id) {
    TTK_CommParam p{};
    p.dwTcpIp = kLoopback;
    p.nTcpPort = port;
    p.nTcpId = id;
    return p;
}

TTK_CommParam UdpParam(int tx, int rx, int id) {
    TTK_CommParam p{};
    p.dwUdpIp = kLoopback;
    p.nUdpTx = tx;
    p.nUdpRx = rx;
    p.nUdpId = id;
    return p;
}

TTK_CommParam SerialParam(const std::string& path) {
    TTK_CommParam p{};
    std::strncpy(p.szPort, path.c_str(), sizeof p.szPort - 1);
    p.nBaud = 9600;
    p.nDataBits = 8;
    return p;
}

class TransportLinkTest : public ::testing::Test {
protected:
    void TearDown() override { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    Owner owner;
};

TEST_F(TransportLinkTest, TcpLinkConnectsCarriesBytesBothWaysAndClosesOnce) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    void* link = CommOpen(COMM_TCP, owner.GetSafeHwnd(), TcpParam(server.serverPort(), 100));
    ASSERT_NE(link, nullptr);
    TcpInfo* info = CommTcpInfo(link);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->nId, 100);
    EXPECT_EQ(info->dwIp, kLoopback);
    ASSERT_TRUE(pumpUntil([&] { return owner.Count(UM_TCP_EVENT, TCP_EVENT_CONNECTED) == 1; }));
    EXPECT_EQ(owner.messages.back().lParam, 100);
    EXPECT_EQ(info->bConnected, 1);
    ASSERT_TRUE(pumpUntil([&] { return server.hasPendingConnections(); }));
    QTcpSocket* peer = server.nextPendingConnection();

    EXPECT_EQ(CommSend(COMM_TCP, link, "RIN", 3), 0) << "TCP sends report 0 even when the bytes went";
    ASSERT_TRUE(pumpUntil([&] { return peer->bytesAvailable() >= 3; }));
    EXPECT_EQ(peer->readAll(), "RIN");

    peer->write("reply");
    ASSERT_TRUE(pumpUntil([&] { return owner.Count(UM_TCP_EVENT, TCP_EVENT_DATA) == 1; }));
    char buffer[1024];
    ASSERT_EQ(CommReceive(COMM_TCP, link, buffer, sizeof buffer), 5);
    EXPECT_EQ(std::string(buffer, 5), "reply");

    peer->close();
    ASSERT_TRUE(pumpUntil([&] { return owner.Count(UM_TCP_EVENT, TCP_EVENT_CLOSE) == 1; }));
    EXPECT_EQ(owner.messages.back().lParam, 100);
    CommClose(COMM_TCP, link);
}

TEST_F(TransportLinkTest, ALinkClosedInsideItsOwnCloseEventIsFreedAfterIt) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    void* link = CommOpenTcp(owner.GetSafeHwnd(), TcpParam(server.serverPort(), 103));
    ASSERT_NE(link, nullptr);
    owner.react = [&](UINT message, WPARAM code, LPARAM) {
        if (message == UM_TCP_EVENT && code == TCP_EVENT_CLOSE) {
            CommClose(COMM_TCP, link);
            link = nullptr;
        }
    };
    ASSERT_TRUE(pumpUntil([&] { return server.hasPendingConnections(); }));
    QTcpSocket* peer = server.nextPendingConnection();
    ASSERT_TRUE(pumpUntil([&] { return owner.Count(UM_TCP_EVENT, TCP_EVENT_CONNECTED) == 1; }));
    peer->close();
    ASSERT_TRUE(pumpUntil([&] { return link == nullptr; }));
    pumpUntil([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(owner.Count(UM_TCP_EVENT, TCP_EVENT_CLOSE), 1);
}

TEST_F(TransportLinkTest, ARefusedConnectComesBackAsAFailedConnectEvent) {
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    }
    void* link = CommOpenTcp(owner.GetSafeHwnd(), TcpParam(port, 100));
    if (link) {
        EXPECT_EQ(CommTcpInfo(link)->bConnected, 0) << "under way, not connected";
        ASSERT_TRUE(pumpUntil([&] { return owner.Count(UM_TCP_EVENT, TCP_EVENT_CONNECT_FAIL) == 1; }));
        EXPECT_EQ(owner.messages.back().lParam, 100);
        EXPECT_EQ(CommTcpInfo(link)->bConnected, 0);
        CommClose(COMM_TCP, link);
    }
    EXPECT_EQ(owner.Count(UM_TCP_EVENT, TCP_EVENT_CONNECTED), 0);
}

TEST_F(TransportLinkTest, PortsOutsideTheirRangeAndUnknownTransportsOpenNothing) {
    struct Case {
        int type;
        TTK_CommParam param;
    };
    const Case cases[] = {
        {COMM_TCP, TcpParam(0, 100)},
        {COMM_TCP, TcpParam(0, 100)},
        {COMM_UDP, UdpParam(5000, 70000, 200)},
        {COMM_UDP, UdpParam(5000, -1, 200)},
        {3, TcpParam(5000, 100)},
        {-1, TcpParam(5000, 100)},
    };
    TTK_CommParam tooHigh = TcpParam(0, 100);
    tooHigh.nTcpPort = 65536;
    TTK_CommParam negative = TcpParam(0, 100);
    negative.nTcpPort = -5;
    const Case tcpCases[] = {{COMM_TCP, tooHigh}, {COMM_TCP, negative}};
    for (const Case& c : tcpCases) {
        EXPECT_EQ(CommOpen(c.type, owner.GetSafeHwnd(), c.param), nullptr) << c.param.nTcpPort;
        EXPECT_EQ(CommLastError(), EINVAL);
    }
    for (const Case& c : cases) {
        if (c.type == COMM_TCP)
            continue; // port 0 is a connect the system refuses, not a bad setting
        EXPECT_EQ(CommOpen(c.type, owner.GetSafeHwnd(), c.param), nullptr) << c.type << " " << c.param.nUdpRx;
        EXPECT_EQ(CommLastError(), EINVAL);
    }
    char buffer[8];
    for (int type : {3, -1, 7}) {
        EXPECT_EQ(CommSend(type, nullptr, "x", 1), 0);
        EXPECT_EQ(CommReceive(type, nullptr, buffer, sizeof buffer), 0);
        CommClose(type, nullptr);
    }
}

TEST_F(TransportLinkTest, AHandleCalledWithAnotherTransportIsLeftAlone) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    void* tcp = CommOpenTcp(owner.GetSafeHwnd(), TcpParam(server.serverPort(), 100));
    ASSERT_NE(tcp, nullptr);
    ASSERT_TRUE(pumpUntil([&] { return server.hasPendingConnections(); }));
    QTcpSocket* peer = server.nextPendingConnection();
    ASSERT_TRUE(pumpUntil([&] { return owner.Count(UM_TCP_EVENT, TCP_EVENT_CONNECTED) == 1; }));

    EXPECT_EQ(CommSend(COMM_SERIAL, tcp, "x", 1), 0);
    EXPECT_EQ(CommSend(COMM_UDP, tcp, "y", 1), 0);
    CommClose(COMM_SERIAL, tcp); // must not free it
    CommClose(COMM_UDP, tcp);
    EXPECT_EQ(CommUdpInfo(tcp), nullptr);
    ASSERT_NE(CommTcpInfo(tcp), nullptr) << "still a live TCP link";
    CommSend(COMM_TCP, tcp, "z", 1);
    ASSERT_TRUE(pumpUntil([&] { return peer->bytesAvailable() >= 1; }));
    EXPECT_EQ(peer->readAll(), "z") << "only the call with the right type went out";

    // The marker of the WT JSON API is no link of any transport.
    void* marker = CommWtApiMarker();
    for (int type : {COMM_SERIAL, COMM_TCP, COMM_UDP}) {
        EXPECT_EQ(CommSend(type, marker, "x", 1), 0);
        CommClose(type, marker);
    }
    EXPECT_EQ(CommTcpInfo(marker), nullptr);
    CommClose(COMM_TCP, tcp);
}

TEST_F(TransportLinkTest, UdpLinksCarryDatagramsBothWaysWithTheirOwnIds) {
    // Two links on loopback, each sending to the other's local port.
    QUdpSocket probe;
    ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
    const int portA = probe.localPort();
    probe.close();
    ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
    const int portB = probe.localPort();
    probe.close();

    void* a = CommOpenUdp(owner.GetSafeHwnd(), UdpParam(portB, portA, 200));
    void* b = CommOpenUdp(owner.GetSafeHwnd(), UdpParam(portA, portB, 202));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(CommUdpInfo(a)->bOpened, 1);

    EXPECT_EQ(CommSend(COMM_UDP, a, "Udp Port 5001 connected\r\n", 25), 0);
    ASSERT_TRUE(pumpUntil([&] { return owner.Count(UM_UDP_EVENT, 2) == 1; }));
    EXPECT_EQ(owner.messages.back().lParam, 202);
    char buffer[2048];
    ASSERT_EQ(CommReceive(COMM_UDP, b, buffer, sizeof buffer), 25);
    EXPECT_EQ(std::string(buffer, 25), "Udp Port 5001 connected\r\n");

    CommSend(COMM_UDP, b, "back", 4);
    ASSERT_TRUE(pumpUntil([&] { return owner.Count(UM_UDP_EVENT, 2) == 2; }));
    EXPECT_EQ(owner.messages.back().lParam, 200);
    ASSERT_EQ(CommReceive(COMM_UDP, a, buffer, sizeof buffer), 4);
    EXPECT_EQ(CommReceive(COMM_UDP, a, buffer, sizeof buffer), -1) << "nothing more waits";

    // A port already bound cannot be bound again.
    EXPECT_EQ(CommOpenUdp(owner.GetSafeHwnd(), UdpParam(portB, portA, 201)), nullptr);
    EXPECT_EQ(CommLastError(), EADDRINUSE);
    CommClose(COMM_UDP, a);
    CommClose(COMM_UDP, b);
}

TEST_F(TransportLinkTest, SerialLinkOnAPtyReceivesInChunksAndKeepsWhatItDidNotTake) {
    PtyPeer peer;
    ASSERT_TRUE(peer.Ok());
    void* link = CommOpen(COMM_SERIAL, owner.GetSafeHwnd(), SerialParam(peer.Path()));
    ASSERT_NE(link, nullptr);
    char buffer[2048];
    EXPECT_EQ(CommReceive(COMM_SERIAL, link, buffer, sizeof buffer), 0) << "an empty queue gives nothing";

    EXPECT_EQ(CommSend(COMM_SERIAL, link,
                       "\x01\x12"
                       "3\x13RIN\x04",
                       8),
              8);
    EXPECT_EQ(peer.Read(8, 5000), "\x01\x12"
                                  "3\x13RIN\x04");

    const std::string burst(3000, 'a');
    ASSERT_TRUE(peer.Write(burst + "b"));
    std::string got;
    ASSERT_TRUE(pumpUntil([&] {
        if (owner.Count(UM_SERIAL_DATA) > 0) {
            owner.messages.clear();
            int n = 0;
            while ((n = CommReceive(COMM_SERIAL, link, buffer, 1000)) > 0)
                got.append(buffer, n);
        }
        return got.size() == burst.size() + 1;
    }));
    EXPECT_EQ(got, burst + "b");

    // A receive that takes part of the queue leaves the rest and announces it again.
    ASSERT_TRUE(peer.Write("0123456789"));
    ASSERT_TRUE(pumpUntil([&] { return owner.Count(UM_SERIAL_DATA) > 0; }));
    pumpUntil([] { return false; }, std::chrono::milliseconds(50));
    owner.messages.clear();
    ASSERT_EQ(CommReceive(COMM_SERIAL, link, buffer, 4), 4);
    ASSERT_TRUE(pumpUntil([&] { return owner.Count(UM_SERIAL_DATA) == 1; }));
    ASSERT_EQ(CommReceive(COMM_SERIAL, link, buffer, sizeof buffer), 6);
    EXPECT_EQ(std::string(buffer, 6), "456789");
    CommClose(COMM_SERIAL, link);
}

// Numbered records of 500 bytes and an end byte, and a reader of a received stream: the numbers of its
// records, or -1 for a record that is not whole.
std::string NumberedRecord(int n) {
    std::string record = "R" + std::to_string(100000 + n).substr(1);
    record.resize(500, '.');
    return record + '\x04';
}

std::vector<int> RecordNumbers(const std::string& stream) {
    std::vector<int> numbers;
    std::size_t at = 0;
    for (std::size_t end = stream.find('\x04'); end != std::string::npos; end = stream.find('\x04', at)) {
        const std::string record = stream.substr(at, end + 1 - at);
        const bool whole = record.size() == 501 && record[0] == 'R' &&
                           record.find_first_not_of("0123456789", 1) == 6 &&
                           record.find_first_not_of('.', 6) == 500;
        numbers.push_back(whole ? std::stoi(record.substr(1, 5)) : -1);
        at = end + 1;
    }
    if (at < stream.size())
        numbers.push_back(-1); // a cut tail
    return numbers;
}

TEST_F(TransportLinkTest, APeerThatStopsReadingNeverGetsACutRecord) {
    const auto inOrderAndWhole = [](const std::vector<int>& numbers) {
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            if (numbers[i] < 0 || (i > 0 && numbers[i] <= numbers[i - 1]))
                return false;
        }
        return !numbers.empty();
    };
    {
        SCOPED_TRACE("TCP");
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
        void* link = CommOpen(COMM_TCP, owner.GetSafeHwnd(), TcpParam(server.serverPort(), 100));
        ASSERT_NE(link, nullptr);
        ASSERT_TRUE(
            pumpUntil([&] { return server.hasPendingConnections() && CommTcpInfo(link)->bConnected; }));
        QTcpSocket* peer = server.nextPendingConnection();
        peer->setReadBufferSize(1); // the peer stops reading: the system's buffers fill, then the link's
        constexpr int kRecords = 2000;
        for (int i = 0; i < kRecords; ++i) {
            const std::string record = NumberedRecord(i);
            CommSend(COMM_TCP, link, record.data(), static_cast<int>(record.size()));
            // Bursts as the UI thread sends them, more than the socket stages between two turns of the
            // event loop.
            if (i % 500 == 0)
                QCoreApplication::processEvents();
        }
        peer->setReadBufferSize(0); // it reads again
        std::string received;
        // What the link kept goes out first, then a record sent once the peer reads again.
        ASSERT_TRUE(pumpUntil(
            [&] {
                received += peer->readAll().toStdString();
                return RecordNumbers(received).size() >= 600;
            },
            std::chrono::seconds(20)));
        const std::string last = NumberedRecord(kRecords);
        CommSend(COMM_TCP, link, last.data(), static_cast<int>(last.size()));
        ASSERT_TRUE(pumpUntil(
            [&] {
                received += peer->readAll().toStdString();
                return received.ends_with(last);
            },
            std::chrono::seconds(20)));
        const std::vector<int> numbers = RecordNumbers(received);
        EXPECT_TRUE(inOrderAndWhole(numbers));
        EXPECT_EQ(numbers.front(), 0);
        CommClose(COMM_TCP, link);
    }
    {
        SCOPED_TRACE("serial");
        PtyPeer peer;
        ASSERT_TRUE(peer.Ok());
        void* link = CommOpen(COMM_SERIAL, owner.GetSafeHwnd(), SerialParam(peer.Path()));
        ASSERT_NE(link, nullptr);
        // The peer reads nothing meanwhile: the port takes whole records until it is full, then none.
        std::string accepted;
        int refused = 0;
        for (int i = 0; i < 600; ++i) {
            const std::string record = NumberedRecord(i);
            const int taken = CommSend(COMM_SERIAL, link, record.data(), static_cast<int>(record.size()));
            ASSERT_TRUE(taken == 0 || taken == static_cast<int>(record.size())) << taken;
            if (taken > 0)
                accepted += record;
            else
                ++refused;
        }
        EXPECT_GT(refused, 0);
        const std::string received = peer.Read(accepted.size(), 20000);
        EXPECT_TRUE(received == accepted) << received.size() << " of " << accepted.size() << " bytes";
        EXPECT_TRUE(inOrderAndWhole(RecordNumbers(received)));
        CommClose(COMM_SERIAL, link);
    }
}

TEST_F(TransportLinkTest, AMissingSerialPortOpensNothingAndSaysWhy) {
    EXPECT_EQ(CommOpenSerial(owner.GetSafeHwnd(), SerialParam("/nonexistent/ttyBelvanta")), nullptr);
    EXPECT_EQ(CommLastError(), ENOENT);
}

// Every setting the serial dialog offers reaches the line.
TEST(LinkSerialPortTest, EveryOfferedRateAndFrameReachesTheLine) {
    PtyPeer peer;
    ASSERT_TRUE(peer.Ok());
    for (int baud : {4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200}) {
        for (int bits : {5, 6, 7, 8}) {
            for (int parity : {0, 1, 2}) {
                for (int stop : {0, 2}) {
                    platform::LinkSerialPort port;
                    const platform::LinkSerialSettings want{baud, bits, stop, parity};
                    ASSERT_EQ(port.Open(peer.Path(), want, nullptr), 0) << baud;
                    platform::LinkSerialSettings got;
                    ASSERT_TRUE(port.LineSettings(&got));
                    // A pty keeps the rate and the stop bits; it always frames 8N, so the data bits and
                    // parity are only seen accepted here.
                    EXPECT_EQ(got.nBaud, baud);
                    EXPECT_EQ(got.nStopBits, stop);
                }
            }
        }
    }
    platform::LinkSerialPort port;
    for (const platform::LinkSerialSettings bad :
         {platform::LinkSerialSettings{9600, 9, 0, 0}, platform::LinkSerialSettings{9600, 8, 1, 0},
          platform::LinkSerialSettings{9600, 8, 0, 3}, platform::LinkSerialSettings{0, 8, 0, 0}})
        EXPECT_EQ(port.Open(peer.Path(), bad, nullptr), EINVAL)
            << bad.nDataBits << bad.nStopBits << bad.nParity;
}

TEST(LinkSerialPortTest, AnUnpluggedDeviceEndsTheReaderAndTheQueueIsBounded) {
    PtyPeer peer;
    ASSERT_TRUE(peer.Ok());
    platform::LinkSerialPort port;
    ASSERT_EQ(port.Open(peer.Path(), {}, nullptr), 0);
    const std::string chunk(4096, 'q');
    for (std::size_t sent = 0; sent < platform::LinkSerialPort::kQueueLimit + 8192; sent += chunk.size())
        ASSERT_TRUE(peer.Write(chunk));
    ASSERT_TRUE(pumpUntil([&] { return port.Dropped() > 0; }, std::chrono::seconds(20), false));
    EXPECT_EQ(port.Queued(), platform::LinkSerialPort::kQueueLimit);
    peer.Close();
    port.Close(); // joins a reader that has already stopped
    EXPECT_FALSE(port.IsOpen());
}

} // namespace
