// Handlers of the operator view that the keyboard shortcuts call and whose work arrives with the gam-jeom
// buttons and the equipment test. Each only says on the debug output what reached it.
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "platform/DebugOutput.h"

void CMainWnd::OnClickedAddChungGamJeom() {
    OutputDebugString("gam-jeom against Chung");
}
void CMainWnd::OnClickedAddHongGamJeom() {
    OutputDebugString("gam-jeom against Hong");
}
// Answers from the state until the equipment test brings its notice.
bool CMainWnd::CheckEquipmentTestMode() {
    OutputDebugString("equipment test check");
    return g_pMatchData && g_pMatchData->nGameState == 13;
}
