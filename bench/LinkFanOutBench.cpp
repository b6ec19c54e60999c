// What a scoring event costs the UI thread in the outside links, and how fast the WT post thread drains its
// queue, each on a quiet machine (argument 0) and with every core kept busy (argument 1).
//
// BM_ScoringEventFanOut: the view's own senders, called as the match engine calls them when a point is
// added (control-character, pipe, colon, bracket, IVR point and hit, WT text point and score, TVG point and
// the WT JSON action), with every link open on a loopback peer: the OVR link by TCP, the IVR link by UDP
// and the TVG link on a pseudo-terminal, the OVR supplier going round 0, 2, 4, 6, 7 and 8 from event to
// event (a UDP OVR link for the bracket supplier). log.txt and log_tvg.txt exist, so their appends count.
// Each event is timed on its own, with one turn of the event loop that writes the TCP bytes; reported:
// p50_us, p99_us and max_us. Left out: the event log's database commit that holds the records back
// (bench/EventLogBench.cpp), the peers' reading, and the HTTP post, which runs on the post thread.
//
// BM_PostThroughput: 200 documents queued in one burst, POSTed to a local HTTP server that answers at
// once; reported: docs_per_s and the spacing between arrivals (gap_p50_ms, gap_p99_ms). Left out: TLS and
// a real network's round trip.
//   link_fanout_bench [--benchmark_repetitions=5]
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "bench/BenchCourt.h"
#include "bench/Percentile.h"
#include "links/LinkSlots.h"
#include "links/Transport.h"
#include "links/WtApiClient.h"
#include "screens/OperatorLayout.h"
#include "tests/support/LocalHttpServer.h"
#include "tools/PtyPeer.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QLabel>
#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr DWORD kLoopback = 0x7F000001;

void Pump(int turns = 1) {
    for (int i = 0; i < turns; ++i)
        QCoreApplication::processEvents();
}

void SetPath(WCHAR (&field)[260], const std::string& path) {
    std::fill(std::begin(field), std::end(field), u'\0');
    std::copy(path.begin(), path.end(), field);
}

// A court with a loaded match in round 2 and a program folder holding the two link logs.
struct Court {
    QTemporaryDir folder;
    Court() {
        QDir(folder.path()).mkpath(QStringLiteral("Log"));
        for (const char* log : {"Log/log.txt", "Log/log_tvg.txt"}) {
            QFile file(folder.filePath(QString::fromLatin1(log)));
            file.open(QIODevice::WriteOnly);
        }
        g_strAppDir = (folder.path() + '/').toStdU16String();
        CreateMatchData();
        MatchData& md = *g_pMatchData;
        md.nCourtNo = 3;
        md.nRound = 3;
        md.nCurRound = 2;
        md.nMatchTime = 120;
        md.nGameState = 3;
        std::strcpy(md.szContestNo, "101");
        std::strcpy(md.szMatchId, "m-1");
        std::strcpy(md.aPlayer[0].szName, "KIM Minsu");
        std::strcpy(md.aPlayer[1].szName, "LEE Jiho");
    }
    ~Court() { FreeMatchData(); }
};

void BM_ScoringEventFanOut(benchmark::State& state) {
    const auto load = MaybeLoad(state.range(0) != 0);
    Court court;
    MatchData& md = *g_pMatchData;
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    QUdpSocket ivrPeer, ovrUdpPeer;
    ivrPeer.bind(QHostAddress::LocalHost, 0);
    ovrUdpPeer.bind(QHostAddress::LocalHost, 0);
    PtyPeer tvgPeer;
    LocalHttpServer api;
    WtApiStartup();
    const std::u16string base = QString::fromStdString(api.BaseUrl()).toStdU16String();
    std::copy(base.begin(), base.end(), md.wszWTBaseUrl);
    {
        CMainWnd view;
        view.m_strClockText = u"1:07";
        view.Static(OperatorIds::ScoreChung)->setText(" 5");
        view.Static(OperatorIds::ScoreHong)->setText("12");
        // OVR by TCP, IVR (supplier 1) by UDP, TVG (supplier 0) on the pty.
        md.cfgOvr.dwTcpIp = kLoopback;
        md.cfgOvr.nTcpPort = server.serverPort();
        md.nOvrCommType = COMM_TCP;
        md.nOvrSupplier = 0;
        SendMessage(view.GetSafeHwnd(), UM_EXT_LINK_CONTROL, LINK_OVR, 1);
        for (int i = 0; i < 2000 && !server.hasPendingConnections(); ++i) {
            Pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        QTcpSocket* ovrPeer = server.nextPendingConnection();
        md.cfgIvr.dwUdpIp = kLoopback;
        md.cfgIvr.nUdpTx = ivrPeer.localPort();
        md.nIvrCommType = COMM_UDP;
        md.nIvrSupplier = 1;
        SendMessage(view.GetSafeHwnd(), UM_EXT_LINK_CONTROL, LINK_IVR, 1);
        SetPath(md.cfgTvg.wszComPort, tvgPeer.Path());
        md.cfgTvg.nBaudrate = 115200;
        md.cfgTvg.nDataBits = 3;
        md.nTvgCommType = COMM_SERIAL;
        md.nTvgSupplier = 0;
        SendMessage(view.GetSafeHwnd(), UM_EXT_LINK_CONTROL, LINK_TVG, 1);
        Pump(10);
        void* const ovrTcp = md.pOvrLink;
        TTK_CommParam udp{};
        udp.dwUdpIp = kLoopback;
        udp.nUdpTx = ovrUdpPeer.localPort();
        udp.nUdpId = kUdpLinkIdBase + LINK_OVR;
        void* const ovrUdp = CommOpenUdp(view.GetSafeHwnd(), udp);
        if (!ovrPeer || !md.bOvrConnected || !md.bIvrConnected || !md.bTvgConnected || !ovrUdp) {
            state.SkipWithError("a link to its loopback peer did not open");
            CommClose(COMM_UDP, ovrUdp);
            WtApiShutdown();
            return;
        }

        static constexpr int kSuppliers[] = {0, 2, 4, 6, 7, 8};
        std::vector<double> micros;
        long n = 0;
        for (auto _ : state) {
            state.PauseTiming();
            const int supplier = kSuppliers[n % std::size(kSuppliers)];
            md.nOvrSupplier = supplier;
            md.nOvrCommType = supplier == 4 ? COMM_UDP : COMM_TCP;
            md.pOvrLink = supplier == 4 ? ovrUdp : ovrTcp;
            // The peers read what came, so no buffer fills up.
            ovrPeer->readAll();
            while (ivrPeer.hasPendingDatagrams())
                ivrPeer.receiveDatagram();
            while (ovrUdpPeer.hasPendingDatagrams())
                ovrUdpPeer.receiveDatagram();
            tvgPeer.Read(1 << 16, 0);
            state.ResumeTiming();

            const auto start = std::chrono::steady_clock::now();
            view.SendControlCharEvent(4, u"B", u"2", u"T");
            view.SendPipeEvent(9, u"Blue", u"2", u"");
            view.SendColonEvent(9, u"Blue", u"2", u"");
            view.SendBracketEvent(1, u"4", u"2", u"BLUE");
            view.SendIvrMessage(4, u"B", u"2", u"T", u"");
            view.SendIvrMessage(5, u"B", u"4", u"25", u"");
            view.SendWtMessage(0, 3, 0, 4);
            view.SendWtMessage(0, 4, 0, 0);
            view.SendTvgMessage(md.nTvgSupplier, 2, u"B", u"", u"4");
            view.BuildJsonAction(3, 8, 25);
            Pump();
            micros.push_back(
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
            ++n;
        }
        ReportPercentiles(state, micros);
        md.pOvrLink = ovrTcp;
        md.nOvrCommType = COMM_TCP;
        CommClose(COMM_UDP, ovrUdp);
    }
    WtApiShutdown();
}
BENCHMARK(BM_ScoringEventFanOut)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_PostThroughput(benchmark::State& state) {
    constexpr int kDocuments = 200;
    const auto load = MaybeLoad(state.range(0) != 0);
    WtApiStartup();
    for (auto _ : state) {
        LocalHttpServer server;
        WtPostQueue queue;
        const WtApiTarget target{server.BaseUrl(), "KEY", "m-1", 3};
        const std::string body(400, 'x');
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kDocuments; ++i)
            queue.Append(3, body, i, target);
        if (!server.WaitForRequests(kDocuments, std::chrono::seconds(60))) {
            state.SkipWithError("the server did not receive every document");
            break;
        }
        const std::vector<HttpRequestSeen> seen = server.Requests();
        const double seconds = std::chrono::duration<double>(seen.back().arrived - start).count();
        std::vector<double> gaps;
        for (std::size_t i = 1; i < seen.size(); ++i)
            gaps.push_back(
                std::chrono::duration<double, std::milli>(seen[i].arrived - seen[i - 1].arrived).count());
        state.counters["docs_per_s"] = kDocuments / seconds;
        state.counters["gap_p50_ms"] = Percentile(gaps, 0.50);
        state.counters["gap_p99_ms"] = Percentile(gaps, 0.99);
    }
    WtApiShutdown();
}
BENCHMARK(BM_PostThroughput)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv);
}
