// What the screen tests share: writing texts into the match record's fixed fields, and a window whose
// repaint requests are recorded.
#pragma once

#include "platform/WinTypes.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <algorithm>
#include <cmath>
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

// The contrast ratio of two colours, from their relative luminance as the accessibility guidelines define
// them: 1 for equal colours, 21 for black and white.
inline double Contrast(QColor a, QColor b) {
    const auto luminance = [](QColor c) {
        const auto channel = [](double v) {
            v /= 255.0;
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
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
