// Handlers of the operator view that the end of a golden round calls and whose work arrives with the
// superiority and round-winner screens. Each only says on the debug output what reached it.
#include "app/MainWnd.h"

#include "platform/DebugOutput.h"

void CMainWnd::ShowSuperiorityScreen() {
    OutputDebugString("superiority screen");
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
