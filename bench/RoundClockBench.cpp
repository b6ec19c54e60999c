// The round clock keeps true time: a two-minute round run by the shipped clock handler of the real operator
// view (its 10 ms window timer, the clock display, the per-second notices and the round end), in the event
// loop, from the Start button to the round's end. Four runs: a quiet machine or every core kept busy
// (busy), and a UI thread that runs freely or stalls for 1.5 s every 10 s (stall). Reported:
//   end_error_ms: how much later than two minutes of real time the round ended (its last step is timed to
//     land on the end, so what is left is the timer's and the scheduler's lateness);
//   max_drift_ms: the largest distance, at any second's step, between the time the clock had counted off
//     and the real time passed since Start;
//   steps: the clock's steps.
// Left out: outside links (none is open) and the receiver (not opened). Each run takes two minutes.
//   round_clock_bench
#include "app/Timers.h"
#include "bench/BenchCourt.h"

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <cmath>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kRoundMs = 120'000;

// The operator view, observed: the per-second notice and the round-end notice carry the clock's state.
class ObservedView final : public CMainWnd {
public:
    void SendWtMessage(int target, int code, int side, int value) override {
        CMainWnd::SendWtMessage(target, code, side, value);
        if (target != 0 || code != 0 || !g_pMatchData)
            return;
        const double real = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
        if (side == 0) {
            const double counted = kRoundMs - g_pMatchData->nRemainTime;
            maxDrift = std::max(maxDrift, std::fabs(real - counted));
        } else if (side == 5 && endedMs < 0) {
            endedMs = real;
            QCoreApplication::quit();
        }
    }
    Clock::time_point started;
    double maxDrift = 0;
    double endedMs = -1;
};

void BM_RoundClock(benchmark::State& state) {
    for (auto _ : state) {
        ObservedView* view = nullptr;
        const auto court = MakeCourt(state, &view);
        if (!court)
            return;
        const auto load = MaybeLoad(state.range(0) != 0);
        QTimer stall;
        QObject::connect(&stall, &QTimer::timeout,
                         [] { std::this_thread::sleep_for(std::chrono::milliseconds(1500)); });
        if (state.range(1) != 0)
            stall.start(10'000);
        view->started = Clock::now();
        view->OnClickedStart();
        if (court->Match().nGameState != 3) {
            state.SkipWithError("the round did not start");
            return;
        }
        QCoreApplication::exec();
        stall.stop();
        state.counters["end_error_ms"] = view->endedMs - kRoundMs;
        state.counters["max_drift_ms"] = view->maxDrift;
        state.counters["steps"] = static_cast<double>(view->m_nRoundSteps);
    }
}
BENCHMARK(BM_RoundClock)
    ->ArgNames({"busy", "stall"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv);
}
