#include "screens/BandedDraw.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace {

// Qt cuts a draw of many rows into segments of 64 and hands all but one to its threads (the level boxes'
// 102 rows were handed over): a band of 64 rows stays on the calling thread.
constexpr int kBand = 64;

} // namespace

void DrawInBands(QPainter& painter, QPoint at, const QImage& image, const QRect& source) {
    for (int y = 0; y < source.height(); y += kBand)
        painter.drawImage(
            at + QPoint(0, y), image,
            QRect(source.x(), source.y() + y, source.width(), std::min(kBand, source.height() - y)));
}

void DrawInBands(QPainter& painter, const QRect& target, const QImage& image) {
    if (target.size() == image.size())
        DrawInBands(painter, target.topLeft(), image, image.rect());
    else
        painter.drawImage(target, image);
}
