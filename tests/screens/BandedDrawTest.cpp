// A picture drawn band by band shows exactly what one draw of it shows, under the many-rectangle clip of a
// repaint, at an offset, from a part of the picture, and scaled when the target is not its size.
#include "screens/BandedDraw.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A translucent picture whose every row and column differ, so a band drawn in the wrong place shows.
QImage Picture(int width, int height) {
    QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(
                x, y, qPremultiply(qRgba(x * 7 % 256, y * 3 % 256, (x + y) % 256, 64 + (y + x) % 192)));
    return picture;
}

// A repaint's region: a grid of tiles with gaps, as a burst of hits leaves one.
QRegion Scattered() {
    QRegion region;
    for (int y = 0; y < 400; y += 45)
        for (int x = 0; x < 300; x += 45)
            region += QRect(x, y, 41, 41);
    return region;
}

QImage Painted(const QRegion& clip, const std::function<void(QPainter&)>& draw) {
    QImage board(320, 420, QImage::Format_RGB32);
    board.fill(Qt::darkBlue);
    QPainter painter(&board);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setClipRegion(clip);
    draw(painter);
    painter.end();
    return board;
}

TEST(BandedDrawTest, ShowsWhatOneDrawShows) {
    const QImage picture = Picture(200, 333);
    struct Case {
        const char* name;
        QRegion clip;
        std::function<void(QPainter&)> banded, whole;
    };
    const Case cases[] = {
        {"whole picture, scattered clip", Scattered(),
         [&](QPainter& p) { DrawInBands(p, QPoint(13, 21), picture, picture.rect()); },
         [&](QPainter& p) { p.drawImage(QPoint(13, 21), picture); }},
        {"a part of it", Scattered(),
         [&](QPainter& p) { DrawInBands(p, QPoint(5, 9), picture, QRect(17, 40, 150, 250)); },
         [&](QPainter& p) { p.drawImage(QPoint(5, 9), picture, QRect(17, 40, 150, 250)); }},
        {"a target of its size", QRegion(0, 0, 320, 420),
         [&](QPainter& p) { DrawInBands(p, QRect(30, 40, 200, 333), picture); },
         [&](QPainter& p) { p.drawImage(QRect(30, 40, 200, 333), picture); }},
        {"a smaller target, scaled", Scattered(),
         [&](QPainter& p) { DrawInBands(p, QRect(30, 40, 100, 150), picture); },
         [&](QPainter& p) { p.drawImage(QRect(30, 40, 100, 150), picture); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Painted(c.clip, c.banded), Painted(c.clip, c.whole));
    }
}

} // namespace
