// Outlined texts of the public scoreboard drawn once into pictures and kept. Building the outline path of a
// 400-pixel digit costs far more than drawing a picture of it, and the board shows the same few texts over
// many repaints (a score stays for seconds, a level for the match).
//
// Thread: user-interface thread (one cache per board).
#pragma once

#include "controls/OutlineText.h"

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QString>

#include <vector>

class COutlinedTextCache {
public:
    // How a text is drawn: the display face in bold at `size` pixels, filled and outlined, with or without
    // a shadow at an offset.
    struct Style {
        QString text;
        int size = 0;
        TextOutline::Argb fill = 0xFFFFFFFF, outline = 0xFF000000;
        int thickness = 0;
        bool shadow = false;
        TextOutline::Argb shadowColour = 0;
        int shadowThickness = 0, shadowDx = 0, shadowDy = 0;
        bool operator==(const Style&) const = default;
    };

    // The text centred horizontally on at.x() with its top at at.y(), as the outline text draws it there.
    void Draw(QPainter& painter, const Style& style, QPointF at);
    // Where Draw puts the picture of the text: what a repaint of it has to cover.
    QRect Bounds(const Style& style, QPointF at);
    // Pictures kept; never more than kKept.
    std::size_t Kept() const { return m_entries.size(); }
    static constexpr std::size_t kKept = 48;

private:
    struct Entry {
        Style style;
        QImage picture;
        QPointF anchor; // the point of the picture that lands on `at`
    };
    const Entry& Find(const Style& style);

    std::vector<Entry> m_entries; // the most recently used last
};
