#include "screens/FittedText.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace {

int StartSize(const QFont& font) {
    return font.pixelSize() > 0 ? font.pixelSize() : 1;
}

// Whether the glyphs drawn in the box keep the margin on every side. Drawn, not measured: a line's
// height and its glyphs' extent depend on the fallback faces the letters take.
bool InkInside(const QString& text, const QFont& font, QSize box, int flags, int margin) {
    QImage canvas(box, QImage::Format_Alpha8);
    canvas.fill(0);
    {
        QPainter painter(&canvas);
        painter.setFont(font);
        painter.drawText(QRect(QPoint(0, 0), box), flags, text);
    }
    const int width = box.width(), height = box.height();
    for (int y = 0; y < height; ++y) {
        const uchar* row = canvas.constScanLine(y);
        const bool edgeRow = y < margin || y >= height - margin;
        for (int x = 0; x < width; ++x)
            if (row[x] != 0 && (edgeRow || x < margin || x >= width - margin))
                return false;
    }
    return true;
}

} // namespace

FittedText FitText(const QString& text, const QFont& font, int width, int floorPixels) {
    QFont fitted = font;
    int size = StartSize(font);
    const int floor = std::min(size, std::max(1, floorPixels));
    for (;;) {
        fitted.setPixelSize(size);
        if (QFontMetricsF(fitted).horizontalAdvance(text) <= width || size <= floor)
            break;
        --size;
    }
    const QFontMetricsF metrics(fitted);
    if (metrics.horizontalAdvance(text) <= width)
        return {fitted, text};
    return {fitted, metrics.elidedText(text, Qt::ElideRight, width)};
}

FittedText FitTextInBox(const QString& text, const QFont& font, QSize box, int flags, int floorPixels,
                        int margin) {
    margin = std::max(0, margin);
    const int width = box.width() - 2 * margin;
    if (text.isEmpty() || width <= 0 || box.height() <= 2 * margin)
        return {font, text};
    QFont fitted = font;
    const int start = StartSize(font);
    const int floor = std::min(start, std::max(1, floorPixels));
    for (int size = start; size >= floor; --size) {
        fitted.setPixelSize(size);
        // The advance rules out most sizes before anything is drawn.
        if (QFontMetricsF(fitted).horizontalAdvance(text) <= width &&
            InkInside(text, fitted, box, flags, margin))
            return {fitted, text};
    }
    fitted.setPixelSize(floor);
    return {fitted, QFontMetricsF(fitted).elidedText(text, Qt::ElideRight, width)};
}
