// The tournament results database, as far as this program has it: the tournament match codes come later,
// so nothing here writes yet. Each says so in the debug output instead of pretending to have written.
#include "records/MatchRecords.h"

#include "app/VeziruduzApp.h"
#include "platform/DebugOutput.h"

namespace {

// The tournament database is opened by the OVR link of supplier 3; while it is closed there is nothing to
// write. Open, the statements still need the tournament codes of the loaded match, which the match import
// does not keep yet.
void TournamentNotWritten(const char* operation) {
    if (theApp.m_dbTournament.bOpen)
        DebugPrintf("%s: the tournament codes of the match are not loaded; nothing written", operation);
}

} // namespace

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
