#include "screens/GlyphPictureCache.h"

#include "screens/BandedDraw.h"

#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

// The painter places glyphs on a grid of 1/64 pixel, cutting a place off toward zero (not rounding): a
// glyph put 1/64 apart from where drawText puts it fills its edge pixels visibly differently.
constexpr int kGrid = 64;

double OnGrid(double v) {
    return std::trunc(v * kGrid) / kGrid;
}

// Whether the painter draws the widget's pixels one to one, at most moved by whole pixels.
bool WholePixels(const QPainter& painter) {
    const QTransform t = painter.deviceTransform();
    return t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx()) &&
           t.dy() == std::floor(t.dy());
}

} // namespace

CGlyphPictureCache::Line CGlyphPictureCache::Lay(const QFont& font, const QRect& rect, int flags,
                                                 const QString& text) {
    Line line{font, rect, flags, text, 0, {}, {}};
    if (text.isEmpty())
        return line;
    // One line placed as the painter's drawText places it: the line's own advance and height aligned in
    // the rectangle, the origin then put on the glyph grid.
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine row = layout.createLine();
    if (!row.isValid()) {
        layout.endLayout();
        return line;
    }
    row.setLineWidth(0x01000000);
    row.setPosition(QPointF(0, 0));
    layout.endLayout();
    const double height = row.ascent() + row.descent();
    const double advance = line.advance = row.horizontalAdvance();
    double x = 0;
    if (flags & Qt::AlignRight)
        x = rect.width() - advance;
    else if (flags & Qt::AlignHCenter)
        x = (rect.width() - advance) / 2;
    double y = 0;
    if (flags & Qt::AlignBottom)
        y = rect.height() - height;
    else if (flags & Qt::AlignVCenter)
        y = (rect.height() - height) / 2;
    const QPointF origin(OnGrid(rect.x() + x), OnGrid(rect.y() + y));
    for (const QGlyphRun& run : row.glyphRuns()) {
        // A line of one face is one run; a text the face lacks glyphs for takes drawText's way.
        if (!line.glyphs.empty() && !(run.rawFont() == line.face)) {
            line.glyphs.clear();
            return line;
        }
        line.face = run.rawFont();
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i)
            line.glyphs.push_back({indexes[i], origin + positions[i]});
    }
    return line;
}

CGlyphPictureCache::Key CGlyphPictureCache::KeyOf(const Line& line, const Placed& glyph, const QColor& colour,
                                                  QPoint* pixel) {
    const auto x = static_cast<long long>(std::llround(glyph.at.x() * kGrid));
    const auto y = static_cast<long long>(std::llround(glyph.at.y() * kGrid));
    const long long px = static_cast<long long>(std::floor(static_cast<double>(x) / kGrid));
    const long long py = static_cast<long long>(std::floor(static_cast<double>(y) / kGrid));
    *pixel = QPoint(static_cast<int>(px), static_cast<int>(py));
    return {line.face, glyph.index, colour.rgba(), static_cast<int>(x - px * kGrid),
            static_cast<int>(y - py * kGrid)};
}

const CGlyphPictureCache::Entry& CGlyphPictureCache::Find(const Key& key) {
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&](const Entry& entry) { return entry.key == key; });
    if (it != m_entries.end()) {
        std::rotate(it, it + 1, m_entries.end());
        return m_entries.back();
    }
    if (m_entries.size() >= kKept)
        m_entries.erase(m_entries.begin());
    Entry entry{key, {}, {}, {}};
    const QPointF phase(static_cast<double>(key.phaseX) / kGrid, static_cast<double>(key.phaseY) / kGrid);
    const QRectF ink = key.face.pathForGlyph(key.index).boundingRect().translated(phase);
    if (!ink.isEmpty()) {
        entry.ink = ink.toAlignedRect();
        // Room for the antialiased edge on every side.
        const QRect pixels = entry.ink.adjusted(-2, -2, 2, 2);
        entry.offset = pixels.topLeft();
        entry.picture = QImage(pixels.size(), QImage::Format_ARGB32_Premultiplied);
        entry.picture.fill(Qt::transparent);
        QPainter p(&entry.picture);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        p.setPen(QColor::fromRgba(key.colour));
        QGlyphRun run;
        run.setRawFont(key.face);
        run.setGlyphIndexes({key.index});
        run.setPositions({QPointF(0, 0)});
        p.drawGlyphRun(phase - QPointF(pixels.topLeft()), run);
    }
    m_entries.push_back(std::move(entry));
    return m_entries.back();
}

QRect CGlyphPictureCache::Bounds(const Line& line, const Placed& glyph, const QColor& colour) {
    QPoint pixel;
    const Entry& entry = Find(KeyOf(line, glyph, colour, &pixel));
    return entry.picture.isNull() ? QRect() : QRect(pixel + entry.offset, entry.picture.size());
}

QRect CGlyphPictureCache::Ink(const Line& line, const QColor& colour) {
    QRect ink;
    for (const Placed& glyph : line.glyphs) {
        QPoint pixel;
        ink |= Find(KeyOf(line, glyph, colour, &pixel)).ink.translated(pixel);
    }
    return ink & line.rect;
}

void CGlyphPictureCache::Draw(QPainter& painter, const Line& line, const QColor& colour) {
    if (!WholePixels(painter) || (line.glyphs.empty() && !line.text.isEmpty())) {
        painter.save();
        painter.setFont(line.font);
        painter.setPen(colour);
        painter.drawText(line.rect, line.flags, line.text);
        painter.restore();
        return;
    }
    // Copied one to one: smoothing would only send the copy down the painter's slow, resampling path.
    const bool smooth = painter.testRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (const Placed& glyph : line.glyphs) {
        QPoint pixel;
        const Entry& entry = Find(KeyOf(line, glyph, colour, &pixel));
        const QRect picture(pixel + entry.offset, entry.picture.size());
        // drawText keeps to its rectangle.
        const QRect shown = picture & line.rect;
        if (!entry.picture.isNull() && !shown.isEmpty())
            DrawInBands(painter, shown.topLeft(), entry.picture, shown.translated(-picture.topLeft()));
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
}
