// Outlined texts of the screens drawn once into pictures and kept. Building the outline path of a 400-pixel
// digit costs far more than drawing a picture of it, and a screen shows the same texts over many repaints: a
// score stays for seconds, and a match shows hit levels of every value (0..255) in each of a few styles (the
// operator's last hits and level boxes, the scoreboard's level boxes), each of them again and again.
//
// Thread: user-interface thread (one cache per screen).
#pragma once

#include "controls/OutlineText.h"
#include "screens/OutlineCoverage.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QString>

#include <cstddef>
#include <list>
#include <unordered_map>
#include <utility>
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

    // The face an outlined text of the size is drawn in.
    static QFont Face(int size);
    // The text centred horizontally on at.x() with its top at at.y(), as the outline text draws it there.
    void Draw(QPainter& painter, const Style& style, QPointF at);
    // Where Draw puts the picture of the text: what a repaint of it has to cover.
    QRect Bounds(const Style& style, QPointF at);
    // Where the text lands: `at` moved by less than a pixel, so that its picture lands on whole pixels.
    QPointF Landing(const Style& style, QPointF at);
    // The text drawn whole by the outline text, stroking and filling its path, into a picture with room
    // around it, and the point of the picture that Draw puts on `at`: what a kept picture shows.
    static QImage WholePicture(const Style& style, QPointF* anchor);
    // Rasterises and keeps the strokes and fills of the text's glyphs where the text places them, without
    // a picture of the text: a number drawn later that has those glyphs in those places is composed of
    // them at once.
    void Prepare(const Style& style);
    // Makes one more canvas for the large pictures to come, as large as the largest text prepared, its
    // memory touched: false once there is one for every large picture kept and a spare or two. A canvas
    // first touched in a burst of scores cost a page fault for every 4 KB of it.
    bool PrepareCanvas();
    // Large canvases made since the cache was made, by PrepareCanvas or for a picture none fitted.
    std::size_t CanvasesMade() const { return m_canvasesMade; }
    // Pictures kept, and the bytes they take; never more than kKept pictures nor more than kMaxBytes (but for
    // a single picture larger than that).
    std::size_t Kept() const { return m_order.size(); }
    // The glyphs' strokes and fills kept, that pictures are composed of.
    std::size_t GlyphsKept() const { return m_coverage.Kept(); }
    std::size_t Bytes() const { return m_bytes; }
    // Every level of four styles: a level's picture at the operator's 20 to 24 pixels is about 5 KB, so these
    // take some 5 MB. Of the large pictures, the scoreboard's scores of 0.5 MB each, only the last few are
    // kept: a passed score seldom shows again.
    static constexpr std::size_t kKept = 1024;
    static constexpr std::size_t kMaxBytes = 24u << 20;
    static constexpr qsizetype kLargeBytes = 64 << 10;
    static constexpr std::size_t kKeptLarge = 8;
    static constexpr std::size_t kSpares = 2;

private:
    struct StyleHash {
        std::size_t operator()(const Style& style) const;
    };
    struct Entry {
        Style style;
        QImage picture; // the text in its top left `size`, on a canvas that may be larger
        QSize size;
        QPointF anchor; // the point of the picture that lands on `at`
    };
    using Order = std::list<Entry>; // the most recently used first
    const Entry& Find(const Style& style);
    void Drop(Order::iterator entry);
    QImage Canvas(QSize size);
    struct Layer {
        QPointF origin;
        int pen;
        QRgb colour;
        // Copies (sharing the pixels): a later glyph's coverage may push an earlier one out of the kept.
        std::vector<std::pair<COutlineCoverage::Coverage, QPoint>> glyphs;
        QRect area;
    };
    std::vector<Layer> Place(const Style& style, const QFont& font, const QFontMetricsF& metrics,
                             const QRect& padded, QPointF anchor);
    void DrawPicture(Entry& entry);
    bool Compose(const Style& style, const QFont& font, const QFontMetricsF& metrics, const QRect& padded,
                 Entry& entry);

    Order m_order;
    std::unordered_map<Style, Order::iterator, StyleHash> m_index;
    std::size_t m_bytes = 0;
    std::size_t m_large = 0; // kept pictures of kLargeBytes or more
    // Large canvases given up by pictures no longer kept or made ahead, for the next new texts: a fresh
    // canvas of 0.5 MB was a fresh run of pages for the kernel to fault in, in the middle of a burst of
    // points.
    std::vector<QImage> m_spares;
    QSize m_largestInk; // of the texts prepared: the size of the canvases made ahead
    std::size_t m_canvasesMade = 0;
    COutlineCoverage m_coverage;      // the glyphs' strokes and fills the pictures are composed of
    std::vector<quint16> m_layerSums; // a layer's coverages added up while a picture is composed
};
