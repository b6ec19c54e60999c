// Steps of the links whose own part is not built yet: each does nothing and says so.
#include "app/MainWnd.h"

#include "platform/DebugOutput.h"

void CMainWnd::ConnectTournamentDb() {
    OutputDebugString(
        "OVR link: the tournament results database connection is not available yet; not connected");
}
