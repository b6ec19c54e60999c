// Handlers of the operator view that the points call and whose work arrives with the parts of the match
// engine not built yet: the round clock, the winner dialogs, the round result dialog, the
// judges' slot queue, the equipment-test screens and the wired judge devices. Each only says on the debug
// output what reached it.
#include "app/MainWnd.h"

#include "platform/DebugOutput.h"

#include <string>

// Until the winner selection dialog exists nobody can confirm a decision: it answers Cancel, so nothing is
// recorded or announced.
int CMainWnd::ChooseWinner(int side, int proposedKind) {
    DebugPrintf("winner selection for side %d, proposed decision %d: no dialog yet, not decided", side,
                proposedKind);
    return IDCANCEL;
}
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
void CMainWnd::ShowRoundResultDialog(int roundIndex, int winner, int reason) {
    DebugPrintf("round result dialog for round index %d, winner %d, reason %d", roundIndex, winner, reason);
}
void CMainWnd::QueueScoredPoint(int side, int kind, int source, int value) {
    DebugPrintf("slot queue: side %d, kind %d, source %d, value %d", side, kind, source, value);
}
void CMainWnd::SetJudgeMarks(int side, int slot, int value) {
    DebugPrintf("judge marks of side %d, slot %d: %d", side, slot, value);
}
void CMainWnd::ClearJudgeMarks(int side, int slot) {
    DebugPrintf("judge marks of side %d, slot %d cleared", side, slot);
}
void CMainWnd::MarkSlotScored(int side, int kind) {
    DebugPrintf("slot of side %d scored, kind %d", side, kind);
}
void CMainWnd::ClearSlot(int side, int slot) {
    DebugPrintf("slot %d of side %d emptied", slot, side);
}
void CMainWnd::ResetSlotCursors(int side) {
    DebugPrintf("slot cursors of side %d reset", side);
}
void CMainWnd::StepBackSlotCursors(int side, int kind) {
    DebugPrintf("slot cursors of side %d stepped back, kind %d", side, kind);
}
void CMainWnd::UpdateTestScreens(int tile, std::string_view text) {
    DebugPrintf("equipment test tile %d: %s", tile, std::string(text).c_str());
}
void CMainWnd::NotifyWiredJudges(int side) {
    DebugPrintf("wired judges told side %d scored", side);
}
