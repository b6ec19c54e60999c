// The scoreboard clock's text drawn from kept glyph pictures: on the screen it must be what drawText draws,
// in every font, colour, alignment and place, and a picture kept for one of them never stands in for
// another.
#include "app/DisplayFont.h"
#include "screens/GlyphPictureCache.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace {

constexpr QRgb kBack = 0xFF101010;

// How far two images are apart: the largest difference of one colour channel, where it is, and how many
// pixels differ by more than one level.
struct Apartness {
    int most = 0;
    QPoint at;
    int pixels = 0;
};
Apartness Apart(const QImage& a, const QImage& b) {
    Apartness apart;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            apart.pixels += d > 1 ? 1 : 0;
            if (d > apart.most) {
                apart.most = d;
                apart.at = QPoint(x, y);
            }
        }
    }
    return apart;
}

// The same text on the same pixels: a copied picture may round a few edge pixels of a coloured text a
// level or two apart from a fill straight onto the board, while a glyph misplaced by 1/64 pixel moves
// hundreds of edge pixels.
void ExpectAlike(const QImage& expected, const QImage& shown) {
    const Apartness apart = Apart(expected, shown);
    EXPECT_LE(apart.most, 4) << "at " << apart.at.x() << "," << apart.at.y();
    EXPECT_LE(apart.pixels, 16) << "pixels apart";
}

int InkPixels(const QImage& image) {
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ink += image.pixel(x, y) != kBack ? 1 : 0;
    }
    return ink;
}

// A board-like painter: the widget's hints, a background, then the text drawn one way or the other.
QImage Painted(QSize size, QPointF shift, const std::function<void(QPainter&)>& draw) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(kBack);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.translate(shift);
    draw(p);
    return image;
}

TEST(ScoreboardClockGlyphsTest, TheKeptGlyphsShowWhatDrawTextDraws) {
    struct Case {
        const char* what;
        int pixels;
        const char* text;
        QRect rect;
        int flags;
        QRgb colour;
        QPointF shift;
    };
    const int centred = Qt::AlignCenter | Qt::TextSingleLine;
    const Case cases[] = {
        {"the 1920 clock, whole seconds", 190, "1:59", {745, 512, 422, 190}, centred, 0xFFFFFFFF, {}},
        {"the 1920 clock, hundredths", 190, "9.87", {741, 508, 430, 208}, centred, 0xFFFFFF00, {}},
        {"the 1920 clock in the last 5 s", 190, "5.49", {741, 508, 430, 208}, centred, 0xFF000000, {}},
        {"the 1280 clock", 130, "0:05", {493, 330, 294, 170}, centred, 0xFFFFFFFF, {}},
        {"a rectangle of odd width (half-pixel centre)",
         130,
         "7.31",
         {10, 11, 291, 171},
         centred,
         0xFFFF0000,
         {}},
        {"left and top", 60, "R1 12", {3, 4, 300, 90}, Qt::AlignLeft | Qt::AlignTop, 0xFFFFFFFF, {}},
        {"right and bottom", 60, "10.00", {3, 4, 300, 90}, Qt::AlignRight | Qt::AlignBottom, 0xFFFFFFFF, {}},
        {"clipped to a rectangle smaller than the text",
         190,
         "8:88",
         {100, 60, 200, 80},
         centred,
         0xFFFFFFFF,
         {}},
        {"a painter moved by whole pixels",
         190,
         "2:00",
         {745, 512, 422, 190},
         centred,
         0xFFFFFFFF,
         {-700, -480}},
        {"a painter moved between pixels draws as drawText does",
         190,
         "4.56",
         {745, 512, 422, 190},
         centred,
         0xFFFFFFFF,
         {-700.3, -480.6}},
    };
    CGlyphPictureCache glyphs;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QFont font = DisplayFont(c.pixels);
        const QString text = QString::fromLatin1(c.text);
        const QColor colour = QColor::fromRgba(c.colour);
        const QSize size(1200, 800);
        const QImage expected = Painted(size, c.shift, [&](QPainter& p) {
            p.setFont(font);
            p.setPen(colour);
            p.drawText(c.rect, c.flags, text);
        });
        // Twice: the first draw fills the pictures, the second only copies them.
        for (int pass = 0; pass < 2; ++pass) {
            const QImage shown = Painted(size, c.shift, [&](QPainter& p) {
                glyphs.Draw(p, CGlyphPictureCache::Lay(font, c.rect, c.flags, text), colour);
            });
            SCOPED_TRACE(testing::Message() << "pass " << pass);
            ExpectAlike(expected, shown);
        }
        EXPECT_GT(InkPixels(expected), 1000) << "the case draws a text";
        EXPECT_LE(glyphs.Kept(), CGlyphPictureCache::kKept);
    }
}

TEST(ScoreboardClockGlyphsTest, EachGlyphsPictureCoversAllItDraws) {
    CGlyphPictureCache glyphs;
    const QFont font = DisplayFont(190);
    const QRect rect(741, 508, 430, 208);
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    const CGlyphPictureCache::Line line = CGlyphPictureCache::Lay(font, rect, flags, QStringLiteral("9.87"));
    ASSERT_EQ(line.glyphs.size(), 4u);
    const QImage all = Painted({1200, 800}, {}, [&](QPainter& p) { glyphs.Draw(p, line, Qt::white); });
    // Each glyph alone lies within its picture's bounds; the union of the bounds holds the whole text.
    QRect bounds;
    for (const CGlyphPictureCache::Placed& glyph : line.glyphs) {
        const QRect own = glyphs.Bounds(line, glyph, Qt::white);
        ASSERT_FALSE(own.isEmpty());
        bounds |= own;
    }
    for (int y = 0; y < all.height(); ++y) {
        for (int x = 0; x < all.width(); ++x) {
            if (all.pixel(x, y) != kBack) {
                ASSERT_TRUE(bounds.contains(x, y)) << x << "," << y;
            }
        }
    }
    // Tabular digits: the same glyph stands in the same place in the next hundredth.
    const CGlyphPictureCache::Line next = CGlyphPictureCache::Lay(font, rect, flags, QStringLiteral("9.86"));
    ASSERT_EQ(next.glyphs.size(), 4u);
    EXPECT_EQ(next.glyphs[0], line.glyphs[0]);
    EXPECT_EQ(next.glyphs[1], line.glyphs[1]);
    EXPECT_NE(next.glyphs[3], line.glyphs[3]);
}

TEST(ScoreboardClockGlyphsTest, AKeptPictureNeverStandsInForAnotherColourSizeOrPlace) {
    // The same glyphs drawn in one cache in turn: each must still be what drawText draws.
    CGlyphPictureCache glyphs;
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    struct Look {
        int pixels;
        QRgb colour;
        QRect rect;
    };
    const Look looks[] = {
        {190, 0xFFFFFF00, {741, 508, 430, 208}}, {190, 0xFF000000, {741, 508, 430, 208}},
        {130, 0xFF000000, {741, 508, 430, 208}}, {190, 0xFF000000, {742, 508, 430, 208}},
        {190, 0xFF000000, {741, 508, 431, 209}}, {190, 0xFFFFFF00, {741, 508, 430, 208}},
    };
    for (const Look& look : looks) {
        SCOPED_TRACE(testing::Message()
                     << look.pixels << " px, colour " << std::hex << look.colour << std::dec << ", x "
                     << look.rect.x() << " width " << look.rect.width());
        const QFont font = DisplayFont(look.pixels);
        const QColor colour = QColor::fromRgba(look.colour);
        const QImage expected = Painted({1200, 800}, {}, [&](QPainter& p) {
            p.setFont(font);
            p.setPen(colour);
            p.drawText(look.rect, flags, QStringLiteral("5.50"));
        });
        const QImage shown = Painted({1200, 800}, {}, [&](QPainter& p) {
            glyphs.Draw(p, CGlyphPictureCache::Lay(font, look.rect, flags, QStringLiteral("5.50")), colour);
        });
        ExpectAlike(expected, shown);
    }
}

} // namespace
