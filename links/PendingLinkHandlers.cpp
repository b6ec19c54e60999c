// Steps of the links whose own part is not built yet: each does nothing and says so.
#include "app/MainWnd.h"

#include "links/LinkSettings.h"
#include "platform/DebugOutput.h"

void CMainWnd::ConnectTournamentDb() {
    OutputDebugString(
        "OVR link: the tournament results database connection is not available yet; not connected");
}

int RunWtApiConnectTest(std::u16string& reply) {
    reply.clear();
    OutputDebugString("WT JSON API: the status request is not available yet; not connected");
    return -1;
}
