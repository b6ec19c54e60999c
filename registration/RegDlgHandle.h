// The registration dialogs as the rest of the program reaches them: the operator view keeps pointers to
// them, and threads and the view send them messages through the published window handle.
#pragma once

#include "platform/WinTypes.h"

#include <atomic>

class CTK_RegDlg;      // individual match registration
class CTK_RegDlg_Team; // team match registration

// The open registration dialog, 0 while none is open. Written on the UI thread by the dialog as it opens
// and closes; read by any thread that sends it UM_REG_* messages (a send to 0 or to a closed dialog does
// nothing and returns 0).
extern std::atomic<HWND> g_hRegDlg;
