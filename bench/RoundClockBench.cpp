// The round clock keeps true time: a two-minute round stepped by the real 10 ms window timer in an event
// loop, once on a quiet machine and once while every core is kept busy. Reported: the largest distance
// between the time the clock had counted off and the real time passed, over every step of the running
// round (max_drift_ms); how much later than the round's length in real time the end came (end_late_ms:
// the last step lands up to one 10 ms period after the zero); and the steps taken.
#include "app/Timers.h"
#include "match/ClockRules.h"
#include "platform/TickSource.h"
#include "platform/WindowMessages.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRoundSeconds = 120;

// The round clock's step as the operator view takes it, on a window of its own.
class RoundClockDriver final : public MessageWindow {
public:
    void Start() {
        m_remain = kRoundSeconds * 1000;
        m_shown = kRoundSeconds;
        m_steps = 0;
        m_started = Clock::now();
        m_tick = GetTickCount();
        SetTimer(TIMER_ROUND_CLOCK, 10);
    }
    LRESULT WindowProc(UINT, WPARAM, LPARAM) override { return 0; }
    void OnTimer(UINT_PTR id) override {
        const DWORD now = GetTickCount();
        const ClockRules::RoundStep step = ClockRules::StepRound(m_remain, m_shown, now - m_tick);
        m_tick = now;
        m_remain = step.remainMs;
        m_shown = step.shownSeconds;
        ++m_steps;
        const double real = std::chrono::duration<double, std::milli>(Clock::now() - m_started).count();
        if (!step.ended) {
            m_maxDrift = std::max(m_maxDrift, std::fabs(kRoundSeconds * 1000.0 - m_remain - real));
            return;
        }
        KillTimer(id);
        m_realEnd = real;
        QCoreApplication::quit();
    }

    double MaxDriftMs() const { return m_maxDrift; }
    double EndLateMs() const { return m_realEnd - kRoundSeconds * 1000.0; }
    double RealMs() const { return m_realEnd; }
    long Steps() const { return m_steps; }

private:
    int m_remain = 0;
    int m_shown = 0;
    long m_steps = 0;
    DWORD m_tick = 0;
    Clock::time_point m_started;
    double m_maxDrift = 0;
    double m_realEnd = 0;
};

// Keeps every core busy until it goes.
class CoreLoad {
public:
    CoreLoad() {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        for (unsigned i = 0; i < cores; ++i)
            m_threads.emplace_back([this] {
                volatile unsigned long sink = 0;
                while (!m_stop.load(std::memory_order_relaxed))
                    sink = sink * 6364136223846793005ul + 1;
            });
    }
    ~CoreLoad() {
        m_stop = true;
        for (std::thread& t : m_threads)
            t.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::vector<std::thread> m_threads;
};

void BM_RoundClockTrueTime(benchmark::State& state) {
    for (auto _ : state) {
        std::unique_ptr<CoreLoad> load;
        if (state.range(0) != 0)
            load = std::make_unique<CoreLoad>();
        RoundClockDriver driver;
        driver.Start();
        QCoreApplication::exec();
        load.reset();
        state.counters["max_drift_ms"] = driver.MaxDriftMs();
        state.counters["end_late_ms"] = driver.EndLateMs();
        state.counters["real_ms"] = driver.RealMs();
        state.counters["steps"] = static_cast<double>(driver.Steps());
    }
}
// 0: a quiet machine; 1: every core busy.
BENCHMARK(BM_RoundClockTrueTime)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
