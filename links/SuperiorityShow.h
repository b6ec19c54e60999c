// Where the operator's "Show" button (1053) puts the golden-round superiority window: a rectangle inside the
// public screen area of the second monitor, by the public screen's layout. Pure; any thread.
#pragma once

#include <QRect>

struct MatchData;

// Left, top, right and bottom as the window is created with them.
QRect SuperiorityWindowRect(const MatchData& md);
