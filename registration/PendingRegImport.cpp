// Steps of the match import whose own part is not built yet: each does nothing, answers "not done" and
// says so.
#include "registration/RegDlg.h"

#include "platform/DebugOutput.h"

void CTK_RegDlg::LoadTournamentMatch(int which) {
    DebugPrintf("the %s match of the tournament results database is not read: that reader is not built",
                which == 1 ? "next" : "playing");
}
