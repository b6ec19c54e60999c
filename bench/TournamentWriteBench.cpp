// The UI thread's cost of a score change's tournament-database write (OVR supplier 3): the shipped
// UpdateTournamentScore for both sides, which builds the two side rows' statements and queues them on the
// tournament writer, against a real PostgreSQL server. Every change is timed on its own: p50_us, p99_us and
// max_us; range 0 on a quiet machine, 1 with every core kept busy. Left out: the write itself, which runs
// on the writer's worker (its rows are checked to arrive after each run), and the score bookkeeping before
// it.
//   d=$(mktemp -d); export BELVANTA_TEST_ODBC="$(scripts/test-postgres start $d)"
//   tournament_write_bench --benchmark_repetitions=5; scripts/test-postgres stop $d
#include "app/AdoObject.h"
#include "app/MatchData.h"
#include "app/MatchInfo.h"
#include "bench/BenchCourt.h"
#include "bench/Percentile.h"
#include "records/MatchRecords.h"
#include "records/TournamentDb.h"
#include "records/TournamentWriter.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr const char* kFixture[] = {
    "DELETE FROM tkdgerursltd",
    "DELETE FROM tkdtour",
    "INSERT INTO tkdtour VALUES ('T1', '1', 'Y', '1')",
    "INSERT INTO tkdgerursltd (tour_code, tour_cnt, dep_code, wei_code, stage_code, game_code, br_gubun)"
    " VALUES ('T1', '1', 'D1', 'W2', 'S3', 'G4', 'B'), ('T1', '1', 'D1', 'W2', 'S3', 'G4', 'R')",
};

void BM_ScoreChangeTournamentWrite(benchmark::State& state) {
    const char* server = std::getenv("BELVANTA_TEST_ODBC");
    CAdoObject fixture;
    if (!server || !*server || !fixture.Open(server)) {
        state.SkipWithError("no PostgreSQL server: set BELVANTA_TEST_ODBC (see the comment at the top)");
        return;
    }
    for (const char* sql : kFixture)
        fixture.Execute("%s", sql);
    CreateMatchData();
    MatchData& md = *g_pMatchData;
    md.nRound = 3;
    md.nCurRound = 1;
    g_MatchInfoCur[TTK_MatchInfo::kDepCode] = "D1";
    g_MatchInfoCur[TTK_MatchInfo::kWeiCode] = "W2";
    g_MatchInfoCur[TTK_MatchInfo::kStageCode] = "S3";
    g_MatchInfoCur[TTK_MatchInfo::kGameCode] = "G4";
    if (!OpenTournamentDb(server)) {
        state.SkipWithError("the tournament database did not open");
        FreeMatchData();
        return;
    }
    std::unique_ptr<CoreLoad> load;
    if (state.range(0) != 0)
        load = std::make_unique<CoreLoad>();
    std::vector<double> micros;
    int written = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        UpdateTournamentScore(2);
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        written = md.aSide[0].nScore;
        // Scores stay in a match's range (the server keeps them as short texts).
        md.aSide[0].nScore = md.aSide[0].nRoundScore[0] = (written + 1) % 100;
    }
    load.reset();
    if (!TheTournamentWriter().WaitIdle(30'000) || TheTournamentWriter().FailedCount() != 0)
        state.SkipWithError("the writes did not all arrive");
    fixture.Select("SELECT dukjum FROM tkdgerursltd WHERE br_gubun = 'B'");
    if (fixture.nRows != 1 || fixture.cell(0, 0).asText() != std::to_string(written))
        state.SkipWithError("the last score did not arrive");
    state.counters["p50_us"] = Percentile(micros, 0.50);
    state.counters["p99_us"] = Percentile(micros, 0.99);
    state.counters["max_us"] = Percentile(micros, 1.0);
    CloseTournamentDb();
    FreeMatchData();
}

BENCHMARK(BM_ScoreChangeTournamentWrite)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("p99", [](const std::vector<double>& v) { return Percentile(v, 0.99); });

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv);
}
