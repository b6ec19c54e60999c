#include "links/Transport.h"

#include "platform/DebugOutput.h"

BOOL CommSend(int commType, void* link, const char* bytes, int length) {
    if (!link || !bytes || length <= 0)
        return FALSE;
    // No transport can have handed out a handle yet, so a non-null one is not ours to write to.
    DebugPrintf("CommSend: transport %d is not available yet; %d bytes dropped", commType, length);
    return FALSE;
}

void CommClose(int commType, void* link) {
    if (!link)
        return;
    DebugPrintf("CommClose: transport %d is not available yet", commType);
}
