// The Rule page of the configuration dialog as the receive thread reaches it: the page publishes its
// window handle while it exists, and the receiver's start-up reply (UM_LINK_READY) goes there first.
#pragma once

#include "platform/WinTypes.h"

#include <atomic>

// The open Rule page, 0 while none exists. Written on the UI thread by the page as it is made and
// destroyed; read by any thread (a send to 0 or to a destroyed page does nothing and returns 0).
extern std::atomic<HWND> g_hRuleWnd;
