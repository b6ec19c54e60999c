// The replay dialog's opener until the dialog exists: it only says on the debug output what reached it.
#include "app/MainWnd.h"

#include "platform/DebugOutput.h"

bool CMainWnd::OpenReplayDialog(int requester) {
    DebugPrintf("video-replay dialog for requester %d", requester);
    return true;
}
