// Handlers of the operator view whose work arrives with the parts of the match engine not built yet. Each
// only says on the debug output what reached it.

#include "app/MainWnd.h"

#include "platform/DebugOutput.h"

// message hub

void CMainWnd::OnJudgeInput(int judge, const char* text, int*) {
    DebugPrintf("judge %d press: \"%s\"", judge + 1, text);
}
void CMainWnd::OnJudgeInputType2(int judge, const char* text, int*) {
    DebugPrintf("judge %d press (judge-driven match): \"%s\"", judge + 1, text);
}
void CMainWnd::OnClickedEquipmentTest() {
    OutputDebugString("equipment test closed with OK");
}
void CMainWnd::UpdateCourtReceiver() {
    OutputDebugString("court receiver for the tournament database");
}
void CMainWnd::ShowRoundWinnerPopup(int winner, int criterion) {
    DebugPrintf("round-winner pop-up: winner %d, criterion %d", winner, criterion);
}
void CMainWnd::CloseRoundWinnerPopup() {
    OutputDebugString("round-winner pop-up closed");
}
void CMainWnd::ResetPublicEquipmentTest() {
    OutputDebugString("public equipment-test screen reset");
}

// timers

void CMainWnd::OnTechWindowA(int side, int force) {
    DebugPrintf("technique window A tick, side %d, force %d", side, force);
}
void CMainWnd::OnTechWindowB(int side, int force) {
    DebugPrintf("technique window B tick, side %d, force %d", side, force);
}
void CMainWnd::OnTechWindowC(int side, int force) {
    DebugPrintf("technique window C tick, side %d, force %d", side, force);
}
void CMainWnd::OnTechWindowD(int side, int force) {
    DebugPrintf("technique window D tick, side %d, force %d", side, force);
}
