#include "registration/RegDlgHandle.h"

std::atomic<HWND> g_hRegDlg{0};
