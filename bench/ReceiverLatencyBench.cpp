// Latency of a protector hit through the receiver link: from the moment the last byte of a hit frame is
// written to the receiver's tty (the fake receiver on a pseudo-terminal) until the handler of the operator
// view's window runs on the UI thread. The path is the shipped one: tty wait and read on the receive thread,
// the frame parser, and a synchronous send to the view; only the frame dispatch is replaced by a forwarder
// that sends the hit message the dispatch sends. Each hit is timed on its own; the run reports the 50th and
// 99th percentile and the slowest hit (p50_us, p99_us, max_us).
//   receiver_latency_bench [--benchmark_repetitions=5]
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "bench/Percentile.h"
#include "devices/Receiver.h"
#include "platform/WindowMessages.h"
#include "tools/FakeReceiver.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The operator view's stand-in: notes when a hit's handler runs.
class HitWindow final : public MessageWindow {
public:
    LRESULT WindowProc(UINT message, WPARAM, LPARAM) override {
        if (message == UM_TRUNK_HIT) {
            arrived = Clock::now();
            ++hits;
        }
        return 0;
    }
    Clock::time_point arrived;
    int hits = 0;
};

void ForwardHit(TTK_Receiver&, const ReceiverFrame& frame) {
    if (frame.Type() == kFrameTypeReport)
        SendMessage(g_hMainWnd, UM_TRUNK_HIT, 1, reinterpret_cast<LPARAM>("none,300,0,CV"));
}

void HitToView(benchmark::State& state) {
    FakeReceiver fake;
    if (!fake.IsOpen()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    setenv("BELVANTA_RECEIVER", fake.SlavePath().c_str(), 1);
    CreateMatchData();
    HitWindow view;
    g_hMainWnd = view.GetSafeHwnd();
    std::vector<double> micros;
    {
        TTK_Receiver receiver;
        InitReceiver(&receiver);
        receiver.frameSink = ForwardHit;
        ReceiverStartThread(&receiver);
        if (!fake.WaitForCommand(0x07)) {
            state.SkipWithError("the receiver link did not start");
        } else {
            for (auto _ : state) {
                const int before = view.hits;
                fake.SendHit("CV", 300);
                const Clock::time_point written = Clock::now();
                while (view.hits == before)
                    QCoreApplication::processEvents();
                const double us = std::chrono::duration<double, std::micro>(view.arrived - written).count();
                micros.push_back(us);
                state.SetIterationTime(us / 1e6);
            }
        }
    }
    g_hMainWnd = 0;
    FreeMatchData();
    state.counters["p50_us"] = Percentile(micros, 0.50);
    state.counters["p99_us"] = Percentile(micros, 0.99);
    state.counters["max_us"] = Percentile(micros, 1.0);
}

BENCHMARK(HitToView)->UseManualTime()->Iterations(5000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
