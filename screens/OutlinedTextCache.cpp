#include "screens/OutlinedTextCache.h"

#include "app/DisplayFont.h"
#include "screens/BandedDraw.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHashFunctions>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace {

// The whole text's path stroked and filled by the outline text.
void DrawWhole(QImage& picture, const COutlinedTextCache::Style& style, QPointF anchor) {
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    TextOutline::OutlineText outlined;
    outlined.SelectOutline(style.fill, style.outline, style.thickness);
    if (style.shadow) {
        outlined.SetShadow(style.shadowColour, style.shadowThickness, style.shadowDx, style.shadowDy);
        outlined.EnableShadow(true);
    }
    TextOutline::StringFormat centred;
    centred.horizontal = Qt::AlignHCenter;
    outlined.DrawString(p, QString::fromLatin1(kDisplayFace), TextOutline::FontStyleBold, style.size,
                        style.text, anchor, centred);
}

// The text's glyphs as a text path places them: shaped with the font's design metrics, the line's start
// cut to the 1/64 pixel grid toward zero. Places are in 1/64 pixel from the line's start; empty when the
// text is not one line of one face.
struct Shaped {
    QRawFont face;
    std::vector<std::pair<quint32, QPoint>> glyphs;
};

Shaped Shape(const QFont& font, const QString& text) {
    Shaped shaped;
    if (text.contains(u'\n') || text.contains(u'\r'))
        return shaped;
    QTextLayout layout(text, font);
    QTextOption option = layout.textOption();
    option.setUseDesignMetrics(true);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return shaped;
    const QList<QGlyphRun> runs = line.glyphRuns();
    if (runs.size() != 1)
        return shaped;
    shaped.face = runs[0].rawFont();
    const QList<quint32> indexes = runs[0].glyphIndexes();
    const QList<QPointF> positions = runs[0].positions();
    for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i) {
        if (indexes[i] == 0) { // a character the face lacks
            shaped.glyphs.clear();
            return shaped;
        }
        shaped.glyphs.emplace_back(
            indexes[i], QPoint(static_cast<int>(std::lround(positions[i].x() * 64)),
                               static_cast<int>(std::lround((positions[i].y() - line.ascent()) * 64))));
    }
    return shaped;
}

// Each channel of x times a / 255, rounded as the painter's blends round it.
quint32 Scaled(quint32 x, uint a) {
    constexpr quint64 kChannels = 0x00FF00FF00FF00FFull;
    quint64 t = ((quint64{x} | (quint64{x} << 24)) & kChannels) * a;
    t = ((t + ((t >> 8) & kChannels) + 0x0080008000800080ull) >> 8) & kChannels;
    return static_cast<quint32>(t) | static_cast<quint32>(t >> 24);
}

// One layer of glyphs of one colour (the shadow's strokes, the outline's strokes or the fills): their
// coverages added up pixel by pixel, as the rasteriser adds up the areas of the subpaths of the one text
// path that fall in a pixel, then the colour blended over the picture through the sum as the rasteriser's
// solid fill blends it. Strokes fill by winding, so a pixel two glyphs cover fully stays covered; fills
// fold by odd-even, so there it would be a hole.
class LayerCoverage {
public:
    // The sums go into `scratch`, kept by the caller from one text to the next: a fresh buffer for each
    // score was a fresh run of pages for the kernel to fault in.
    LayerCoverage(const QRect& area, std::vector<quint16>& scratch) : m_area(area), m_sum(scratch) {
        m_sum.assign(static_cast<std::size_t>(area.width()) * static_cast<std::size_t>(area.height()), 0);
    }

    void Add(const COutlineCoverage::Coverage& coverage, QPoint at) {
        const QRect shared = QRect(at, coverage.alpha.size()) & m_area;
        for (int y = shared.top(); y <= shared.bottom(); ++y) {
            const uchar* from = coverage.alpha.constScanLine(y - at.y()) - at.x();
            quint16* to = Row(y) - m_area.left();
            for (int x = shared.left(); x <= shared.right(); ++x)
                to[x] = static_cast<quint16>(to[x] + from[x]);
        }
    }

    void Blend(QImage& picture, QRgb colour, bool oddEven) const {
        const quint32 premultiplied = qPremultiply(colour);
        for (int y = m_area.top(); y <= m_area.bottom(); ++y) {
            const quint16* from = Row(y) - m_area.left();
            auto* to = reinterpret_cast<quint32*>(picture.scanLine(y));
            for (int x = m_area.left(); x <= m_area.right(); ++x) {
                const uint sum = from[x];
                const uint a = sum <= 255 ? sum : !oddEven ? 255 : sum < 510 ? 510 - sum : 0;
                if (a == 0)
                    continue;
                const quint32 c = a == 255 ? premultiplied : Scaled(premultiplied, a);
                to[x] = c + Scaled(to[x], qAlpha(~c));
            }
        }
    }

private:
    quint16* Row(int y) { return m_sum.data() + static_cast<std::size_t>(y - m_area.top()) * m_area.width(); }
    const quint16* Row(int y) const {
        return m_sum.data() + static_cast<std::size_t>(y - m_area.top()) * m_area.width();
    }

    QRect m_area;
    std::vector<quint16>& m_sum;
};

} // namespace

// The layers of the text's glyphs in the order the outline text draws them (the shadow's strokes, the
// outline's strokes, the fills), each glyph's coverage placed as in the padded picture the whole text is
// drawn into. Empty when the text is not one line of one face.
std::vector<COutlinedTextCache::Layer> COutlinedTextCache::Place(const Style& style, const QFont& font,
                                                                 const QFontMetricsF& metrics,
                                                                 const QRect& padded, QPointF anchor) {
    std::vector<Layer> layers;
    const Shaped shaped = Shape(font, style.text);
    if (shaped.glyphs.empty())
        return layers;
    const double width = metrics.horizontalAdvance(style.text);
    // The shadow's fill is transparent, and a pen of width 0 strokes nothing.
    if (style.shadow && style.shadowThickness > 0 && qAlpha(style.shadowColour) != 0)
        layers.push_back({anchor + QPointF(style.shadowDx, style.shadowDy),
                          style.shadowThickness,
                          style.shadowColour,
                          {},
                          {}});
    if (style.thickness > 0 && qAlpha(style.outline) != 0)
        layers.push_back({anchor, style.thickness, style.outline, {}, {}});
    if (qAlpha(style.fill) != 0)
        layers.push_back({anchor, 0, style.fill, {}, {}});
    for (Layer& layer : layers) {
        // Where the outline text starts the centred line, on the painter's 1/64 grid.
        const double x = layer.origin.x() + (0 - width) / 2;
        const double y = layer.origin.y() + metrics.ascent();
        const QPoint start(static_cast<int>(x * 64), static_cast<int>(y * 64));
        for (const auto& [index, place] : shaped.glyphs) {
            const QPoint at = start + place;
            const int px = at.x() >> 6, py = at.y() >> 6; // the whole pixel (floor) and the place within
            const COutlineCoverage::Coverage& coverage =
                m_coverage.Find({shaped.face, index, at.x() - px * 64, at.y() - py * 64, layer.pen});
            if (coverage.alpha.isNull())
                continue;
            layer.glyphs.emplace_back(coverage, QPoint(px, py) + coverage.offset);
            layer.area |= QRect(layer.glyphs.back().second, coverage.alpha.size());
        }
        layer.area &= padded;
    }
    return layers;
}

// The text composed from its glyphs' kept coverages, then cut to what they cover: a smaller picture is
// quicker to make and to draw at every repaint. False when it cannot be (it is then drawn whole).
bool COutlinedTextCache::Compose(const Style& style, const QFont& font, const QFontMetricsF& metrics,
                                 const QRect& padded, Entry& entry) {
    const std::vector<Layer> layers = Place(style, font, metrics, padded, entry.anchor);
    if (layers.empty())
        return false;
    QRect ink;
    for (const Layer& layer : layers)
        ink |= layer.area;
    entry.size = ink.size();
    entry.picture = Canvas(entry.size);
    for (const Layer& layer : layers) {
        LayerCoverage sum(layer.area.translated(-ink.topLeft()), m_layerSums);
        for (const auto& [coverage, at] : layer.glyphs)
            sum.Add(coverage, at - ink.topLeft());
        sum.Blend(entry.picture, layer.colour, layer.pen == 0);
    }
    entry.anchor -= QPointF(ink.topLeft());
    return true;
}

namespace {

constexpr int kCanvasStep = 64;

QSize RoundedUp(QSize size) {
    return {(size.width() + kCanvasStep - 1) / kCanvasStep * kCanvasStep,
            (size.height() + kCanvasStep - 1) / kCanvasStep * kCanvasStep};
}

bool IsLarge(QSize canvas) {
    return qint64{canvas.width()} * canvas.height() * 4 >= COutlinedTextCache::kLargeBytes;
}

bool Fits(const QImage& canvas, QSize size) {
    return canvas.width() >= size.width() && canvas.height() >= size.height();
}

} // namespace

// A transparent picture of at least `size`. A large one is the smallest spare that fits, else a new one of
// the largest size prepared, so that it can serve the texts after it; a small one is new, rounded up.
QImage COutlinedTextCache::Canvas(QSize size) {
    const QSize rounded = RoundedUp(size);
    QImage canvas;
    if (IsLarge(rounded)) {
        auto best = m_spares.end();
        for (auto spare = m_spares.begin(); spare != m_spares.end(); ++spare)
            if (Fits(*spare, size) && (best == m_spares.end() || spare->sizeInBytes() < best->sizeInBytes()))
                best = spare;
        if (best != m_spares.end()) {
            canvas = std::move(*best);
            m_spares.erase(best);
        } else {
            canvas = QImage(rounded.expandedTo(m_largestInk), QImage::Format_ARGB32_Premultiplied);
            ++m_canvasesMade;
        }
    } else {
        canvas = QImage(rounded, QImage::Format_ARGB32_Premultiplied);
    }
    const auto rowBytes = static_cast<std::size_t>(size.width()) * 4;
    for (int y = 0; y < size.height(); ++y)
        std::memset(canvas.scanLine(y), 0, rowBytes);
    return canvas;
}

namespace {

// The picture the whole text is drawn into: room for the glyphs' overhang, the outline and the shadow on
// every side, and where the anchor stands in it.
QRect PaddedFrame(const COutlinedTextCache::Style& style, const QFontMetricsF& metrics, QPointF* anchor) {
    const double pad = style.size / 4.0 + style.thickness + style.shadowThickness + std::abs(style.shadowDx) +
                       std::abs(style.shadowDy) + 4;
    const double width = metrics.horizontalAdvance(style.text);
    *anchor = QPointF(pad + width / 2, pad);
    return QRect(0, 0, static_cast<int>(std::ceil(width + 2 * pad)),
                 static_cast<int>(std::ceil(metrics.height() + 2 * pad)));
}

} // namespace

QFont COutlinedTextCache::Face(int size) {
    QFont font(QString::fromLatin1(kDisplayFace));
    font.setPixelSize(std::max(1, size));
    font.setBold(true);
    return font;
}

QImage COutlinedTextCache::WholePicture(const Style& style, QPointF* anchor) {
    const QFont font = Face(style.size);
    QImage picture(PaddedFrame(style, QFontMetricsF(font), anchor).size(),
                   QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    DrawWhole(picture, style, *anchor);
    return picture;
}

void COutlinedTextCache::Prepare(const Style& style) {
    if (style.text.isEmpty())
        return;
    const QFont font = Face(style.size);
    const QFontMetricsF metrics(font);
    QPointF anchor;
    const QRect padded = PaddedFrame(style, metrics, &anchor);
    QRect ink;
    for (const Layer& layer : Place(style, font, metrics, padded, anchor))
        ink |= layer.area;
    if (IsLarge(RoundedUp(ink.size())))
        m_largestInk = m_largestInk.expandedTo(RoundedUp(ink.size()));
}

bool COutlinedTextCache::PrepareCanvas() {
    if (m_largestInk.isEmpty())
        return false;
    // A canvas made before a larger text was prepared does not count: it goes when its picture goes.
    std::size_t ready = 0;
    for (const QImage& spare : m_spares)
        ready += Fits(spare, m_largestInk);
    for (const Entry& entry : m_order)
        ready += Fits(entry.picture, m_largestInk);
    if (ready >= kKeptLarge + kSpares)
        return false;
    QImage canvas(m_largestInk, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    m_spares.push_back(std::move(canvas));
    ++m_canvasesMade;
    return true;
}

void COutlinedTextCache::DrawPicture(Entry& entry) {
    const QFont font = Face(entry.style.size);
    const QFontMetricsF metrics(font);
    const QRect padded = PaddedFrame(entry.style, metrics, &entry.anchor);
    if (Compose(entry.style, font, metrics, padded, entry))
        return;
    entry.picture = WholePicture(entry.style, &entry.anchor);
    entry.size = entry.picture.size();
}

std::size_t COutlinedTextCache::StyleHash::operator()(const Style& style) const {
    return qHashMulti(0, style.text, style.size, style.fill, style.outline, style.thickness, style.shadow,
                      style.shadowColour, style.shadowThickness, style.shadowDx, style.shadowDy);
}

const COutlinedTextCache::Entry& COutlinedTextCache::Find(const Style& style) {
    if (const auto it = m_index.find(style); it != m_index.end()) {
        m_order.splice(m_order.begin(), m_order, it->second);
        return *it->second;
    }
    Entry entry{style, {}, {}, {}};
    DrawPicture(entry);
    const qsizetype bytes = entry.picture.sizeInBytes();
    while (!m_order.empty() &&
           (m_order.size() >= kKept || m_bytes + static_cast<std::size_t>(bytes) > kMaxBytes))
        Drop(std::prev(m_order.end()));
    if (bytes >= kLargeBytes) {
        for (auto it = m_order.end(); m_large >= kKeptLarge && it != m_order.begin();) {
            --it;
            if (it->picture.sizeInBytes() >= kLargeBytes)
                Drop(it++);
        }
        ++m_large;
    }
    m_order.push_front(std::move(entry));
    m_index.emplace(style, m_order.begin());
    m_bytes += static_cast<std::size_t>(bytes);
    return m_order.front();
}

void COutlinedTextCache::Drop(Order::iterator entry) {
    const qsizetype bytes = entry->picture.sizeInBytes();
    m_bytes -= static_cast<std::size_t>(bytes);
    if (bytes >= kLargeBytes) {
        --m_large;
        // Its canvas serves a later text, but for one smaller than a text prepared since.
        if (Fits(entry->picture, m_largestInk) && m_spares.size() < kKeptLarge + kSpares)
            m_spares.push_back(std::move(entry->picture));
    }
    m_index.erase(entry->style);
    m_order.erase(entry);
}

QRect COutlinedTextCache::Bounds(const Style& style, QPointF at) {
    if (style.text.isEmpty())
        return {};
    const Entry& entry = Find(style);
    return QRect((at - entry.anchor).toPoint(), entry.size);
}

QPointF COutlinedTextCache::Landing(const Style& style, QPointF at) {
    if (style.text.isEmpty())
        return at;
    const Entry& entry = Find(style);
    return QPointF((at - entry.anchor).toPoint()) + entry.anchor;
}

void COutlinedTextCache::Draw(QPainter& painter, const Style& style, QPointF at) {
    if (style.text.isEmpty())
        return;
    const Entry& entry = Find(style);
    // On whole pixels: a picture between pixels would be resampled, blurred and slow.
    DrawInBands(painter, (at - entry.anchor).toPoint(), entry.picture, QRect(QPoint(0, 0), entry.size));
}
