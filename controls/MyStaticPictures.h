// How the text statics paint without laying out and filling their text again. A static's paint was a fill
// of its whole rectangle (split over Qt's painting threads once it passes 96 lines) and a drawText that
// shaped its text and, for a score's 100-pixel digits, built and filled the glyphs' outline paths: 0.4 ms of
// the UI thread for each hit. Now:
// - A number, a count or a clock is placed from its characters' own advances, once each pair of them was
//   found to be placed by the shaper as their advances say (a kerned pair is shaped with every text).
// - A large glyph is filled once per colour, background and sub-pixel place over the static's fill and
//   copied from then on, where its box meets no other glyph's; a small one comes from the painter's own
//   glyph cache.
// - Any other text (a name, a caption, a kerned number) shown a second time is drawn into a picture of the
//   whole static and copied from then on.
// Every pixel is the one the fill and drawText give.
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
#include <deque>
#include <list>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

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

    // Whether a look is painted by Paint: a font sized in pixels (a picture has no screen to take a point
    // size's resolution from) and a size of at least one pixel.
    static bool Keepable(const Look& look);
    // A keepable look on a painter whose origin is the static's top left and that draws one pixel per pixel.
    void Paint(QPainter& painter, const Look& look);
    // The look drawn as the static always drew itself: for a scaled painter, and the reference of the rest.
    static void DrawDirect(QPainter& painter, const Look& look);

    // The glyphs of a one-line text placed in its rectangle as drawText places them, made from the
    // characters' advances; none when the text has a character or a pair not known to compose.
    std::optional<QGlyphRun> Composed(const Look& look);

    // Pictures of whole statics kept and the bytes they take; the glyphs kept.
    std::size_t Bytes() const { return m_bytes; }
    std::size_t Kept() const { return m_order.size(); }
    std::size_t GlyphsKept() const { return m_tileOrder.size(); }
    // What the pictures of whole statics may take: a 1280 x 720 screen's names and captions several times
    // over (a name panel 130 KB, a caption 20 KB).
    static constexpr std::size_t kMaxBytes = 8u << 20;
    // Glyphs of the scores' size are some 20 KB each: ten digits in a few colours and places.
    static constexpr std::size_t kGlyphsKept = 512;
    // From this size on drawText fills each glyph's outline path instead of copying it from its cache.
    static constexpr int kLargeGlyph = 64;

    static CStaticPictures& Shared();

private:
    // The kept picture of a look, drawn first if it is not kept yet.
    const QImage& Picture(const Look& look);
    // Draws the composed glyphs over the fill from kept glyph pictures; false (nothing drawn) when two
    // glyphs' boxes meet.
    bool DrawTiles(QPainter& painter, const Look& look, const QGlyphRun& run);

    struct LookHash {
        std::size_t operator()(const Look& look) const;
    };
    struct Entry {
        Look look;
        QImage picture;
    };
    using Order = std::list<Entry>; // the most recently used first

    // A glyph filled over a background: its box from the origin's whole pixel.
    struct TileKey {
        QRawFont face;
        quint32 index = 0;
        QRgb colour = 0, back = 0;
        int phaseX = 0, phaseY = 0; // the origin's place within its pixel, in 1/64
        bool operator==(const TileKey&) const = default;
    };
    struct TileKeyHash {
        std::size_t operator()(const TileKey& key) const;
    };
    struct Tile {
        TileKey key;
        QImage picture; // opaque; null for a glyph without ink
        QPoint offset;
    };
    using TileOrder = std::list<Tile>;
    const Tile& TileOf(const TileKey& key);

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

    // Whether the look was painted before (by its hash, among the last kSeenKept), noting it if not.
    bool SeenBefore(const Look& look);
    static constexpr std::size_t kSeenKept = 256;

    std::unordered_map<Look, Order::iterator, LookHash> m_index;
    std::unordered_set<std::size_t> m_seen;
    std::deque<std::size_t> m_seenOrder; // the oldest first
    Order m_order;
    std::size_t m_bytes = 0;
    std::unordered_map<TileKey, TileOrder::iterator, TileKeyHash> m_tileIndex;
    TileOrder m_tileOrder;
    QHash<QFont, Face> m_faces; // a handful: the screens' fonts
};
