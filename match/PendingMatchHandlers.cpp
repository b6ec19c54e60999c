// Handlers of the operator view that the points call and whose work arrives with the parts of the match
// engine not built yet: the winner screens and the equipment-test screens. Each only says on the debug
// output what reached it.
#include "app/MainWnd.h"

#include "platform/DebugOutput.h"

#include <string>

void CMainWnd::OpenDecisionPopup(int kind, int side, int left, int top, int right, int bottom) {
    DebugPrintf("decision pop-up, kind %d, side %d at %d,%d-%d,%d", kind, side, left, top, right, bottom);
}
void CMainWnd::CloseWinnerScreens() {
    OutputDebugString("winner screens closed");
}
void CMainWnd::ShowWinnerScreens(bool publicScreen, bool operatorScreen) {
    DebugPrintf("winner screens: public %d, operator %d", publicScreen, operatorScreen);
}
void CMainWnd::ShowGoldenRoundWinnerScreen(int criterion) {
    DebugPrintf("golden-round winner screen, criterion %d", criterion);
}
void CMainWnd::UpdateTestScreens(int tile, std::string_view text) {
    DebugPrintf("equipment test tile %d: %s", tile, std::string(text).c_str());
}
