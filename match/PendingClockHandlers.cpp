// A handler of the operator view that the match flow calls and whose work arrives with the judge-slot queue,
// not built yet. It only says on the debug output what reached it.
#include "app/MainWnd.h"

#include "platform/DebugOutput.h"

void CMainWnd::CompactJudgeSlots(int side) {
    DebugPrintf("judge slots of side %d compacted", side);
}
