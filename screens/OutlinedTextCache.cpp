#include "screens/OutlinedTextCache.h"

#include "app/DisplayFont.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHashFunctions>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

QImage DrawPicture(const COutlinedTextCache::Style& style, QPointF* anchor) {
    QFont font(QString::fromLatin1(kDisplayFace));
    font.setPixelSize(std::max(1, style.size));
    font.setBold(true);
    const QFontMetricsF metrics(font);
    // Room for the glyphs' overhang, the outline and the shadow on every side.
    const double pad = style.size / 4.0 + style.thickness + style.shadowThickness + std::abs(style.shadowDx) +
                       std::abs(style.shadowDy) + 4;
    const double width = metrics.horizontalAdvance(style.text);
    QImage picture(static_cast<int>(std::ceil(width + 2 * pad)),
                   static_cast<int>(std::ceil(metrics.height() + 2 * pad)),
                   QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    *anchor = QPointF(pad + width / 2, pad);
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
                        style.text, *anchor, centred);
    return picture;
}

} // namespace

std::size_t COutlinedTextCache::StyleHash::operator()(const Style& style) const {
    return qHashMulti(0, style.text, style.size, style.fill, style.outline, style.thickness, style.shadow,
                      style.shadowColour, style.shadowThickness, style.shadowDx, style.shadowDy);
}

const COutlinedTextCache::Entry& COutlinedTextCache::Find(const Style& style) {
    if (const auto it = m_index.find(style); it != m_index.end()) {
        m_order.splice(m_order.begin(), m_order, it->second);
        return *it->second;
    }
    Entry entry{style, {}, {}};
    entry.picture = DrawPicture(style, &entry.anchor);
    const auto bytes = static_cast<std::size_t>(entry.picture.sizeInBytes());
    while (!m_order.empty() && (m_order.size() >= kKept || m_bytes + bytes > kMaxBytes)) {
        m_bytes -= static_cast<std::size_t>(m_order.back().picture.sizeInBytes());
        m_index.erase(m_order.back().style);
        m_order.pop_back();
    }
    m_order.push_front(std::move(entry));
    m_index.emplace(style, m_order.begin());
    m_bytes += bytes;
    return m_order.front();
}

QRect COutlinedTextCache::Bounds(const Style& style, QPointF at) {
    if (style.text.isEmpty())
        return {};
    const Entry& entry = Find(style);
    return QRect((at - entry.anchor).toPoint(), entry.picture.size());
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
    painter.drawImage((at - entry.anchor).toPoint(), entry.picture);
}
