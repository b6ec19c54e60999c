// A one-line text drawn from kept pictures of its glyphs. The clock's glyphs are too large for the
// painter's own glyph cache, so drawText builds and fills their outline paths on every paint; in a round's
// last ten seconds the clock's text changes every 10 ms, yet it is made of a dozen glyphs in one font and a
// few colours. Each glyph is filled once per font, colour and sub-pixel place, exactly as drawText fills it
// there, and copied from then on; what lands on the screen is what drawText draws.
//
// Thread: user-interface thread (one cache per board).
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRawFont>
#include <QRect>
#include <QString>

#include <vector>

class QPainter;

class CGlyphPictureCache {
public:
    // A glyph of a laid-out line: its index in the font and its origin on the baseline, on the 1/64 pixel
    // grid the painter places glyphs on.
    struct Placed {
        quint32 index = 0;
        QPointF at;
        bool operator==(const Placed&) const = default;
    };
    // A text laid out in its rectangle. `glyphs` is empty when the text cannot be drawn glyph by glyph
    // (it is empty, or its face lacks some of its characters): Draw then hands it to drawText.
    struct Line {
        QFont font;
        QRect rect;
        int flags = 0;
        QString text;
        double advance = 0; // the line's width
        QRawFont face;
        std::vector<Placed> glyphs;
    };

    // The text laid out in `rect` as QPainter::drawText(rect, flags, text) lays out one line (flags: the
    // alignment and Qt::TextSingleLine).
    static Line Lay(const QFont& font, const QRect& rect, int flags, const QString& text);
    // Draws the line as QPainter::drawText(rect, flags, text) does with the colour as the pen, clipped to
    // the rectangle. A painter that scales or stands between whole pixels gets drawText itself.
    void Draw(QPainter& painter, const Line& line, const QColor& colour);
    // Where the picture of a line's glyph lands: what a repaint of it has to cover.
    QRect Bounds(const Line& line, const Placed& glyph, const QColor& colour);
    // The box the line's glyphs fill, within its rectangle.
    QRect Ink(const Line& line, const QColor& colour);
    // Pictures kept; never more than kKept.
    std::size_t Kept() const { return m_entries.size(); }
    static constexpr std::size_t kKept = 64;

private:
    struct Key {
        QRawFont face;
        quint32 index = 0;
        QRgb colour = 0;
        int phaseX = 0, phaseY = 0; // the origin's place within its pixel, in 1/64
        bool operator==(const Key&) const = default;
    };
    struct Entry {
        Key key;
        QImage picture;
        QPoint offset; // the picture's top left from the origin's whole pixel
        QRect ink;     // the glyph's own box, from the same pixel
    };
    // The glyph's whole pixel and the key of its picture.
    static Key KeyOf(const Line& line, const Placed& glyph, const QColor& colour, QPoint* pixel);
    const Entry& Find(const Key& key);

    std::vector<Entry> m_entries; // the most recently used last
};
