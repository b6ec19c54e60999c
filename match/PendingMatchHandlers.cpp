// Handlers of the operator view that the points call and whose work arrives with the parts of the match
// engine not built yet: the golden-round winner screen and the equipment-test screens. Each only says on
// the debug output what reached it.
#include "app/MainWnd.h"

#include "platform/DebugOutput.h"

#include <string>

void CMainWnd::ShowGoldenRoundWinnerScreen(int criterion) {
    DebugPrintf("golden-round winner screen, criterion %d", criterion);
}
void CMainWnd::UpdateTestScreens(int tile, std::string_view text) {
    DebugPrintf("equipment test tile %d: %s", tile, std::string(text).c_str());
}
