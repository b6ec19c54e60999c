// A handler that the new-match set-up calls and whose part is not built yet. It only says on the debug
// output what reached it.

#include "app/MainWnd.h"

#include "platform/DebugOutput.h"

void CMainWnd::ResetMatchScreen() {
    OutputDebugString("match screen reset for a new match");
}
