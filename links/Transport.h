// The one door to the outside links: every sender hands its bytes here with the link's transport type
// (0 serial, 1 TCP, 2 UDP) and its handle. The transports themselves come later; until then no handle
// exists, so nothing is ever sent. UI thread only.
#pragma once

#include "platform/WinTypes.h"

// Sends length bytes on the link. FALSE when nothing went out: a null link, an unknown type, no bytes.
BOOL CommSend(int commType, void* link, const char* bytes, int length);
// Closes the link and frees its objects; the handle must not be used again. A null link does nothing.
void CommClose(int commType, void* link);
