#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/Timers.h"
#include "links/LinkSlots.h"
#include "links/Transport.h"
#include "platform/TickSource.h"
#include "tests/platform/EventPump.h"
#include "tests/support/TestCourt.h"
#include "tools/PtyPeer.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr DWORD kLoopback = 0x7F000001;

// Records what the link events ask of the senders.
class LinkView : public CMainWnd {
public:
    void SendControlCharEvent(int code, std::u16string_view, std::u16string_view,
                              std::u16string_view) override {
        calls.push_back("control " + std::to_string(code));
    }
    void SendWtMessage(int target, int code, int side, int) override {
        calls.push_back("wt " + std::to_string(target) + " " + std::to_string(code) + " " +
                        std::to_string(side));
    }
    void ConnectTournamentDb() override { calls.push_back("database"); }
    std::vector<std::string> calls;
};

class LinkOpeningTest : public ::testing::Test, protected TestCourt {
protected:
    LinkOpeningTest() : view(std::make_unique<LinkView>()) {
        server.listen(QHostAddress::LocalHost);
        md->cfgOvr.dwTcpIp = md->cfgIvr.dwTcpIp = md->cfgTvg.dwTcpIp = kLoopback;
        md->cfgOvr.nTcpPort = md->cfgIvr.nTcpPort = md->cfgTvg.nTcpPort = server.serverPort();
        md->dwPreRegIp = kLoopback;
        md->nPreRegPort = server.serverPort();
    }
    ~LinkOpeningTest() override {
        view.reset(); // closes every link
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void Control(int system, int open) {
        SendMessage(view->GetSafeHwnd(), UM_EXT_LINK_CONTROL, system, open);
    }
    // The server's end of the next connection.
    QTcpSocket* Accept() {
        EXPECT_TRUE(pumpUntil([&] { return server.hasPendingConnections(); }));
        return server.nextPendingConnection();
    }
    static quint16 FreeUdpPort() {
        QUdpSocket probe;
        probe.bind(QHostAddress::LocalHost, 0);
        return probe.localPort();
    }

    QTcpServer server;
    std::unique_ptr<LinkView> view;
};

TEST_F(LinkOpeningTest, OvrTcpLinkConnectsByItsEventKeepsASplitReplyWholeAndReportsThePeersClose) {
    md->nOvrCommType = COMM_TCP;
    view->m_bLinkReady = 1;
    Control(LINK_OVR, 0);
    ASSERT_NE(md->pOvrLink, nullptr);
    QTcpSocket* peer = Accept();
    ASSERT_TRUE(pumpUntil([&] { return md->bOvrConnected == 1; }));
    EXPECT_EQ(view->calls, (std::vector<std::string>{"control 8"})) << "the ready record goes once connected";

    peer->write("\x01\x12"
                "3\x13"
                "1|2|3");
    peer->flush();
    ASSERT_TRUE(pumpUntil([&] { return std::strlen(md->szOvrRecv) == 9; }));
    peer->write("|4|K\x04");
    peer->flush();
    ASSERT_TRUE(pumpUntil([&] { return std::strlen(md->szOvrRecv) == 14; }));
    EXPECT_STREQ(md->szOvrRecv, "\x01\x12"
                                "3\x13"
                                "1|2|3|4|K\x04");

    peer->close();
    ASSERT_TRUE(pumpUntil([&] { return md->pOvrLink == nullptr; }));
    pumpUntil([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"OVR system disconnected!"}));
    EXPECT_EQ(md->bOvrConnected, 0);
}

TEST_F(LinkOpeningTest, EachTcpLinkHasItsOwnIdSoOnePeersCloseEndsOnlyItsLink) {
    md->nOvrCommType = COMM_TCP;
    Control(LINK_OVR, 0);
    QTcpSocket* ovrPeer = Accept();
    Control(LINK_PREREG, 0);
    QTcpSocket* preRegPeer = Accept();
    ASSERT_TRUE(ovrPeer && preRegPeer);
    ASSERT_TRUE(pumpUntil([&] { return md->bOvrConnected && md->bPreRegConnected; }));
    EXPECT_EQ(CommTcpInfo(md->pOvrLink)->nId, kTcpLinkIdBase + LINK_OVR);
    EXPECT_EQ(CommTcpInfo(md->pPreRegLink)->nId, kTcpLinkIdBase + LINK_PREREG);

    preRegPeer->write("PRE\x04");
    ASSERT_TRUE(pumpUntil([&] { return md->szPreRegRecv[0] != '\0'; }));
    EXPECT_STREQ(md->szPreRegRecv, "PRE\x04");
    EXPECT_STREQ(md->szOvrRecv, "") << "the other link's reply stays where it was";

    preRegPeer->close();
    ASSERT_TRUE(pumpUntil([&] { return md->pPreRegLink == nullptr; }));
    EXPECT_EQ(md->bPreRegConnected, 0);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Pre-Registration system disconnected!"}));
    EXPECT_NE(md->pOvrLink, nullptr);
    EXPECT_EQ(md->bOvrConnected, 1);
    // The OVR link still carries bytes.
    CommSend(COMM_TCP, md->pOvrLink, "ok", 2);
    ASSERT_TRUE(pumpUntil([&] { return ovrPeer->bytesAvailable() >= 2; }));
}

TEST_F(LinkOpeningTest, ARefusedConnectClosesItsLinkAndTellsTheOperatorOnce) {
    const quint16 port = server.serverPort();
    server.close();
    md->cfgOvr.nTcpPort = md->cfgIvr.nTcpPort = md->cfgTvg.nTcpPort = md->nPreRegPort = port;
    md->nOvrCommType = md->nIvrCommType = md->nTvgCommType = COMM_TCP;
    md->nIvrSupplier = 2; // a WT system hears of no port: its link never came up
    const struct {
        int system;
        LPARAM open;
        const char* told;
    } cases[] = {
        {LINK_OVR, 0, "OVR system could not be connected!"},
        {LINK_IVR, 1, "IVR system could not be connected!"},
        {LINK_TVG, 1, "TVG system could not be connected!"},
        {LINK_PREREG, 0, "Pre-Registration system could not be connected!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.told);
        const std::size_t shown = prompter.texts().size();
        const LinkSlot slot = SlotOf(*md, c.system);
        Control(c.system, c.open);
        // Until the connect has failed the link is connecting, not up.
        EXPECT_FALSE(SlotUp(slot));
        ASSERT_TRUE(pumpUntil([&] { return *slot.handle == nullptr; }));
        pumpUntil([] { return false; }, std::chrono::milliseconds(50));
        EXPECT_EQ(*slot.connected, 0);
        const std::vector<std::string> texts = prompter.texts();
        EXPECT_EQ(std::vector<std::string>(texts.begin() + static_cast<std::ptrdiff_t>(shown), texts.end()),
                  (std::vector<std::string>{c.told}));
    }
    EXPECT_TRUE(view->calls.empty());
}

TEST_F(LinkOpeningTest, AWtTcpLinkIsUpAndTellsItsPortOnlyOnceConnected) {
    md->nIvrCommType = COMM_TCP;
    md->nIvrSupplier = 2;
    md->cfgIvr.nUdpTx = 5001;
    Control(LINK_IVR, 1);
    ASSERT_NE(md->pIvrLink, nullptr);
    EXPECT_EQ(md->bIvrConnected, 0);
    EXPECT_TRUE(view->calls.empty());
    Accept();
    ASSERT_TRUE(pumpUntil([&] { return md->bIvrConnected == 1; }));
    EXPECT_EQ(view->calls, (std::vector<std::string>{"wt 1 17 5001"}));
}

TEST_F(LinkOpeningTest, WtUdpLinksTellTheirPortAndABusyPortShowsTheSystemError) {
    md->nIvrCommType = COMM_UDP;
    md->nIvrSupplier = 2;
    md->cfgIvr.dwUdpIp = kLoopback;
    md->cfgIvr.nUdpTx = FreeUdpPort();
    md->cfgIvr.nUdpRx = FreeUdpPort();
    Control(LINK_IVR, 1);
    ASSERT_NE(md->pIvrLink, nullptr);
    EXPECT_EQ(md->bIvrConnected, 1);
    EXPECT_EQ(CommUdpInfo(md->pIvrLink)->nId, kUdpLinkIdBase + LINK_IVR);
    Control(LINK_IVR, 0);
    const std::string tx = std::to_string(md->cfgIvr.nUdpTx);
    EXPECT_EQ(view->calls, (std::vector<std::string>{"wt 1 17 " + tx, "wt 1 18 " + tx}));

    // The TVG link wants the port the IVR link holds.
    md->nTvgCommType = COMM_UDP;
    md->cfgTvg = md->cfgIvr;
    Control(LINK_TVG, 1);
    EXPECT_EQ(md->pTvgLink, nullptr);
    EXPECT_EQ(md->bTvgConnected, 0);
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"Error Code: 98\nMessage: Address already in use"}));
}

TEST_F(LinkOpeningTest, OpeningOverAnOpenLinkClosesTheOldOneFirst) {
    md->nOvrCommType = COMM_UDP;
    md->cfgOvr.nUdpRx = FreeUdpPort();
    Control(LINK_OVR, 0);
    void* first = md->pOvrLink;
    ASSERT_NE(first, nullptr);
    Control(LINK_OVR, 0); // the same local port: only free once the first link has gone
    EXPECT_NE(md->pOvrLink, nullptr);
    EXPECT_EQ(md->bOvrConnected, 1);
}

TEST_F(LinkOpeningTest, SerialLinksCollectTheirBytesAndEveryOneStartsItsFlushTimer) {
    platform::ManualTime clock;
    PtyPeer ovr, tvg;
    ASSERT_TRUE(ovr.Ok() && tvg.Ok());
    md->nOvrCommType = md->nTvgCommType = COMM_SERIAL;
    std::u16string path(ovr.Path().begin(), ovr.Path().end());
    std::copy(path.begin(), path.end(), md->cfgOvr.wszComPort);
    path.assign(tvg.Path().begin(), tvg.Path().end());
    std::copy(path.begin(), path.end(), md->cfgTvg.wszComPort);
    md->cfgOvr.nBaudrate = md->cfgTvg.nBaudrate = 9600;
    md->cfgOvr.nDataBits = md->cfgTvg.nDataBits = 3;
    Control(LINK_OVR, 0);
    Control(LINK_TVG, 1);
    ASSERT_EQ(md->bOvrConnected, 1);
    ASSERT_EQ(md->bTvgConnected, 1);
    EXPECT_TRUE(clock.isArmed(view->GetSafeHwnd(), TIMER_SERIAL_FLUSH[LINK_OVR]));
    EXPECT_TRUE(clock.isArmed(view->GetSafeHwnd(), TIMER_SERIAL_FLUSH[LINK_TVG]));

    ASSERT_TRUE(ovr.Write("abc"));
    ASSERT_TRUE(pumpUntil([&] { return view->m_SerialRecv[LINK_OVR].nLen == 3; }));
    EXPECT_STREQ(view->m_SerialRecv[LINK_OVR].szData, "abc");
    clock.advance(100);
    clock.advance(100);
    EXPECT_EQ(view->m_SerialRecv[LINK_OVR].nLen, 0) << "emptied after two quiet ticks";
}

TEST_F(LinkOpeningTest, TheResultsDatabaseSupplierOpensNoLink) {
    md->nOvrSupplier = 3;
    md->nOvrCommType = COMM_TCP;
    Control(LINK_OVR, 0);
    EXPECT_EQ(view->calls, (std::vector<std::string>{"database"}));
    EXPECT_EQ(md->pOvrLink, nullptr);
    EXPECT_EQ(md->bOvrConnected, 0);
}

TEST(LinkSlotsTest, RepliesAreKeptWholeUpToTheirEndByte) {
    struct Case {
        const char* name;
        std::vector<std::string> reads;
        std::string kept;
        int overflow;
    };
    const std::string full(1023, 'x');
    const Case cases[] = {
        {"one read", {"A|B\x04"}, "A|B\x04", ReplyFits},
        {"split", {"A|", "B", "|C\x04"}, "A|B|C\x04", ReplyFits},
        {"a new reply after a complete one", {"A\x04", "B\x03"}, "B\x03", ReplyFits},
        {"an empty read after a complete one", {"A\x04", ""}, "", ReplyFits},
        {"exactly the buffer", {full}, full, ReplyFits},
        {"an overlong reply in two reads",
         {std::string(1000, 'x'), std::string(30, 'y') + "\x04"},
         "",
         ReplyTooLong},
        {"an overlong reply still arriving", {std::string(1500, 'z')}, "", ReplyDropping},
        {"its rest is dropped up to its end byte", {std::string(1500, 'z'), "zz", "z\x03"}, "", ReplyTooLong},
        {"an empty read keeps the overflow", {std::string(1024, 'z') + "\x04", ""}, "", ReplyTooLong},
        {"the next reply is kept again", {std::string(1500, 'z') + "\x04", "B|C\x04"}, "B|C\x04", ReplyFits},
        {"in the same read", {std::string(1500, 'z') + "\x04" + "B|C\x04"}, "B|C\x04", ReplyFits},
    };
    for (const Case& c : cases) {
        char buffer[1024] = {};
        int overflow = ReplyFits;
        for (const std::string& read : c.reads)
            StoreReply(buffer, overflow, read.data(), static_cast<int>(read.size()));
        EXPECT_EQ(std::string(buffer), c.kept) << c.name;
        EXPECT_EQ(overflow, c.overflow) << c.name;
    }
}

TEST(LinkSlotsTest, SerialSettingsBecomeOpenParameters) {
    struct Case {
        int dataIndex, stopIndex, parity, bits, stopCode;
    };
    for (const Case c :
         {Case{0, 0, 0, 5, 0}, Case{1, 1, 1, 6, 2}, Case{2, 0, 2, 7, 0}, Case{3, 1, 0, 8, 2}}) {
        TTK_LinkCfg cfg{};
        std::copy_n(u"/dev/ttyUSB0", 13, cfg.wszComPort);
        cfg.nBaudrate = 57600;
        cfg.nDataBits = c.dataIndex;
        cfg.nStopBits = c.stopIndex;
        cfg.nParity = c.parity;
        const TTK_CommParam p = SerialParamFrom(cfg);
        EXPECT_STREQ(p.szPort, "/dev/ttyUSB0");
        EXPECT_EQ(p.nBaud, 57600);
        EXPECT_EQ(p.nDataBits, c.bits);
        EXPECT_EQ(p.nStopBits, c.stopCode);
        EXPECT_EQ(p.nParity, c.parity);
    }
    EXPECT_EQ(SystemOfTcpLinkId(103), LINK_PREREG);
    EXPECT_EQ(SystemOfTcpLinkId(104), -1);
    EXPECT_EQ(SystemOfUdpLinkId(202), LINK_TVG);
    EXPECT_EQ(SystemOfUdpLinkId(203), -1) << "no UDP link beyond TVG";
    EXPECT_EQ(SystemOfUdpLinkId(100), -1);
}

} // namespace
