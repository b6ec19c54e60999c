// Cost to the UI thread of the match-log workbook during a long match, on the shipped template in a court's
// program folder:
//   BM_MatchLogSave: the save of the log after one event line, the log holding 200 to 400 lines (a new log
//     every 200 lines), as the save timer runs it 20 ms after a change (save_*: the time it takes,
//     save_cpu_*: the UI thread's CPU time in it, which a busy machine's waits for a core leave out), and the
//     event line before it (line_*: LogMatchEvent's cells and looks).
// Each runs on a quiet machine (busy:0) and with every core kept busy (busy:1). Every save and line is timed
// on its own: p50_us, p99_us and max_us. Between two saves the file writer's thread writes the file and
// waits, as it does in the 20 ms a court's save waits; that write (the workbook stream, the compound file,
// the disk) is the writer's, not the UI thread's, and is left out, as are the operator screen and the
// event log.
//   match_log_save_bench --benchmark_repetitions=5
#include "app/AppGlobals.h"
#include "app/FileWriter.h"
#include "bench/BenchCourt.h"
#include "bench/Percentile.h"
#include "platform/ProcessUsage.h"
#include "records/MatchLog.h"
#include "records/MatchRecords.h"

#include <QDir>
#include <QFile>

#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kLinesBefore = 200;
constexpr int kLinesPerLog = 200;

double Micros(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// The n-th line of a match: hits and points of both sides by turns, with a judge's press now and then.
void LogLine(int n) {
    const int side = n % 2;
    switch (n % 3) {
    case 0:
        LogMatchEvent(1 + n / 150 % 3, 8, u"1:23", side, 1, 0, 30);
        break;
    case 1:
        LogMatchEvent(1 + n / 150 % 3, 9, u"1:23", side, 1, 2, 1, 3, 5);
        break;
    default:
        LogMatchEvent(1 + n / 150 % 3, 6, u"1:22", side, 3, 0, 2, 1);
        break;
    }
}

// A new log of kLinesBefore lines, written out.
bool OpenLongLog(int number) {
    if (!OpenMatchLog(u"2026-12-11 101500(No101-" + std::u16string(1, u'A' + number % 26) + u").xls"))
        return false;
    WriteMatchLogHeader();
    for (int n = 0; n < kLinesBefore; ++n)
        LogLine(n);
    MatchLog::SaveNow();
    return TheFileWriter().WaitIdle(60000);
}

void BM_MatchLogSave(benchmark::State& state) {
    const auto court = MakeCourt(state);
    if (!court)
        return;
    for (const char* name : {"Log file.xls", "Log file_Team.xls"})
        QFile::copy(QString::fromUtf8(BELVANTA_SOURCE_DIR "/resources/home/Log/") + QLatin1String(name),
                    QString::fromStdU16String(AppPath(u"Log/")) + QLatin1String(name));
    int logs = 0;
    if (!OpenLongLog(logs++)) {
        state.SkipWithError("the match log could not be opened");
        return;
    }
    const auto load = MaybeLoad(state.range(0) != 0);
    std::vector<double> saves;
    std::vector<double> saveCpu;
    std::vector<double> lines;
    int n = kLinesBefore;
    for (auto _ : state) {
        if (n == kLinesBefore + kLinesPerLog) {
            state.PauseTiming();
            CloseMatchLog();
            if (!OpenLongLog(logs++)) {
                state.SkipWithError("the match log could not be opened");
                break;
            }
            n = kLinesBefore;
            state.ResumeTiming();
        }
        const Clock::time_point start = Clock::now();
        LogLine(n++);
        lines.push_back(Micros(start));
        const Clock::time_point save = Clock::now();
        const double cpu = platform::threadCpuSeconds();
        MatchLog::SaveNow();
        saves.push_back(Micros(save));
        saveCpu.push_back((platform::threadCpuSeconds() - cpu) * 1e6);
        state.PauseTiming();
        TheFileWriter().WaitIdle(60000);
        std::this_thread::sleep_for(std::chrono::milliseconds(2)); // the writer's thread asleep again
        state.ResumeTiming();
    }
    CloseMatchLog();
    TheFileWriter().WaitIdle(60000);
    ReportPercentiles(state, saves, "save_");
    ReportPercentiles(state, saveCpu, "save_cpu_");
    ReportPercentiles(state, lines, "line_");
}

BENCHMARK(BM_MatchLogSave)
    ->ArgName("busy")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(1000)
    ->ComputeStatistics("p99", [](const std::vector<double>& v) { return Percentile(v, 0.99); });

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv);
}
