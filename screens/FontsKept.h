// Fonts a screen paints with, kept loaded. Qt's font cache lets go, every ten seconds, of each font no QFont
// object holds loaded, down to the fonts in use: a font the screens draw with only now and then (a judge's
// mark, a hit's level, a board text) was looked up among the system's fonts and loaded again at its next
// paint, a millisecond or more of the UI thread at the first hits of every round. A font kept here stays
// loaded for the device it is kept for, as a painter on that device or a text layout asks for it.
//
// Thread: user-interface thread.
#pragma once

#include <QFont>
#include <QFontMetricsF>

#include <vector>

class QPaintDevice;

class CFontsKept {
public:
    // The font as a painter on `device` draws with it (a widget's painter completes it from the widget's
    // font), or as a text layout without a device does.
    void Keep(const QFont& font, const QPaintDevice* device = nullptr);
    void Clear();

private:
    struct Kept {
        QFont font;
        int dpi;
        QFontMetricsF loaded; // holds the font's engines
    };
    std::vector<Kept> m_kept;
};
