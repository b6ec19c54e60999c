// The winner selection's step whose writer arrives with the tournament results database: it only says on
// the debug output what reached it and answers that nothing was written.
#include "match/WinSelDlg.h"

#include "platform/DebugOutput.h"

bool WriteTournamentDecision(int resultCode) {
    DebugPrintf("tournament decision rows, result code %02d: not written, no tournament database writer yet",
                resultCode);
    return false;
}
