// Every protocol's records as a real peer receives them: the view's own senders over links the view opened
// to loopback TCP and UDP sockets and to pseudo-terminals, byte for byte.
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "devices/PacketDispatch.h"
#include "links/EventText.h"
#include "links/LinkSlots.h"
#include "links/Transport.h"
#include "screens/OperatorLayout.h"
#include "tests/links/RecordText.h"
#include "tests/platform/EventPump.h"
#include "tests/support/TestCourt.h"
#include "tools/PtyPeer.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QLabel>
#include <QNetworkDatagram>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace {

constexpr DWORD kLoopback = 0x7F000001;

quint16 FreeUdpPort() {
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

TTK_LinkCfg& CfgOf(MatchData& md, int system) {
    switch (system) {
    case LINK_IVR:
        return md.cfgIvr;
    case LINK_TVG:
        return md.cfgTvg;
    case LINK_ST:
        return md.cfgSt;
    default:
        return md.cfgOvr;
    }
}

int* CommTypeSetting(MatchData& md, int system) {
    switch (system) {
    case LINK_OVR:
        return &md.nOvrCommType;
    case LINK_IVR:
        return &md.nIvrCommType;
    case LINK_TVG:
        return &md.nTvgCommType;
    default:
        return nullptr; // pre-registration TCP, Swiss Timing serial
    }
}

class LinkPeersTest : public ::testing::Test, protected TestCourt {
protected:
    LinkPeersTest() {
        server.listen(QHostAddress::LocalHost);
        for (TTK_LinkCfg* cfg : {&md->cfgOvr, &md->cfgIvr, &md->cfgTvg}) {
            cfg->dwTcpIp = kLoopback;
            cfg->nTcpPort = server.serverPort();
            cfg->dwUdpIp = kLoopback;
        }
        md->dwPreRegIp = kLoopback;
        md->nPreRegPort = server.serverPort();
        view = std::make_unique<CMainWnd>();
        // Court 3, contest 12, round 2 of 3 with two minutes a round; Chung 5, Hong 12.
        md->nCourtNo = 3;
        std::strcpy(md->szContestNo, "12");
        md->nRound = 3;
        md->nCurRound = 2;
        md->nMatchTime = 120;
        md->aSide[0].nScore = 5;
        md->aSide[1].nScore = 12;
        view->m_strClockText = u"1:07";
        view->Static(OperatorIds::ScoreChung)->setText(" 5");
        view->Static(OperatorIds::ScoreHong)->setText("12");
        view->Static(OperatorIds::PenaltyChung)->setText("0");
        view->Static(OperatorIds::PenaltyHong)->setText("0");
    }
    ~LinkPeersTest() override {
        view.reset(); // closes every link
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Opens the system's link on the transport to a peer of this test and returns a reader of what the peer
    // receives; the reader waits for count bytes (a datagram: for the next one).
    std::function<std::string(std::size_t)> OpenToPeer(int system, int commType) {
        if (int* setting = CommTypeSetting(*md, system))
            *setting = commType;
        TTK_LinkCfg& cfg = CfgOf(*md, system);
        if (commType == COMM_SERIAL) {
            pty = std::make_unique<PtyPeer>();
            const std::u16string path(pty->Path().begin(), pty->Path().end());
            std::fill(std::begin(cfg.wszComPort), std::end(cfg.wszComPort), u'\0');
            std::copy(path.begin(), path.end(), cfg.wszComPort);
            cfg.nBaudrate = 9600;
            cfg.nDataBits = 3;
        } else if (commType == COMM_UDP) {
            udpPeer = std::make_unique<QUdpSocket>();
            udpPeer->bind(QHostAddress::LocalHost, 0);
            cfg.nUdpTx = udpPeer->localPort();
            cfg.nUdpRx = FreeUdpPort();
        }
        SendMessage(view->GetSafeHwnd(), UM_EXT_LINK_CONTROL, system, 1);
        const LinkSlot slot = SlotOf(*md, system);
        if (commType == COMM_TCP) {
            EXPECT_TRUE(pumpUntil([&] { return server.hasPendingConnections(); }));
            tcpPeer = server.nextPendingConnection();
            EXPECT_TRUE(pumpUntil([&] { return SlotUp(slot); }));
        }
        EXPECT_TRUE(SlotUp(slot));
        switch (commType) {
        case COMM_SERIAL:
            return [this](std::size_t count) { return pty->Read(count, 5000); };
        case COMM_UDP:
            return [this](std::size_t) {
                if (!pumpUntil([&] { return udpPeer->hasPendingDatagrams(); }, std::chrono::seconds(5)))
                    return std::string();
                return udpPeer->receiveDatagram().data().toStdString();
            };
        default:
            return [this](std::size_t count) {
                pumpUntil([&] { return tcpPeer && tcpPeer->bytesAvailable() >= static_cast<qint64>(count); },
                          std::chrono::seconds(5));
                return tcpPeer ? tcpPeer->readAll().toStdString() : std::string();
            };
        }
    }

    QTcpServer server;
    QTcpSocket* tcpPeer = nullptr;
    std::unique_ptr<QUdpSocket> udpPeer;
    std::unique_ptr<PtyPeer> pty;
    std::unique_ptr<CMainWnd> view;
};

// The empty echo fields of a court whose OVR system has not answered yet.
#define K "[SOH][DC2]3[STX][STX][STX][STX][STX][STX][STX]"

TEST_F(LinkPeersTest, EachProtocolReachesItsPeerByteForByte) {
    struct Case {
        const char* name;
        int system;
        int commType;
        std::function<void(MatchData&)> configure;
        std::function<void(CMainWnd&)> send;
        std::string expected; // control characters as their names
    };
    const Case cases[] = {
        {"control-character round start: the match time, four blanks each side (TCP)", LINK_OVR, COMM_TCP,
         [](MatchData& md) { md.nOvrSupplier = 0; },
         [](CMainWnd& v) { v.SendControlCharEvent(2, u"", u"", u""); },
         K "[DC3]PE[STX]2[EOT]" K "[DC3]SR[STX]2[EOT]" K "[DC3]TM[STX]2[STX]    2:00    [EOT]"},
        {"control-character winner on the pre-registration link (TCP)", LINK_PREREG, COMM_TCP,
         [](MatchData& md) {
             md.nOvrSupplier = 5;
             md.bUsePreReg = 1;
         },
         [](CMainWnd& v) { v.SendControlCharEvent(7, u"B", u"PTG", u""); },
         K "[DC3]WN[STX]2[STX]B[STX][STX]PTG[STX]1:07[EOT]" K "[DC3]EF[EOT]"},
        {"pipe round end after the regular rounds: OT (serial)", LINK_OVR, COMM_SERIAL,
         [](MatchData& md) {
             md.nOvrSupplier = 7;
             md.nCurRound = 4;
         },
         [](CMainWnd& v) { v.SendPipeEvent(7, u"", u"", u""); }, "[STX]0016|3|RoundEnd|12|OT[ETX]"},
        {"colon score, no end byte (TCP)", LINK_OVR, COMM_TCP, [](MatchData& md) { md.nOvrSupplier = 2; },
         [](CMainWnd& v) { v.SendColonEvent(9, u"Blue", u"2", u""); },
         "[STX]0026|Score:12,R2,67,Blue,2,5,12"},
        {"bracket fight time after the regular rounds: 04 (UDP)", LINK_OVR, COMM_UDP,
         [](MatchData& md) {
             md.nOvrSupplier = 4;
             md.nCurRound = 4;
         },
         [](CMainWnd& v) { v.SendBracketEvent(6, u"", u"", u""); },
         "[FIGHT_TIME][ID:0012][ROUND:04][RING_NUMBER:03][ROUND_TIME:01:07][BLUE_POINT:05][RED_POINT:12]"
         "[BLUE_WARNING:00][RED_WARNING:00]"},
        {"IVR round start: the contest right-aligned in six (UDP)", LINK_IVR, COMM_UDP,
         [](MatchData& md) { md.nIvrSupplier = 0; },
         [](CMainWnd& v) { v.SendIvrMessage(1, u"", u"", u"", u""); },
         "[SOH][DC2]3[STX]    12[DC3]SR[STX]2[EOT]"},
        {"IVR judge input of supplier 1 (serial)", LINK_IVR, COMM_SERIAL,
         [](MatchData& md) { md.nIvrSupplier = 1; },
         [](CMainWnd& v) { v.SendIvrMessage(11, u"1", u"B", u"3", u""); },
         "[SOH][DC2]3[STX]    12[DC3]JE[STX]2[STX]1[STX]B[STX]3[STX]1:07[EOT]"},
        {"WT text round time out to the IVR: stopEnd; (TCP)", LINK_IVR, COMM_TCP,
         [](MatchData& md) { md.nIvrSupplier = 2; }, [](CMainWnd& v) { v.SendWtMessage(0, 0, 4, 0); },
         "clk;1:07;stopEnd;\r\n"},
        {"WT text end of round to the TVG: stopEnd (UDP)", LINK_TVG, COMM_UDP,
         [](MatchData& md) { md.nTvgSupplier = 2; }, [](CMainWnd& v) { v.SendWtMessage(2, 0, 5, 0); },
         "clk;1:07;stopEnd\r\n"},
        {"WT text to the OVR: records end with EOT (serial)", LINK_OVR, COMM_SERIAL,
         [](MatchData& md) { md.nOvrSupplier = 6; }, [](CMainWnd& v) { v.SendWtMessage(0, 4, 0, 0); },
         "sc1; 5;sc2;12[EOT]"},
        {"TVG clock record for court 3 (serial)", LINK_TVG, COMM_SERIAL,
         [](MatchData& md) { md.nTvgSupplier = 0; },
         [](CMainWnd& v) { v.SendTvgMessage(0, 0, u"", u"", u""); },
         "[SOH][DC2]03[DC3]TM[STX]00501201:0700:00R20000[EOT]"},
        {"TVG injury record of supplier 1: no DC2, no STX (TCP)", LINK_TVG, COMM_TCP,
         [](MatchData& md) { md.nTvgSupplier = 1; },
         [](CMainWnd& v) {
             v.m_strInjuryText = u"0:45";
             v.SendTvgMessage(1, 1, u"", u"", u"");
         },
         "[SOH]03[DC3]111100501201:0700:45R20000[EOT]"},
        {"Swiss Timing status before the connect state (serial)", LINK_ST, COMM_SERIAL, [](MatchData&) {},
         [](CMainWnd& v) { v.SendSwissTiming(0); }, "[SOH]st[STX]9999[EOT]"},
        {"link-ready record with the receiver's address and channel once its network is known (TCP)",
         LINK_OVR, COMM_TCP,
         [](MatchData& md) {
             md.nOvrSupplier = 0;
             md.nChannelNo = 5;
         },
         [](CMainWnd& v) {
             const BYTE address[8] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, 0x70};
             {
                 std::lock_guard lock(g_receiverNetworkLock);
                 std::memcpy(g_abReceiverMac, address, sizeof address);
             }
             SendMessage(v.GetSafeHwnd(), UM_LINK_READY, 0, 0);
         },
         "[SOH][DC2]3[DC3]MT[STX]05[STX]001A2B3C4D5E6F70[EOT]"},
    };
    home.write("Log/log.txt", "");
    home.write("Log/log_tvg.txt", "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        md->nOvrSupplier = md->nIvrSupplier = md->nTvgSupplier = -1;
        md->bUsePreReg = 0;
        md->nCurRound = 2;
        c.configure(*md);
        const auto receive = OpenToPeer(c.system, c.commType);
        const bool wtLink = (c.system == LINK_IVR && md->nIvrSupplier == 2) ||
                            (c.system == LINK_TVG && md->nTvgSupplier == 2);
        if (wtLink) {
            // A WT peer hears of the opened link first, whatever the transport.
            const std::string notice =
                "Udp Port " + std::to_string(CfgOf(*md, c.system).nUdpTx) + " connected\r\n";
            EXPECT_EQ(receive(notice.size()), notice);
        }
        c.send(*view);
        const std::string expected = Bytes(c.expected);
        EXPECT_EQ(EventText::TokensAsText(receive(expected.size())), c.expected);
        CloseSlot(SlotOf(*md, c.system));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete tcpPeer;
        tcpPeer = nullptr;
    }
    std::memset(g_abReceiverMac, 0, sizeof g_abReceiverMac);
    // The colon and TVG records were logged in the program folder's Log folder.
    EXPECT_EQ(Utf16Le(home.read("Log/log.txt")), "[STX]Score:12,R2,67,Blue,2,5,12[ETX]\r\n");
    EXPECT_EQ(Utf16Le(home.read("Log/log_tvg.txt")), "[SOH][DC2]03[DC3]TM[STX]00501201:0700:00R20000[EOT]\r\n"
                                                     "[SOH]03[DC3]111100501201:0700:45R20000[EOT]\r\n");
}

} // namespace
