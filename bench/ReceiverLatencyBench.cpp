// Latency of a protector hit from the receiver to the operator view: from the moment a hit frame is written
// to the receiver's tty (the fake receiver on a pseudo-terminal) until the real view's handler of the hit
// runs on the UI thread (arrive_*), until it has returned (handled_*: the point scored, its history row,
// its event-log commit and the repaint requests), and until the operator view has painted the side's score
// label with the new score (shown_*: the repaint included). The path is the shipped one throughout: the tty
// wait and read on the receive thread, the frame parser, the device dispatch with the paired devices' table,
// the synchronous send to the view, and a UI thread that sleeps in its event loop between hits (20 ms apart,
// each sent after the previous one was shown). Chung's and Hong's trunk protectors alternate. Quiet (busy:0)
// and with every core kept busy (busy:1); per-hit p50, p99 and max in microseconds, and ui_cpu_us_per_hit:
// the UI thread's CPU time (user + system) from the first hit to the last shown, per hit.
// Left out: outside links (none is open), sounds, the judges, the public scoreboard (not shown: the view is
// dressed without the program's start).
// BM_PtyWakeFloor is the machine's own share of arrive_: a bare thread of the receive thread's priority
// waiting in the platform's serial read on the same kind of pseudo-terminal, woken by the same frame written
// the same way, with no parser, no dispatch and no UI thread (woke_*): no hit reaches the program sooner.
//   receiver_latency_bench
#include "app/Messages.h"
#include "app/Network.h"
#include "bench/BenchCourt.h"
#include "devices/Receiver.h"
#include "platform/ProcessUsage.h"
#include "platform/SerialPort.h"
#include "platform/ThreadPriority.h"
#include "screens/OperatorLayout.h"
#include "tools/FakeReceiver.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kHits = 1000;

// The operator view, observed around its own message hub.
class ObservedView final : public CMainWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != UM_TRUNK_HIT)
            return CMainWnd::WindowProc(message, wParam, lParam);
        const Clock::time_point arrived = Clock::now();
        const int scores[2] = {g_pMatchData->aSide[0].nScore, g_pMatchData->aSide[1].nScore};
        const LRESULT result = CMainWnd::WindowProc(message, wParam, lParam);
        const Clock::time_point handled = Clock::now();
        {
            std::lock_guard guard(lock);
            arrive.push_back(std::chrono::duration<double, std::micro>(arrived - written).count());
            handle.push_back(std::chrono::duration<double, std::micro>(handled - written).count());
            done = true;
            side = g_pMatchData->aSide[0].nScore != scores[0] ? 0 : 1;
            score = g_pMatchData->aSide[side].nScore;
        }
        return result;
    }
    // A score label painted with its text: the hit is shown once its side's label shows its score.
    void Painted(int paintedSide, int shownScore) {
        {
            std::lock_guard guard(lock);
            if (!done || shown || paintedSide != side || shownScore < score)
                return;
            shown = true;
            show.push_back(std::chrono::duration<double, std::micro>(Clock::now() - written).count());
        }
        wake.notify_one();
    }
    std::mutex lock;
    std::condition_variable wake;
    Clock::time_point written;
    int side = -1, score = 0; // the side the hit scored for, and its score after it
    bool done = false, shown = false;
    std::vector<double> arrive, handle, show;
};

using PaintWatch = ScorePaintWatch<ObservedView>;

TTK_Network Paired(const std::string& name) {
    TTK_Network entry;
    entry.name = name;
    entry.kind = FakeReceiver::DeviceCode(name);
    FakeReceiver::ShortAddress(name, entry.shortAddr);
    FakeReceiver::DeviceAddress(name, entry.devAddr);
    return entry;
}

void BM_HitToView(benchmark::State& state) {
    FakeReceiver fake;
    if (!fake.IsOpen()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    setenv("BELVANTA_RECEIVER", fake.SlavePath().c_str(), 1);
    ObservedView* view = nullptr;
    const auto court = MakeCourt(state, &view);
    if (!court)
        return;
    MatchData& md = court->Match();
    md.nGameState = 3; // a running round whose clock is not ticking: only hits wake the UI thread
    md.nRemainTime = 83'000;
    view->m_strClockText = u"1:23";
    view->LogMatchRow();
    *g_pNetworkArr = {Paired("CV"), Paired("HV")};
    const auto load = MaybeLoad(state.range(0) != 0);

    TTK_Receiver receiver;
    InitReceiver(&receiver);
    ReceiverStartThread(&receiver);
    if (!fake.WaitForCommand(0x07)) {
        state.SkipWithError("the receiver link did not start");
        return;
    }
    PaintWatch chung(*view, view->Static(OperatorIds::ScoreChung), 0);
    PaintWatch hong(*view, view->Static(OperatorIds::ScoreHong), 1);
    double uiCpu = 0;
    for (auto _ : state) {
        const double cpuStart = platform::threadCpuSeconds();
        std::thread writer([&] {
            for (int n = 0; n < kHits; ++n) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                {
                    std::lock_guard guard(view->lock);
                    view->done = view->shown = false;
                    view->written = Clock::now();
                }
                // Written without the lock, which the UI thread takes once the hit is handled: this
                // thread, at the normal priority, must not hold it while the write wakes the receiver.
                fake.SendHit(n % 2 ? "HV" : "CV", 40); // level 40: above the weight class's 25
                std::unique_lock guard(view->lock);
                if (!view->wake.wait_for(guard, std::chrono::seconds(5), [view] { return view->shown; }))
                    break; // a lost hit or paint: the counts below tell
            }
            QMetaObject::invokeMethod(
                qApp,
                [&] {
                    uiCpu = platform::threadCpuSeconds() - cpuStart;
                    QCoreApplication::quit();
                },
                Qt::QueuedConnection);
        });
        QCoreApplication::exec();
        writer.join();
    }
    std::lock_guard guard(view->lock);
    state.counters["hits"] = static_cast<double>(view->arrive.size());
    state.counters["hits_shown"] = static_cast<double>(view->show.size());
    state.counters["points"] = md.aSide[0].nScore + md.aSide[1].nScore;
    ReportPercentiles(state, view->arrive, "arrive_");
    ReportPercentiles(state, view->handle, "handled_");
    ReportPercentiles(state, view->show, "shown_");
    state.counters["ui_cpu_us_per_hit"] =
        view->show.empty() ? 0 : uiCpu * 1e6 / static_cast<double>(view->show.size());
}

void BM_PtyWakeFloor(benchmark::State& state) {
    FakeReceiver fake;
    platform::SerialPort port;
    if (!fake.IsOpen() || !port.Open(fake.SlavePath(), platform::SerialSettings{})) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    const auto load = MaybeLoad(state.range(0) != 0);
    std::mutex lock;
    std::condition_variable wake;
    Clock::time_point written;
    bool woken = false;
    std::vector<double> woke;
    for (auto _ : state) {
        std::thread reader([&] {
            platform::raiseScoringPriority("wake floor");
            BYTE buffer[64];
            for (int n = 0; n < kHits; ++n) {
                if (port.Read(buffer, sizeof buffer, 5000) <= 0)
                    return;
                const Clock::time_point now = Clock::now();
                std::lock_guard guard(lock);
                woke.push_back(std::chrono::duration<double, std::micro>(now - written).count());
                woken = true;
                wake.notify_one();
            }
        });
        for (int n = 0; n < kHits; ++n) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            {
                std::lock_guard guard(lock);
                woken = false;
                written = Clock::now();
            }
            fake.SendHit("CV", 40); // without the lock, as above
            std::unique_lock guard(lock);
            if (!wake.wait_for(guard, std::chrono::seconds(5), [&] { return woken; }))
                break;
        }
        port.CancelRead();
        reader.join();
    }
    state.counters["frames"] = static_cast<double>(woke.size());
    ReportPercentiles(state, woke, "woke_");
}

// One run of each, quiet and with every core busy.
void QuietAndBusy(benchmark::internal::Benchmark* run) {
    run->ArgName("busy")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_PtyWakeFloor)->Apply(QuietAndBusy);
BENCHMARK(BM_HitToView)->Apply(QuietAndBusy);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv);
}
