#include "match/RuleWndHandle.h"

std::atomic<HWND> g_hRuleWnd{0};
