// The cost of showing a running round: the process's CPU while the real round clock runs in the event loop
// on a court started as the program starts it (the shipped settings, the operator screen on the first
// monitor and the public scoreboard on the second, both shown and painted by the offscreen platform), from
// the Start handler on. Two phases of the clock: whole seconds ("m:ss", the text changes once a second; the
// run starts at 2:00) and the last ten seconds (hundredths, the text changes every 10 ms; the clock is
// stopped and set to 0:10 as a peer's "time,round" sets it, and started again). Runs with the scoreboard
// shown or hidden (board), on a quiet machine or with every core kept busy (busy). Reported:
//   cpu_pct: CPU time (user + system) of the process per real time, in percent of one core, without the
//     load's threads;
//   board_paints_per_s, board_kpx_per_s: the scoreboard's paint events per second and the pixels they
//     covered (thousands per second);
//   clock_steps: the round clock's steps over the run.
// Left out: outside links (none is open), the receiver and the devices (registered in the record as their
// pairing leaves them; no hits arrive: the figure is the clock's and the screens' alone), the sound output
// (the machine has no audio device). Each run takes 20 s (whole seconds) or 9 s (hundredths).
//   scoreboard_repaint_bench
#include "bench/BenchCourt.h"
#include "platform/ProcessUsage.h"
#include "screens/ExtScrDlg.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QPaintEvent>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// The offscreen platform's monitors: the operator's and, to its right, the public scoreboard's.
constexpr char kScreens[] = R"({ "screens": [
  { "name": "operator", "x": 0, "y": 0, "width": 1366, "height": 768, "logicalDpi": 96 },
  { "name": "public", "x": 1366, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96 }
] })";

// Counts a widget's paint events and the pixels they cover.
class PaintCounter final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
                pixels += static_cast<double>(r.width()) * r.height();
        }
        return false;
    }
    int paints = 0;
    double pixels = 0;
};

void BM_RunningRound(benchmark::State& state) {
    const bool hundredths = state.range(0) != 0;
    const bool boardShown = state.range(1) != 0;
    const int runMs = hundredths ? 9'000 : 20'000;
    for (auto _ : state) {
        const ProgramStart program{{{u"Competition_Rule", u"0"}}}; // the points system: 2:00 rounds
        CMainWnd* view = nullptr;
        const auto court = MakeCourt(state, &view, &program);
        if (!court)
            return;
        CExtScrDlg* board = view->m_pExtScrDlg;
        if (court->Match().nMonitorCount < 2 || !board || !board->isVisible() || !view->isVisible()) {
            state.SkipWithError("the operator screen and the public scoreboard are not both shown");
            return;
        }
        // The public-screen size as the frame sets it from the display resolution.
        board->ApplyResolution();
        if (!boardShown)
            board->hide();
        PaintCounter counter;
        board->installEventFilter(&counter);
        QCoreApplication::processEvents();

        // The devices as their pairing leaves them registered.
        MatchData& md = court->Match();
        md.bRegBody[0] = md.bRegHead[0] = md.bRegBody[1] = md.bRegHead[1] = 1;
        md.bJudgeWired[0] = md.bJudgeWired[1] = md.bJudgeWired[2] = 1;
        view->OnClickedStart();
        if (md.nGameState != 3) {
            state.SkipWithError("the round did not start");
            return;
        }
        if (hundredths) {
            // As a peer sets the time: the clock stops at 0:10, and Start runs it on.
            view->SetRoundAndTime("10,1");
            view->OnClickedStart();
            if (md.nGameState != 3 || md.nRemainTime > 10'000) {
                state.SkipWithError("the clock did not run on from 0:10");
                return;
            }
        }
        counter.paints = 0;
        counter.pixels = 0;
        const auto load = MaybeLoad(state.range(2) != 0);
        const double loadCpuStart = load ? load->CpuSeconds() : 0;
        const double cpuStart = platform::processCpuSeconds();
        const int stepsStart = view->m_nRoundSteps;
        QElapsedTimer real;
        real.start();
        QTimer::singleShot(runMs, [] { QCoreApplication::quit(); });
        QCoreApplication::exec();
        const double seconds = real.nsecsElapsed() / 1e9;
        const double cpu =
            platform::processCpuSeconds() - cpuStart - (load ? load->CpuSeconds() - loadCpuStart : 0);
        board->removeEventFilter(&counter);
        state.counters["cpu_pct"] = 100 * cpu / seconds;
        state.counters["board_paints_per_s"] = counter.paints / seconds;
        state.counters["board_kpx_per_s"] = counter.pixels / 1000 / seconds;
        state.counters["clock_steps"] = view->m_nRoundSteps - stepsStart;
    }
}
BENCHMARK(BM_RunningRound)
    ->ArgNames({"hundredths", "board", "busy"})
    ->ArgsProduct({{0, 1}, {1, 0}, {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    // The operator's monitor and the public scoreboard's, unless another platform is chosen.
    QTemporaryDir dir;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        QFile screens(dir.filePath(QStringLiteral("screens.json")));
        if (!screens.open(QIODevice::WriteOnly) || screens.write(kScreens) < 0)
            return 1;
        screens.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toUtf8());
    }
    return RunBenchmarks(argc, argv);
}
