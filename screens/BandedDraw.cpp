#include "screens/BandedDraw.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace {

// Qt splits a draw into segments of 64 spans, the first two once there are 96: a band of 64 rows stays
// whole.
constexpr int kBand = 64;

} // namespace

void DrawInBands(QPainter& painter, QPoint at, const QImage& image, QRect source) {
    if (source.isEmpty())
        source = image.rect();
    for (int y = 0; y < source.height(); y += kBand)
        painter.drawImage(
            at + QPoint(0, y), image,
            QRect(source.x(), source.y() + y, source.width(), std::min(kBand, source.height() - y)));
}

void DrawInBands(QPainter& painter, const QRect& target, const QImage& image) {
    if (target.size() == image.size())
        DrawInBands(painter, target.topLeft(), image);
    else
        painter.drawImage(target, image);
}
