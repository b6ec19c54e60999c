#include "controls/MyStaticPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

// The characters a number, a count or a clock is made of.
constexpr char16_t kComposable[16] = {u'0', u'1', u'2', u'3', u'4', u'5', u'6', u'7',
                                      u'8', u'9', u' ', u':', u'.', u'-', u'+', u'/'};

int SlotOf(QChar c) {
    for (int slot = 0; slot < 16; ++slot)
        if (c.unicode() == kComposable[slot])
            return slot;
    return -1;
}

// The painter places a line's origin on a grid of 1/64 pixel, cutting toward zero.
double OnGrid(double v) {
    return std::trunc(v * 64) / 64;
}

// A text shaped on one line as drawText shapes a line that does not wrap.
struct Shaped {
    QList<QGlyphRun> runs;
    double ascent = 0, descent = 0, natural = 0;
};
Shaped Shape(const QFont& font, const QString& text) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine row = layout.createLine();
    Shaped shaped;
    if (row.isValid()) {
        row.setLineWidth(0x01000000);
        row.setPosition(QPointF(0, 0));
    }
    layout.endLayout();
    if (row.isValid()) {
        shaped.runs = row.glyphRuns();
        shaped.ascent = row.ascent();
        shaped.descent = row.descent();
        shaped.natural = row.naturalTextWidth();
    }
    return shaped;
}

} // namespace

bool CStaticPictures::Keepable(const Look& look) {
    return look.font.pixelSize() > 0 && !look.size.isEmpty();
}

void CStaticPictures::DrawDirect(QPainter& painter, const Look& look) {
    const QRect rect(QPoint(0, 0), look.size);
    painter.fillRect(rect, QColor(look.fill));
    painter.setFont(look.font);
    // The text is drawn opaque: its own cells take the text background colour. Mostly that is the fill
    // colour, and laying the text out once more to find its cells would double the cost.
    if (!look.text.isEmpty() && look.textBack != look.fill)
        painter.fillRect(painter.boundingRect(rect, look.flags, look.text), QColor(look.textBack));
    painter.setPen(QColor(look.textColour));
    painter.drawText(rect, look.flags, look.text);
}

std::size_t CStaticPictures::LookHash::operator()(const Look& look) const {
    return qHashMulti(0, look.text, look.font, look.flags, look.size.width(), look.size.height(), look.fill,
                      look.textBack, look.textColour);
}

CStaticPictures& CStaticPictures::Shared() {
    static CStaticPictures pictures;
    return pictures;
}

CStaticPictures::Face& CStaticPictures::FaceOf(const QFont& font) {
    // The screens use a few fonts; one that shows a font per text does not fill memory.
    if (m_faces.size() >= 64 && !m_faces.contains(font))
        m_faces.clear();
    return m_faces[font];
}

bool CStaticPictures::LearnGlyph(Face& face, const QFont& font, int slot) {
    Face::Glyph& glyph = face.glyphs[slot];
    if (glyph.known != 0)
        return glyph.known > 0;
    glyph.known = -1;
    const Shaped shaped = Shape(font, QString(QChar(kComposable[slot])));
    if (shaped.runs.size() != 1 || shaped.runs[0].glyphIndexes().size() != 1)
        return false;
    const QGlyphRun& run = shaped.runs[0];
    if (!face.raw.isValid()) {
        face.raw = run.rawFont();
        face.ascent = shaped.ascent;
        face.descent = shaped.descent;
    } else if (!(run.rawFont() == face.raw) || shaped.ascent != face.ascent ||
               shaped.descent != face.descent) {
        return false; // another face (a fallback) or another line height: drawText lays it out
    }
    glyph.index = run.glyphIndexes()[0];
    glyph.offset = run.positions()[0];
    glyph.advance = shaped.natural;
    glyph.known = 1;
    return true;
}

bool CStaticPictures::LearnPair(Face& face, const QFont& font, int first, int second) {
    signed char& pair = face.pairs[first][second];
    if (pair != 0)
        return pair > 0;
    pair = -1;
    const Face::Glyph& a = face.glyphs[first];
    const Face::Glyph& b = face.glyphs[second];
    const QChar text[2] = {QChar(kComposable[first]), QChar(kComposable[second])};
    const Shaped shaped = Shape(font, QString(text, 2));
    if (shaped.runs.size() != 1 || !(shaped.runs[0].rawFont() == face.raw))
        return false;
    const QList<quint32> indexes = shaped.runs[0].glyphIndexes();
    const QList<QPointF> positions = shaped.runs[0].positions();
    // Kerned, joined or substituted pairs are shaped with every text that holds them.
    if (indexes != QList<quint32>{a.index, b.index} || positions.size() != 2 || positions[0] != a.offset ||
        positions[1] != QPointF(a.advance + b.offset.x(), b.offset.y()) || shaped.ascent != face.ascent ||
        shaped.descent != face.descent)
        return false;
    // A line's width leaves out its trailing spaces; a composed text never ends in one.
    if (kComposable[second] != u' ' && shaped.natural != a.advance + b.advance)
        return false;
    pair = 1;
    return true;
}

std::optional<QGlyphRun> CStaticPictures::Composed(const Look& look) {
    const QString& text = look.text;
    if (text.isEmpty() || text.size() > 32 || text.back() == u' ' || (look.flags & Qt::TextWordWrap))
        return std::nullopt;
    Face& face = FaceOf(look.font);
    int previous = -1;
    QList<quint32> indexes;
    QList<QPointF> positions;
    double x = 0;
    for (const QChar c : text) {
        const int slot = SlotOf(c);
        if (slot < 0 || !LearnGlyph(face, look.font, slot))
            return std::nullopt;
        if (previous >= 0 && !LearnPair(face, look.font, previous, slot))
            return std::nullopt;
        const Face::Glyph& glyph = face.glyphs[slot];
        indexes.push_back(glyph.index);
        positions.push_back(QPointF(x + glyph.offset.x(), glyph.offset.y()));
        x += glyph.advance;
        previous = slot;
    }
    // Placed as drawText places one line: its width and height aligned in the rectangle, the origin then
    // put on the glyph grid.
    const double width = x;
    const double height = face.ascent + face.descent;
    double left = 0;
    if (look.flags & Qt::AlignRight)
        left = look.size.width() - width;
    else if (look.flags & Qt::AlignHCenter)
        left = (look.size.width() - width) / 2;
    double top = 0;
    if (look.flags & Qt::AlignBottom)
        top = look.size.height() - height;
    else if (look.flags & Qt::AlignVCenter)
        top = (look.size.height() - height) / 2;
    const QPointF origin(OnGrid(left), OnGrid(top));
    for (QPointF& at : positions)
        at += origin;
    QGlyphRun run;
    run.setRawFont(face.raw);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    return run;
}

const QImage& CStaticPictures::Picture(const Look& look) {
    if (const auto it = m_index.find(look); it != m_index.end()) {
        m_order.splice(m_order.begin(), m_order, it->second);
        return it->second->picture;
    }
    QImage picture(look.size, QImage::Format_RGB32);
    {
        QPainter painter(&picture);
        DrawDirect(painter, look);
    }
    const auto bytes = static_cast<std::size_t>(picture.sizeInBytes());
    while (!m_order.empty() && m_bytes + bytes > kMaxBytes) {
        m_bytes -= static_cast<std::size_t>(m_order.back().picture.sizeInBytes());
        m_index.erase(m_order.back().look);
        m_order.pop_back();
    }
    m_order.push_front(Entry{look, std::move(picture)});
    m_index.emplace(look, m_order.begin());
    m_bytes += bytes;
    return m_order.front().picture;
}

std::size_t CStaticPictures::TileKeyHash::operator()(const TileKey& key) const {
    return qHashMulti(0, key.face, key.index, key.colour, key.back, key.phaseX, key.phaseY);
}

const CStaticPictures::Tile& CStaticPictures::TileOf(const TileKey& key) {
    if (const auto it = m_tileIndex.find(key); it != m_tileIndex.end()) {
        m_tileOrder.splice(m_tileOrder.begin(), m_tileOrder, it->second);
        return *it->second;
    }
    Tile tile{key, {}, {}};
    const QPointF phase(key.phaseX / 64.0, key.phaseY / 64.0);
    // The outline's control points bound every pixel its fill touches.
    const QRect ink = key.face.pathForGlyph(key.index).controlPointRect().translated(phase).toAlignedRect();
    if (!ink.isEmpty()) {
        // Filled with room around it (a fill cut by the picture's edge rounds its last pixels otherwise),
        // then kept to its box.
        const QRect room = ink.adjusted(-2, -2, 2, 2);
        QImage filled(room.size(), QImage::Format_RGB32);
        filled.fill(QColor(key.back));
        {
            QPainter painter(&filled);
            painter.setPen(QColor(key.colour));
            QGlyphRun run;
            run.setRawFont(key.face);
            run.setGlyphIndexes({key.index});
            run.setPositions({phase - QPointF(room.topLeft())});
            painter.drawGlyphRun(QPointF(0, 0), run);
        }
        tile.offset = ink.topLeft();
        tile.picture = filled.copy(ink.translated(-room.topLeft()));
    }
    if (m_tileOrder.size() >= kGlyphsKept) {
        m_tileIndex.erase(m_tileOrder.back().key);
        m_tileOrder.pop_back();
    }
    m_tileOrder.push_front(std::move(tile));
    m_tileIndex.emplace(key, m_tileOrder.begin());
    return m_tileOrder.front();
}

bool CStaticPictures::DrawTiles(QPainter& painter, const Look& look, const QGlyphRun& run) {
    const QList<quint32> indexes = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    std::vector<std::pair<QRect, const QImage*>> placed;
    placed.reserve(static_cast<std::size_t>(indexes.size()));
    for (qsizetype i = 0; i < indexes.size(); ++i) {
        // The composed places lie on the 1/64 grid already.
        const long long x = std::llround(positions[i].x() * 64), y = std::llround(positions[i].y() * 64);
        const long long px = x >= 0 ? x / 64 : -((-x + 63) / 64), py = y >= 0 ? y / 64 : -((-y + 63) / 64);
        const TileKey key{run.rawFont(),
                          indexes[i],
                          look.textColour,
                          look.fill,
                          static_cast<int>(x - px * 64),
                          static_cast<int>(y - py * 64)};
        const Tile& tile = TileOf(key);
        if (tile.picture.isNull())
            continue;
        const QRect at(QPoint(static_cast<int>(px), static_cast<int>(py)) + tile.offset, tile.picture.size());
        // A box copied over another glyph's would wipe its edge: such a text is filled whole.
        for (const auto& [other, picture] : placed)
            if (other.intersects(at))
                return false;
        placed.emplace_back(at, &tile.picture);
    }
    for (const auto& [at, picture] : placed)
        painter.drawImage(at.topLeft(), *picture);
    return true;
}

bool CStaticPictures::SeenBefore(const Look& look) {
    const std::size_t hash = LookHash()(look);
    if (m_seen.contains(hash))
        return true;
    if (m_seenOrder.size() >= kSeenKept) {
        m_seen.erase(m_seenOrder.front());
        m_seenOrder.pop_front();
    }
    m_seen.insert(hash);
    m_seenOrder.push_back(hash);
    return false;
}

void CStaticPictures::Paint(QPainter& painter, const Look& look) {
    const std::optional<QGlyphRun> run = look.textBack == look.fill ? Composed(look) : std::nullopt;
    if (!run) {
        // A look shown once (a tenth of the clock in a round's last seconds) is drawn as it comes; one shown
        // again is kept.
        if (m_index.contains(look) || SeenBefore(look))
            painter.drawImage(QPoint(0, 0), Picture(look));
        else
            DrawDirect(painter, look);
        return;
    }
    // In strips Qt fills on this thread: one of more than 96 lines was handed to its painting threads and
    // waited for.
    for (int y = 0; y < look.size.height(); y += 64)
        painter.fillRect(QRect(0, y, look.size.width(), std::min(64, look.size.height() - y)),
                         QColor(look.fill));
    const bool large = look.font.pixelSize() > kLargeGlyph &&
                       !(look.font.styleStrategy() & QFont::NoAntialias) &&
                       painter.testRenderHint(QPainter::TextAntialiasing);
    // A composed run has at most 32 glyphs, far fewer than the glyphs kept: none it places is dropped
    // while the others are looked up.
    if (large && DrawTiles(painter, look, *run))
        return;
    painter.setFont(look.font);
    painter.setPen(QColor(look.textColour));
    painter.drawGlyphRun(QPointF(0, 0), *run);
}
