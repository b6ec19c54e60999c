// The superiority window that the "Show" button shows and hides arrives with the public pop-ups; until then
// each step does nothing and says so.
#include "app/MainWnd.h"

#include "platform/DebugOutput.h"

void CMainWnd::ShowSuperiorityWindow(const QRect& rect, int mode) {
    DebugPrintf("superiority window at %d,%d-%d,%d (mode %d): not shown, the window is not available yet",
                rect.left(), rect.top(), rect.right(), rect.bottom(), mode);
}

void CMainWnd::HideSuperiorityWindow() {
    OutputDebugString("superiority window: nothing to hide, the window is not available yet");
}
