// The match-log workbook and the tournament results database, as far as this program has them: the
// workbook writer and the tournament match codes come later, so nothing here writes yet. Each says so in
// the debug output instead of pretending to have written.
#include "records/MatchRecords.h"

#include "app/VeziruduzApp.h"
#include "platform/DebugOutput.h"

namespace {

void MatchLogNotOpen(const char* operation) {
    DebugPrintf("%s: no match-log workbook is open; nothing written", operation);
}

// The tournament database is opened by the OVR link of supplier 3; while it is closed there is nothing to
// write. Open, the statements still need the tournament codes of the loaded match, which the match import
// does not keep yet.
void TournamentNotWritten(const char* operation) {
    if (theApp.m_dbTournament.bOpen)
        DebugPrintf("%s: the tournament codes of the match are not loaded; nothing written", operation);
}

} // namespace

int OpenMatchLog(std::u16string_view) {
    DebugPrintf("OpenMatchLog: the match-log workbook is not available; the match is not logged to it");
    return 0;
}

void WriteMatchLogHeader() {
    MatchLogNotOpen("WriteMatchLogHeader");
}

void WriteMatchLogTimes(int) {
    MatchLogNotOpen("WriteMatchLogTimes");
}

void WriteMatchLogRoundScores(int) {
    MatchLogNotOpen("WriteMatchLogRoundScores");
}

void LogMatchEvent(int, int, std::u16string_view, int, int, int, int, int, int, int) {
    MatchLogNotOpen("LogMatchEvent");
}

void CloseMatchLog() {
    MatchLogNotOpen("CloseMatchLog");
}

void SetTournamentMatchPlaying() {
    TournamentNotWritten("SetTournamentMatchPlaying");
}

void SetTournamentCurrentRound() {
    TournamentNotWritten("SetTournamentCurrentRound");
}

void UpdateTournamentScore(int side) {
    if (side >= 0 && side <= 2)
        TournamentNotWritten("UpdateTournamentScore");
}

void UpdateTournamentWinCounts() {
    TournamentNotWritten("UpdateTournamentWinCounts");
}

void UpdateCourtReceiver() {
    TournamentNotWritten("UpdateCourtReceiver");
}
