// The coverage of one glyph's outline, stroked with a round-joined pen or filled, rasterised once per face,
// glyph, pen width and place within the pixel, and kept. An outlined number is its glyphs' strokes and fills
// laid over each other; a new number (the scoreboard shows every score from 0 up, and every hit level) is
// then composed from coverages of glyphs already shown instead of stroking the whole text's path again,
// which took a 400-pixel score some milliseconds.
//
// Thread: user-interface thread (one per outlined-text cache).
#pragma once

#include <QImage>
#include <QPoint>
#include <QRawFont>

#include <cstddef>
#include <list>
#include <unordered_map>

class COutlineCoverage {
public:
    // A glyph of a face placed with its origin `phaseX`/64, `phaseY`/64 of a pixel right of and below a
    // whole pixel; `pen` 0 is its fill, more the width of the round-joined pen that strokes it.
    struct Key {
        QRawFont face;
        quint32 index = 0;
        int phaseX = 0, phaseY = 0;
        int pen = 0;
        bool operator==(const Key&) const = default;
    };
    // What the painter's antialiased rasteriser covers of each pixel (0..255, Format_Alpha8), its top left
    // `offset` from the whole pixel; null when the glyph covers nothing.
    struct Coverage {
        QImage alpha;
        QPoint offset;
    };

    const Coverage& Find(const Key& key);
    std::size_t Kept() const { return m_order.size(); }
    std::size_t Bytes() const { return m_bytes; }
    // The ten digits of a board's four number styles, in the three places and two pens each takes, are
    // about 6 MB.
    static constexpr std::size_t kMaxBytes = 16u << 20;

private:
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    struct Entry {
        Key key;
        Coverage coverage;
    };
    using Order = std::list<Entry>; // the most recently used first

    Order m_order;
    std::unordered_map<Key, Order::iterator, KeyHash> m_index;
    std::size_t m_bytes = 0;
};
