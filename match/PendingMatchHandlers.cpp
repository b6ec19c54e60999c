// Handlers of the operator view that the points call and whose work arrives with the parts of the match
// engine not built yet: the golden-round winner screen. Each only says on the debug output what reached it.
#include "app/MainWnd.h"

#include "platform/DebugOutput.h"

void CMainWnd::ShowGoldenRoundWinnerScreen(int criterion) {
    DebugPrintf("golden-round winner screen, criterion %d: not done, no screen yet", criterion);
}
