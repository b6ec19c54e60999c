// Colours written as COLORREF (0x00BBGGRR) in the court program's tables, as Qt colours.
#pragma once

#include "platform/WinTypes.h"

#include <QColor>

inline QColor ColorFromRef(COLORREF colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}
