// Cost to the UI thread of one scoring event along the shipped path, on the real operator view shown as on a
// court and a local database on local disk (WAL, synchronous=FULL, written by the event-log writer's
// thread; the UI thread hands the event over, appended to the writer's queue file, and moves on):
//   BM_ScoreEvent: a device's trunk kick through AddPoint -> RecordScoreEvent (score and leader mark, the
//     history row of the shown list, the hand-over of the event log's CHUNGLOG/HONGLOG row and GAMET
//     totals, the ending rules), then the repaint of the screen it causes; sides alternate, a new match
//     every 100 events.
//   BM_ScoreEventDatabase: the event log's part alone, the hand-over exactly as RecordScoreEvent makes it.
// Each runs on a quiet machine (busy:0) and with every core kept busy (busy:1). Every event is timed on its
// own: p50_us, p99_us and max_us; with --benchmark_repetitions the repetitions add their median and p99.
// Left out: outside links (none is open), the match-log workbook (no log template in the folder), sounds.
//   score_event_bench --benchmark_repetitions=5
#include "bench/BenchCourt.h"
#include "bench/Percentile.h"
#include "records/EventLogWriter.h"

#include <QCoreApplication>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kEventsPerMatch = 100;
constexpr int kTrunkKick = 3;

double Micros(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// A new match on the same court: the view's own reset, then the match's first event-log row.
void NewMatch(CMainWnd& view, MatchData& md) {
    view.ResetMatchScreen();
    md.bMatchLogged = 0;
    md.nGameState = 3;
    md.nCurRound = 1;
    view.m_strClockText = u"1:23";
    view.LogMatchRow();
}

// Times one event at a time on a fresh court, a new match every kEventsPerMatch events; event(view, n)
// returns false when the program refused it.
template <class Event> void TimeEvents(benchmark::State& state, Event&& event) {
    const auto court = MakeCourt(state);
    if (!court)
        return;
    CMainWnd& view = court->View();
    MatchData& md = court->Match();
    md.nPointGap = 20;
    const auto load = MaybeLoad(state.range(0) != 0);
    std::vector<double> micros;
    int n = 0;
    for (auto _ : state) {
        if (n % kEventsPerMatch == 0) {
            state.PauseTiming();
            NewMatch(view, md);
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
        const Clock::time_point start = Clock::now();
        if (!event(view, n)) {
            state.SkipWithError("the program refused the event");
            break;
        }
        micros.push_back(Micros(start));
        ++n;
    }
    // The writer's commits are not the UI thread's; they end before the court's folder goes.
    TheEventLogWriter().WaitWritten(120000);
    ReportPercentiles(state, micros);
}

void BM_ScoreEvent(benchmark::State& state) {
    TimeEvents(state, [](CMainWnd& view, int n) {
        view.m_nLastInputTime = 1500 + static_cast<DWORD>(n);
        if (!view.AddPoint(view.m_strClockText, 1, n % 2, kTrunkKick, 2, 30))
            return false;
        QCoreApplication::processEvents(); // the repaint the event causes
        return true;
    });
}

void BM_ScoreEventDatabase(benchmark::State& state) {
    TimeEvents(state, [](CMainWnd& view, int n) {
        if (n % 2 == 0)
            view.LogChungEvent(u"1:23", kTrunkKick, 2, 1, 1500);
        else
            view.LogHongEvent(u"1:23", kTrunkKick, 2, 1, 1500);
        return true;
    });
}

void Percentiles(benchmark::internal::Benchmark* b) {
    b->ArgName("busy")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->Iterations(2000);
    b->ComputeStatistics("p99", [](const std::vector<double>& v) { return Percentile(v, 0.99); });
}

BENCHMARK(BM_ScoreEvent)->Apply(Percentiles);
BENCHMARK(BM_ScoreEventDatabase)->Apply(Percentiles);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv);
}
