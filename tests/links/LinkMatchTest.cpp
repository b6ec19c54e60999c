// A whole match played through the program's own handlers, clock and dialogs while the outside systems
// listen on real peers (loopback TCP and UDP sockets, pseudo-terminals): for each configuration of the
// systems, the kinds of record each peer receives, in the order it receives them.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/VeziruduzApp.h"
#include "links/LinkSlots.h"
#include "links/Transport.h"
#include "match/RoundResultDlg.h"
#include "match/ScoreRules.h"
#include "match/WinSelDlg.h"
#include "platform/TickSource.h"
#include "tests/match/DialogHelpers.h"
#include "tests/platform/EventPump.h"
#include "tests/support/TestCourt.h"
#include "tools/PtyPeer.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr DWORD kLoopback = 0x7F000001;

// How a peer's byte stream falls into records, and what names a record's kind.
enum class Framing {
    ControlChar, // SOH ... DC3 command ... EOT: the command (the OVR, IVR, TVG and Swiss Timing records)
    WtText,      // lines ended by CR LF: the key, and the closing word of a clock or injury line
    WtOvr,       // the same lines ended by EOT
    Pipe,        // STX length | body ETX: the body's second field
    Colon,       // STX length | body: the body up to its colon
    Bracket,     // one datagram per record: its first bracket
};

// The key of a line; for a clock, injury or rest line also its closing word, with the ";" that ends some.
std::string WtKind(const std::string& line) {
    if (line.starts_with("Udp Port"))
        return line.ends_with(" connected") ? "Udp Port connected" : "Udp Port disconnected";
    const std::string key = line.substr(0, line.find(';'));
    if (key != "clk" && key != "ij0" && key != "brk")
        return key;
    const bool closed = line.ends_with(';');
    const std::string open = closed ? line.substr(0, line.size() - 1) : line;
    const std::string tail = open.substr(open.rfind(';') + 1);
    if (tail.empty() || !std::isalpha(static_cast<unsigned char>(tail[0])))
        return key;
    return key + " " + tail + (closed ? ";" : "");
}

std::string ControlKind(const std::string& record) {
    auto at = record.rfind('\x13');
    at = at == std::string::npos ? record.find('\x01') : at;
    std::string kind;
    for (std::size_t i = at + 1; i < record.size() && record[i] != '\x02'; ++i) {
        if (!std::isalpha(static_cast<unsigned char>(record[i])) && record[i] != '^' && record[i] != '!')
            break;
        kind += record[i];
    }
    // The TVG record of supplier 1 has the digits 1111 for its command.
    if (kind.empty())
        kind = record.substr(at + 1, 4);
    // A TVG clock record that carries a running injury clock (its second clock field) is the injury record.
    const auto body = record.find('\x02', at);
    const std::size_t injury = kind == "TM"     ? body + 1 + 11
                               : kind == "1111" ? at + 5 + 11
                                                : std::string::npos;
    if (injury != std::string::npos && injury + 5 <= record.size() && record.compare(injury, 5, "00:00") != 0)
        kind += " ij";
    return kind;
}

// The kinds of the records in a stream, in order, a run of one kind written once with a "*".
std::vector<std::string> Kinds(const std::string& bytes, Framing framing) {
    std::vector<std::string> kinds;
    auto add = [&](std::string kind) {
        if (!kinds.empty() && (kinds.back() == kind || kinds.back() == kind + "*"))
            kinds.back() = kind + "*";
        else
            kinds.push_back(std::move(kind));
    };
    auto split = [&](const std::string& end, const std::function<std::string(const std::string&)>& kindOf) {
        std::size_t at = 0;
        for (auto e = bytes.find(end); e != std::string::npos; e = bytes.find(end, at)) {
            add(kindOf(bytes.substr(at, e - at)));
            at = e + end.size();
        }
        if (at < bytes.size())
            add("cut:" + bytes.substr(at));
    };
    switch (framing) {
    case Framing::ControlChar:
        split("\x04", ControlKind);
        break;
    case Framing::WtText:
        split("\r\n", WtKind);
        break;
    case Framing::WtOvr:
        split("\x04", WtKind);
        break;
    case Framing::Pipe:
        split("\x03", [](const std::string& r) {
            const auto a = r.find('|', r.find('|') + 1);
            return r.substr(a + 1, r.find('|', a + 1) - a - 1);
        });
        break;
    case Framing::Colon:
    case Framing::Bracket: {
        // Records follow each other with no end byte: each starts with STX (colon) or '[' at a datagram's
        // start (bracket), so the stream is cut at each start.
        const char start = framing == Framing::Colon ? '\x02' : '\n';
        std::size_t at = bytes.find(start);
        while (at != std::string::npos) {
            const auto next = bytes.find(start, at + 1);
            const std::string record = bytes.substr(at + 1, next == std::string::npos ? next : next - at - 1);
            if (framing == Framing::Colon) {
                const auto bar = record.find('|');
                add(record.substr(bar + 1, record.find(':') - bar - 1));
            } else {
                add(record.substr(1, record.find(']') - 1));
            }
            at = next;
        }
        break;
    }
    }
    return kinds;
}

// One outside system's peer: what it received, as bytes.
struct Peer {
    int system = 0;
    int commType = 0;
    Framing framing = Framing::ControlChar;
    QTcpSocket* tcp = nullptr; // the server's, deleted with it
    std::unique_ptr<QUdpSocket> udp;
    std::unique_ptr<PtyPeer> pty;
    std::string bytes;

    void Collect() {
        if (tcp)
            bytes += tcp->readAll().toStdString();
        while (udp && udp->hasPendingDatagrams())
            bytes += (framing == Framing::Bracket ? "\n" : "") + udp->receiveDatagram().data().toStdString();
        if (pty)
            bytes += pty->Read(1 << 20, 5);
    }
};

struct LinkSetUp {
    int system;
    int supplier; // -1 for the pre-registration and Swiss Timing links
    int commType;
    Framing framing;
};

class LinkMatchTest : public ::testing::Test, protected TestCourt {
protected:
    LinkMatchTest() : m_savedMain(g_hMainWnd) {
        server.listen(QHostAddress::LocalHost);
        // Court 3, contest 101: best of three rounds of three seconds, three seconds of rest.
        md->nCourtNo = 3;
        md->nRound = 3;
        md->nMatchTime = 3;
        md->nRestTime = 3;
        md->nKyeShiTime = 2;
        md->nCompetitionRule = 1;
        md->nGamJeom = 5;
        md->nEBPPoint = 2;
        md->nEHPPoint = 3;
        md->nGamJeomPoint = 1;
        md->nGameState = 1;
        md->nOvrSupplier = md->nIvrSupplier = md->nTvgSupplier = -1;
        std::strcpy(md->szContestNo, "101");
        std::strcpy(md->szPhase, "Final");
        std::strcpy(md->szWeightClass, "Senior");
        std::strcpy(md->szWeight, "-68kg");
        std::strcpy(md->aPlayer[0].szName, "KIM Minjun");
        std::strcpy(md->aPlayer[0].szNationCode, "KOR");
        std::strcpy(md->aPlayer[1].szName, "SMITH John");
        std::strcpy(md->aPlayer[1].szNationCode, "GBR");
        // A round's start writes the match's row: the records are kept, as on a court.
        EXPECT_EQ(home.makeLocalDatabase(), "");
        theApp.m_dbLocal.Close(); // whatever an earlier test of this program left open
        EXPECT_TRUE(theApp.m_dbLocal.Open(home.localConnection().c_str())) << theApp.m_dbLocal.lastError();
        view = std::make_unique<CMainWnd>();
        g_hMainWnd = view->GetSafeHwnd();
    }
    ~LinkMatchTest() override {
        view.reset(); // closes every link
        theApp.m_dbLocal.Close();
        g_hMainWnd = m_savedMain;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Opens the system's link on the transport to a new peer of this test.
    Peer& Open(const LinkSetUp& s) {
        auto peer = std::make_unique<Peer>();
        peer->system = s.system;
        peer->commType = s.commType;
        peer->framing = s.framing;
        TTK_LinkCfg& cfg = s.system == LINK_IVR   ? md->cfgIvr
                           : s.system == LINK_TVG ? md->cfgTvg
                           : s.system == LINK_ST  ? md->cfgSt
                                                  : md->cfgOvr;
        switch (s.system) {
        case LINK_OVR:
            md->nOvrSupplier = s.supplier;
            md->nOvrCommType = s.commType;
            break;
        case LINK_IVR:
            md->nIvrSupplier = s.supplier;
            md->nIvrCommType = s.commType;
            break;
        case LINK_TVG:
            md->nTvgSupplier = s.supplier;
            md->nTvgCommType = s.commType;
            break;
        default:
            break;
        }
        cfg.dwTcpIp = cfg.dwUdpIp = kLoopback;
        cfg.nTcpPort = server.serverPort();
        if (s.commType == COMM_SERIAL) {
            peer->pty = std::make_unique<PtyPeer>();
            const std::string& path = peer->pty->Path();
            std::fill(std::begin(cfg.wszComPort), std::end(cfg.wszComPort), u'\0');
            std::copy(path.begin(), path.end(), cfg.wszComPort);
            cfg.nBaudrate = 115200;
            cfg.nDataBits = 3;
        } else if (s.commType == COMM_UDP) {
            peer->udp = std::make_unique<QUdpSocket>();
            peer->udp->bind(QHostAddress::LocalHost, 0);
            cfg.nUdpTx = peer->udp->localPort();
            QUdpSocket probe;
            probe.bind(QHostAddress::LocalHost, 0);
            cfg.nUdpRx = probe.localPort();
        }
        const LPARAM open = s.system == LINK_OVR || s.system == LINK_PREREG ? 0 : 1;
        SendMessage(view->GetSafeHwnd(), UM_EXT_LINK_CONTROL, s.system, open);
        const LinkSlot slot = SlotOf(*md, s.system);
        if (s.commType == COMM_TCP) {
            EXPECT_TRUE(pumpUntil([&] { return server.hasPendingConnections(); }));
            peer->tcp = server.nextPendingConnection();
        }
        EXPECT_TRUE(pumpUntil([&] { return SlotUp(slot); }));
        peers.push_back(std::move(peer));
        return *peers.back();
    }

    void Collect() {
        for (auto& peer : peers)
            peer->Collect();
    }
    // Moves the program's clock in steps of 100 ms, delivering what each step posted.
    void Advance(int ms) {
        for (int done = 0; done < ms; done += 100) {
            clock.advance(100);
            Pump();
            Collect();
        }
    }
    // The round result dialog of the ended round confirmed as it proposes.
    void ConfirmRoundResult() {
        ASSERT_TRUE(pumpUntil([&] { return !view->m_pRndResDlg.isNull(); }));
        Child<QPushButton>(*view->m_pRndResDlg, CTK_RndResDlg::IDOK)->click();
        Pump();
    }

    // The match: loaded; round 1 with a trunk kick for Chung, a protector hit of Hong's, a stop, a gam-jeom
    // for Hong, an injury count and the restart, played out to its end and confirmed; the rest; round 2 with
    // a head kick for Chung, played out; the decision for Chung; the match finished.
    void PlayMatch() {
        view->StartNextMatch();
        Advance(1000);
        view->OnClickedStart();
        Advance(1000);
        view->AddPoint(view->m_strClockText, ScoreRules::kDevice, 0, ScoreRules::kTrunk, -1, 2);
        view->AddPoint(view->m_strClockText, ScoreRules::kDevice, 1, ScoreRules::kTrunkHit, 0, 25);
        view->OnClickedStop();
        view->AddGamJeom(1);
        view->OnClickedKyeShi();
        Advance(1000);
        view->OnClickedStart();
        Advance(2500);
        ConfirmRoundResult();
        Advance(1000);
        view->PauseRest();
        view->ResumeRest();
        Advance(2000);
        view->NextRound();
        Advance(1000);
        view->AddPoint(view->m_strClockText, ScoreRules::kDevice, 0, ScoreRules::kHead, -1, 3);
        Advance(2500);
        ConfirmRoundResult();
        WhenModal([](QWidget& dialog) { Child<QPushButton>(dialog, CTK_WinSelDlg::IDC_OK)->click(); });
        view->OnClickedChungWinner();
        Pump();
        view->OnClickedFinishGame();
        Pump();
    }

    QTcpServer server;
    ScriptedPrompter answers{IDYES};
    platform::ManualTime clock{1000};
    std::unique_ptr<CMainWnd> view;
    std::vector<std::unique_ptr<Peer>> peers;

private:
    HWND m_savedMain;
};

using KindList = std::vector<std::string>;

struct MatchCase {
    const char* name;
    std::vector<LinkSetUp> links;
    std::vector<KindList> expected;                                 // per link, in the order of links
    std::vector<std::pair<std::size_t, std::string>> contains = {}; // a link's index and bytes it receives
};

void PrintTo(const MatchCase& c, std::ostream* out) {
    *out << c.name;
}

class LinkMatchCaseTest : public LinkMatchTest, public ::testing::WithParamInterface<MatchCase> {};

TEST_P(LinkMatchCaseTest, EachPeerReceivesEveryRecordOfTheMatchAtItsMoment) {
    const MatchCase& c = GetParam();
    for (const LinkSetUp& s : c.links)
        Open(s);
    PlayMatch();
    // The last records of the match reach every peer (the serial ones through the port's own thread).
    std::vector<KindList> got(peers.size());
    pumpUntil(
        [&] {
            Collect();
            for (std::size_t i = 0; i < peers.size(); ++i)
                got[i] = Kinds(peers[i]->bytes, peers[i]->framing);
            return got == c.expected;
        },
        std::chrono::seconds(5));
    for (std::size_t i = 0; i < peers.size(); ++i) {
        SCOPED_TRACE(i);
        std::string shown;
        for (const std::string& k : got[i])
            shown += "\"" + k + "\", ";
        EXPECT_EQ(got[i], c.expected.at(i)) << shown;
    }
    // Records whose bytes matter here, at the peer they go to.
    for (const auto& [link, bytes] : c.contains) {
        SCOPED_TRACE(bytes);
        EXPECT_NE(peers.at(link)->bytes.find(bytes), std::string::npos);
    }
}

// What the WT text systems hear of the match.
const KindList kWt = {
    // loaded: the match, the athletes, the officials, penalties, scores, clock and round, the round
    // results
    "pre", "mch", "at1", "ref", "wg1", "sc1", "s11", "sup", "clk", "rnd", "rdy", "wrd",
    // round 1: started, a second, a point, stopped, a gam-jeom, the injury count, restarted
    "clk start", "rnd", "sup", "clk", "pt1", "sc1", "s11", "sup", "clk stop", "wg1", "sc1", "s11", "sup",
    "ij0 show", "ij0*", "ij0 hide", "clk start", "rnd", "sup", "clk",
    // the time runs out, the round ends, the rest begins, the round's results, the rest paused by key and
    // resumed, the rest runs out
    "clk stopEnd;", "clk stopEnd", "brk", "wrd", "s11", "rst", "rsr", "brk", "brk stop", "brk", "brk stop",
    // round 2: started, a point, played out, its results; the winner
    "clk start", "rnd", "sup", "clk", "pt1", "sc1", "s11", "sup", "clk", "clk stopEnd;", "clk stopEnd", "brk",
    "wrd", "s11", "rst", "rsr", "win", "wmh"};

KindList After(KindList head, const KindList& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

const MatchCase kMatchCases[] = {
    {"control-character OVR (TCP), IVR supplier 1 (UDP), TVG supplier 0 (serial), Swiss Timing",
     {{LINK_OVR, 0, COMM_TCP, Framing::ControlChar},
      {LINK_IVR, 1, COMM_UDP, Framing::ControlChar},
      {LINK_TVG, 0, COMM_SERIAL, Framing::ControlChar},
      {LINK_ST, -1, COMM_SERIAL, Framing::ControlChar}},
     {{"PE", "SR", "TM*", "PT", "GJ", "TM*", "PE", "SR", "TM*", "PT", "TM*", "WN", "EF"},
      {"MI", "SF", "CK", "PT", "HIT", "FP", "PT", "RP", "CK", "ER",
       "RW", "FP", "SR", "CK", "PT",  "CK", "ER", "RW", "WN", "EF"},
      {"TM*", "PT", "TM*", "TM ij*", "TM*", "PT", "TM*"},
      {"st*"}}},
    {"WT text to the OVR (serial), the IVR (TCP) and the TVG (UDP)",
     {{LINK_OVR, 6, COMM_SERIAL, Framing::WtOvr},
      {LINK_IVR, 2, COMM_TCP, Framing::WtText},
      {LINK_TVG, 2, COMM_UDP, Framing::WtText}},
     {kWt, After({"Udp Port connected"}, kWt), After({"Udp Port connected"}, kWt)},
     {{0, "win;BLUE\x04wmh;KIM MINJUN;2-0 PTF\x04"},
      {1, "mch;101;Final;Final Senior -68kg;3;#0000ff;#FFFFFF;#ff0000;#FFFFFF;7e3b90c4;"
          "Senior;3;3;cntDown;0;0\r\n"},
      {1, "win;BLUE\r\nwmh;KIM MINJUN;2-0 PTF\r\n"},
      {1, "wrd;rd1;1;rd2;0;rd3;0\r\ns11; 3;s21; 0;s12;0;s22;0;s13;0;s23;0\r\n"
          "rst;1;st1;1;0;0;0;0;0;st2;0;0;0;0;0;1;\r\nrsr;\r\n"},
      {1, "wrd;rd1;1;rd2;1;rd3;0\r\n"},
      {1, "clk;0.00;stopEnd;\r\nclk;0:00;stopEnd\r\n"}}},
    {"pipe OVR (TCP), IVR supplier 0 (serial), TVG supplier 1 (TCP)",
     {{LINK_OVR, 7, COMM_TCP, Framing::Pipe},
      {LINK_IVR, 0, COMM_SERIAL, Framing::ControlChar},
      {LINK_TVG, 1, COMM_TCP, Framing::ControlChar}},
     {{"NewMatch", "MatchStart", "RoundStart", "RoundTime*", "Score", "Timeout", "Penalty", "Resume",
       "RoundTime*", "RoundEnd", "MatchStart", "RoundStart", "RoundTime*", "Score", "RoundTime*", "RoundEnd",
       "MatchEnd", "MatchResults"},
      {"MI", "SF", "CK", "PT", "HIT", "FP", "PT", "RP", "CK", "ER", "FP", "SR", "CK", "PT", "CK", "ER", "WN",
       "EF"},
      {"TM*", "1111 ij*", "TM*"}}},
    {"colon OVR (TCP)",
     {{LINK_OVR, 2, COMM_TCP, Framing::Colon}},
     {{"NewMatch", "MatchStart", "RoundStart", "Score", "Timeout", "Penalty", "Resume", "RoundEnd",
       "MatchStart", "RoundStart", "Score", "RoundEnd", "MatchEnd", "MatchResults", "Winner"}}},
    {"bracket OVR (UDP)",
     {{LINK_OVR, 4, COMM_UDP, Framing::Bracket}},
     {{"NEW_FIGHT", "FIGHT_START", "FIGHT_TIME", "NEW_POINT", "FIGHT_LONG_PAUSE", "NEW_POINT", "FIGHT_RESUME",
       "FIGHT_TIME*", "FIGHT_STOP", "FIGHT_ROUNDWINNER", "FIGHT_LONG_PAUSE", "FIGHT_START", "FIGHT_TIME",
       "NEW_POINT", "FIGHT_TIME*", "FIGHT_STOP", "FIGHT_ROUNDWINNER", "FIGHT_STOP"}}},
};

INSTANTIATE_TEST_SUITE_P(EachConfiguration, LinkMatchCaseTest, ::testing::ValuesIn(kMatchCases));

} // namespace
