// A handler of the operator view that the keyboard shortcuts call and whose work arrives with the equipment
// test. It only says on the debug output what reached it.
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "platform/DebugOutput.h"

// Answers from the state until the equipment test brings its notice.
bool CMainWnd::CheckEquipmentTestMode() {
    OutputDebugString("equipment test check");
    return g_pMatchData && g_pMatchData->nGameState == 13;
}
