// Handlers of the operator view that the match flow calls and whose work arrives with the parts of the
// match engine not built yet: the judge-slot queue and the team tags. Each only says on the debug output what
// reached it.
#include "app/MainWnd.h"

#include "platform/DebugOutput.h"

void CMainWnd::CompactJudgeSlots(int side) {
    DebugPrintf("judge slots of side %d compacted", side);
}
void CMainWnd::RedrawTagPanel() {
    OutputDebugString("tag panel redrawn");
}
