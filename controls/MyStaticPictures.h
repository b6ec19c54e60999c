// Pictures of the text statics, kept per look. A static's paint was a fill of its whole rectangle (split over
// Qt's painting threads once it passes 96 lines) and a drawText that shaped its text again with every paint;
// a score, a count or a cell of the round grid is mostly a number the screen has shown before. Each look
// (text, font, format, size and colours) is drawn once, exactly as the fill and drawText draw it, and copied
// from then on. A number the screen has not shown yet is placed from its characters' own advances, once each
// pair of them was found to be placed by the shaper as their advances say, so it is not shaped either.
//
// Thread: user-interface thread only.
#pragma once

#include <QColor>
#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QRawFont>
#include <QSize>
#include <QString>

#include <cstddef>
#include <list>
#include <optional>
#include <unordered_map>

class QPainter;

class CStaticPictures {
public:
    // What a static shows: the whole of it in the fill colour, the text's own cells in the text background
    // colour, the text in the text colour, laid out in its rectangle by the Qt alignment and text flags.
    struct Look {
        QString text;
        QFont font; // resolved: every attribute set
        int flags = 0;
        QSize size;
        QRgb fill = 0, textBack = 0, textColour = 0;
        bool operator==(const Look&) const = default;
    };

    // Whether a look can be kept as a picture: a font sized in pixels (a picture has no screen to take a
    // point size's resolution from) and a size of at least one pixel.
    static bool Keepable(const Look& look);
    // The look drawn on a painter whose origin is the static's top left, as the static always drew itself.
    static void DrawDirect(QPainter& painter, const Look& look);
    // The kept picture of a keepable look, drawn first if it is not kept yet.
    const QImage& Picture(const Look& look);

    // The glyphs of a one-line text placed in its rectangle as drawText places them, made from the
    // characters' advances; none when the text has a character or a pair not known to compose.
    std::optional<QGlyphRun> Composed(const Look& look);

    std::size_t Bytes() const { return m_bytes; }
    std::size_t Kept() const { return m_order.size(); }
    // What the pictures may take: a 1280 x 720 screen's statics several times over (a score 100 KB, a cell
    // of the round grid 2 KB, a name panel 130 KB).
    static constexpr std::size_t kMaxBytes = 8u << 20;

    static CStaticPictures& Shared();

private:
    struct LookHash {
        std::size_t operator()(const Look& look) const;
    };
    struct Entry {
        Look look;
        QImage picture;
    };
    using Order = std::list<Entry>; // the most recently used first

    // A font's characters that compose: each one's glyph, offset and advance, and which pairs the shaper
    // places side by side at their advances.
    struct Face {
        QRawFont raw;
        double ascent = 0, descent = 0;
        struct Glyph {
            int known = 0; // 0 not looked at, 1 composes, -1 does not
            quint32 index = 0;
            QPointF offset;
            double advance = 0;
        };
        Glyph glyphs[16];
        signed char pairs[16][16] = {}; // 0 not looked at, 1 composes, -1 does not
    };
    Face& FaceOf(const QFont& font);
    static bool LearnGlyph(Face& face, const QFont& font, int slot);
    static bool LearnPair(Face& face, const QFont& font, int first, int second);

    std::unordered_map<Look, Order::iterator, LookHash> m_index;
    Order m_order;
    std::size_t m_bytes = 0;
    QHash<QFont, Face> m_faces; // a handful: the screens' fonts
};
