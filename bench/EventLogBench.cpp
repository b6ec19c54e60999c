// Cost of recording one scoring event on the UI thread: the history row of the side's event list, then the
// event log's CHUNGLOG row and GAMET totals, on a database made from the shipped schema (WAL mode) on local
// disk. Besides the time per event over each run, every event is timed on its own and the run reports the
// 50th, 99th percentile and the slowest event (p50_us, p99_us, max_us). With --benchmark_repetitions the
// repetitions also give their median and 99th percentile.
//   event_log_bench --benchmark_repetitions=10 [--benchmark_min_time=2]
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/MyListCtrl.h"
#include "app/VeziruduzApp.h"
#include "bench/Percentile.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kChungEventList = 1081;
constexpr int kEventsPerMatch = 200; // a new match (GAMET row, empty list) after this many events

bool MakeDatabase(const std::string& file) {
    std::ifstream in(BELVANTA_SOURCE_DIR "/resources/home/Vevuvurer.sql");
    std::stringstream schema;
    schema << in.rdbuf();
    sqlite3* db = nullptr;
    const bool made = in && sqlite3_open(file.c_str(), &db) == SQLITE_OK &&
                      sqlite3_exec(db, schema.str().c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return made;
}

// The history row as the score event record writes it: number, round, points, technique, time, then
// scrolled into view.
void AddHistoryRow(CMyListCtrl& list, int n) {
    list.insertRow(n);
    const QString texts[] = {QString::number(n + 1), QStringLiteral("1"), QStringLiteral("(+)2"),
                             QStringLiteral("Trunk"), QStringLiteral("1:23")};
    for (int c = 0; c < 5; ++c)
        list.setItem(n, c, new QTableWidgetItem(texts[c]));
    list.scrollToItem(list.item(n, 0));
}

void BM_RecordScoreEvent(benchmark::State& state) {
    QTemporaryDir folder;
    const std::string file = folder.filePath(QStringLiteral("Vevuvurer.edi")).toStdString();
    if (!MakeDatabase(file) ||
        !theApp.m_dbLocal.Open(("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file).c_str())) {
        state.SkipWithError("the benchmark database could not be made");
        return;
    }
    CreateMatchData();
    MatchData& md = *g_pMatchData;
    md.nRound = 3;
    md.nCurRound = 1;
    md.nGameState = 3;
    std::strcpy(md.szContestNo, "101");
    std::strcpy(md.aPlayer[0].szName, "KIM");
    std::strcpy(md.aPlayer[1].szName, "O'NEIL");
    {
        CMainWnd view;
        view.ShowRoundNumber(1);
        CMyListCtrl& list = *view.EventList(kChungEventList);
        list.setColumnCount(5);
        std::vector<double> micros;
        int n = 0;
        for (auto _ : state) {
            if (n == kEventsPerMatch) {
                state.PauseTiming();
                list.setRowCount(0);
                md.bMatchLogged = 0;
                md.aSide[0].nScore = 0;
                md.aSide[0].nTechTally[2][0] = 0;
                n = 0;
                state.ResumeTiming();
            }
            if (n == 0) {
                state.PauseTiming();
                view.LogMatchRow();
                state.ResumeTiming();
            }
            const auto start = std::chrono::steady_clock::now();
            md.aSide[0].nScore += 2;
            md.aSide[0].nTechTally[2][0] += 2;
            AddHistoryRow(list, n);
            view.LogChungEvent(u"1:23", 3, 2, 1, 1500);
            micros.push_back(
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
            ++n;
        }
        state.counters["p50_us"] = Percentile(micros, 0.50);
        state.counters["p99_us"] = Percentile(micros, 0.99);
        state.counters["max_us"] = Percentile(micros, 1.0);
    }
    FreeMatchData();
    theApp.m_dbLocal.Close();
}

BENCHMARK(BM_RecordScoreEvent)
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("p99", [](const std::vector<double>& v) { return Percentile(v, 0.99); })
    ->ComputeStatistics("max", [](const std::vector<double>& v) { return Percentile(v, 1.0); });

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
