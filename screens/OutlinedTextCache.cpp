#include "screens/OutlinedTextCache.h"

#include "app/DisplayFont.h"

#include <QFont>
#include <QFontMetricsF>
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

const COutlinedTextCache::Entry& COutlinedTextCache::Find(const Style& style) {
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&](const Entry& entry) { return entry.style == style; });
    if (it != m_entries.end()) {
        std::rotate(it, it + 1, m_entries.end());
        return m_entries.back();
    }
    if (m_entries.size() >= kKept)
        m_entries.erase(m_entries.begin());
    Entry entry{style, {}, {}};
    entry.picture = DrawPicture(style, &entry.anchor);
    m_entries.push_back(std::move(entry));
    return m_entries.back();
}

QRect COutlinedTextCache::Bounds(const Style& style, QPointF at) {
    if (style.text.isEmpty())
        return {};
    const Entry& entry = Find(style);
    return QRect((at - entry.anchor).toPoint(), entry.picture.size());
}

void COutlinedTextCache::Draw(QPainter& painter, const Style& style, QPointF at) {
    if (style.text.isEmpty())
        return;
    const Entry& entry = Find(style);
    // On whole pixels: a picture between pixels would be resampled, blurred and slow.
    painter.drawImage((at - entry.anchor).toPoint(), entry.picture);
}
