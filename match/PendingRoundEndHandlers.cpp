// Handlers of the operator view that the end of a golden round calls and whose work arrives with the
// superiority and round-winner screens. Each only says on the debug output what reached it.
#include "app/MainWnd.h"

#include "platform/DebugOutput.h"

void CMainWnd::ShowSuperiorityScreen() {
    OutputDebugString("superiority screen: not done, no screen yet");
}
void CMainWnd::ShowRoundWinnerScreens(int side) {
    DebugPrintf("round-winner screens for side %d: not done, no screens yet", side);
}
void CMainWnd::CloseRoundEndScreens() {
    OutputDebugString("superiority and round-winner screens: nothing to close, none yet");
}
