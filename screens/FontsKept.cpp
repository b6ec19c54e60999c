#include "screens/FontsKept.h"

#include <QWidget>

#include <algorithm>

void CFontsKept::Keep(const QFont& font, const QPaintDevice* device) {
    QFont resolved = font;
    if (device && device->devType() == QInternal::Widget)
        resolved = font.resolve(static_cast<const QWidget*>(device)->font());
    const int dpi = device ? device->logicalDpiY() : 0;
    if (std::ranges::any_of(m_kept,
                            [&](const Kept& kept) { return kept.dpi == dpi && kept.font == resolved; }))
        return;
    QFontMetricsF loaded = device ? QFontMetricsF(resolved, device) : QFontMetricsF(resolved);
    // The engines for digits and for letters: a painter's text asks for both.
    loaded.horizontalAdvance(QStringLiteral("0:Aa"));
    m_kept.push_back({resolved, dpi, loaded});
}

void CFontsKept::Clear() {
    m_kept.clear();
}
