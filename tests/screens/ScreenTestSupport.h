// What the screen tests share: writing texts into the match record's fixed fields, and a window whose
// repaint requests are recorded.
#pragma once

#include "platform/WinTypes.h"
#include "tests/support/TextContrast.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

// A narrow text into a record field, cut to the field and always terminated.
template <std::size_t N> void Put(char (&field)[N], const char* text) {
    std::strncpy(field, text, N - 1);
    field[N - 1] = '\0';
}

// A wide text into a nation-table field.
inline void PutWide(WCHAR (&field)[260], const QString& text) {
    const std::u16string value = text.toStdU16String();
    std::copy(value.begin(), value.end(), field);
    field[value.size()] = u'\0';
}

// A window (the operator view, the public scoreboard) with every repaint it asks for recorded.
template <class Window> class RecordingRepaints : public Window {
public:
    void InvalidateArea(const QRect& rect) override {
        invalidated.push_back(rect);
        Window::InvalidateArea(rect);
    }
    // Whether a recorded repaint covers the rectangle.
    bool Invalidated(const QRect& rect) const {
        for (const QRect& r : invalidated)
            if (r.contains(rect))
                return true;
        return false;
    }
    std::vector<QRect> invalidated;
};
