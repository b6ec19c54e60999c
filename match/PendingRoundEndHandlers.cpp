// Handlers of the operator view that the end of a golden round calls and whose work arrives with the
// superiority and round-winner screens and the winner selection dialog. Each only says on the debug output
// what reached it; the selection answers Cancel, so no decision is recorded that nobody confirmed.
#include "app/MainWnd.h"

#include "platform/DebugOutput.h"

void CMainWnd::ShowSuperiorityScreen() {
    OutputDebugString("superiority screen");
}
bool CMainWnd::ConfirmRoundEndWinner(int side, int decision) {
    DebugPrintf("winner selection for side %d, decision %d: no dialog yet, cancelled", side, decision);
    return false;
}
void CMainWnd::ShowRoundWinnerScreens(int side) {
    DebugPrintf("round-winner screens for side %d", side);
}
void CMainWnd::CloseRoundEndScreens() {
    OutputDebugString("superiority and round-winner screens closed");
}
void CMainWnd::RecordConfirmedDecision() {
    OutputDebugString("confirmed decision recorded and announced");
}
