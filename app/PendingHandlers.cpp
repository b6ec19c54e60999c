// Handlers of the operator view whose work arrives with the parts of the match engine not built yet. Each
// only says on the debug output what reached it.

#include "app/MainWnd.h"

#include "platform/DebugOutput.h"

// message hub

void CMainWnd::ShowRoundWinnerPopup(int winner, int criterion) {
    DebugPrintf("round-winner pop-up: winner %d, criterion %d: not done, no pop-up yet", winner, criterion);
}
void CMainWnd::CloseRoundWinnerPopup() {
    OutputDebugString("round-winner pop-up: nothing to close, no pop-up yet");
}
