// The CPU a running round costs: a court started as the program starts it (the shipped settings, the public
// scoreboard shown on a second monitor, the receiver link opened on a pseudo-terminal played by the fake
// receiver), a round started by the view's Start handler and left to run with no hit, press or key: the
// clock's steps, both screens' clock repaints, the once-a-second device check and notices. Two phases of
// the clock: whole seconds (last10s:0, 30 s from 2:00, the clock's text changes once a second) and the last
// ten seconds (last10s:1, stopped and set to 0:10 as a peer's "time,round" sets it and started again, 9 s of
// hundredths, the text changes every 10 ms). Reported, quiet (busy:0) and with every core kept busy (busy:1):
//   cpu_s_per_min: the process's CPU time (user + system, every thread but the load's) per minute of the
//     running round; cpu_pct: the same in percent of one core;
//   ui_cpu_s_per_min: the UI thread's share of it;
//   steps: the clock's steps.
// Left out: scoring (see match_replay_bench), outside links (none is open), the sound output (the machine
// has no audio device). The fake receiver's own thread, which only answers the program's commands, runs in
// the same process and stays in the figure.
//   round_cpu_bench
#include "bench/BenchCourt.h"
#include "platform/ProcessUsage.h"
#include "tools/FakeReceiver.h"

#include <QCoreApplication>
#include <QTimer>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

void BM_RunningRoundCpu(benchmark::State& state) {
    for (auto _ : state) {
        FakeReceiver fake;
        if (!fake.IsOpen()) {
            state.SkipWithError("no pseudo-terminal");
            return;
        }
        fake.SetVersion(0x03, 0x07); // a receiver this program supports
        qputenv("BELVANTA_RECEIVER", QByteArray::fromStdString(fake.SlavePath()));
        const ProgramStart program{{{u"Competition_Rule", u"0"}}}; // the points system
        CMainWnd* view = nullptr;
        const auto court = MakeCourt(state, &view, &program);
        if (!court)
            return;
        if (!LinkedOnTwoMonitors(state, *view, [&] { return fake.WaitForCommand(0x07); }))
            return;
        MatchData& md = court->Match();
        // The devices as their pairing leaves them, so Start runs the round.
        md.bRegBody[0] = md.bRegHead[0] = md.bRegBody[1] = md.bRegHead[1] = 1;
        md.bJudgeWired[0] = md.bJudgeWired[1] = md.bJudgeWired[2] = 1; // the judges' registered flags
        const bool last10s = state.range(0) != 0;
        const auto load = MaybeLoad(state.range(1) != 0);
        const double loadStart = load ? load->CpuSeconds() : 0;
        const double cpuStart = platform::processCpuSeconds();
        const double uiStart = platform::threadCpuSeconds();
        const Clock::time_point start = Clock::now();
        view->OnClickedStart();
        if (md.nGameState != 3) {
            state.SkipWithError("the round did not start");
            return;
        }
        if (last10s) {
            // As a peer sets the time: the clock stops at 0:10, and Start runs it on.
            view->SetRoundAndTime("10,1");
            view->OnClickedStart();
            if (md.nGameState != 3 || md.nRemainTime > 10'000) {
                state.SkipWithError("the clock did not run on from 0:10");
                return;
            }
        }
        QTimer::singleShot(last10s ? 9'000 : 30'000, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
        const double minutes = std::chrono::duration<double>(Clock::now() - start).count() / 60.0;
        const double ui = platform::threadCpuSeconds() - uiStart;
        const double cpu =
            platform::processCpuSeconds() - cpuStart - (load ? load->CpuSeconds() - loadStart : 0);
        view->OnClickedStop();
        state.counters["cpu_s_per_min"] = cpu / minutes;
        state.counters["cpu_pct"] = 100 * cpu / (minutes * 60);
        state.counters["ui_cpu_s_per_min"] = ui / minutes;
        state.counters["steps"] = static_cast<double>(view->m_nRoundSteps);
    }
}
BENCHMARK(BM_RunningRoundCpu)
    ->ArgNames({"last10s", "busy"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarksOnTwoMonitors(argc, argv);
}
