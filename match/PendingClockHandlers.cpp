// Handlers of the operator view that the match flow calls and whose work arrives with the parts of the
// match engine not built yet: the round-win system, the judge-slot queue and the
// team tags. Each only says on the debug output what reached it.
#include "app/MainWnd.h"

#include "platform/DebugOutput.h"

void CMainWnd::DecideRoundWinner(int roundIndex, int winner, int reason, int notify) {
    DebugPrintf("round winner of round index %d: winner %d, reason %d, notify %d", roundIndex, winner, reason,
                notify);
}
void CMainWnd::CompactJudgeSlots(int side) {
    DebugPrintf("judge slots of side %d compacted", side);
}
void CMainWnd::RedrawTagPanel() {
    OutputDebugString("tag panel redrawn");
}
