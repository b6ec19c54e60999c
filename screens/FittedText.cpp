#include "screens/FittedText.h"

#include <QFontMetricsF>

#include <algorithm>

FittedText FitText(const QString& text, const QFont& font, int width, int floorPixels) {
    QFont fitted = font;
    int size = font.pixelSize() > 0 ? font.pixelSize() : 1;
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
