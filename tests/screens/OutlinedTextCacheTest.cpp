// The outlined numbers and texts of the screens drawn from kept pictures: what lands on the screen is what
// the outline text draws there, a picture kept for one style never stands in for another, and a match's hit
// levels in every style in use stay kept within the bound.
#include "screens/OutlinedTextCache.h"
#include "app/DisplayFont.h"
#include "controls/OutlineText.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr QRgb kBack = 0xFF203040;

COutlinedTextCache::Style Level(int size, int value, TextOutline::Argb fill = 0xFFFFFFFF) {
    COutlinedTextCache::Style style;
    style.text = QString::number(value);
    style.size = size;
    style.fill = fill;
    style.outline = 0xFF101010;
    style.thickness = 3;
    return style;
}

QImage Board() {
    QImage board(120, 80, QImage::Format_RGB32);
    board.fill(kBack);
    return board;
}

QImage FromCache(COutlinedTextCache& cache, const COutlinedTextCache::Style& style, QPointF at) {
    QImage board = Board();
    QPainter painter(&board);
    cache.Draw(painter, style, at);
    return board;
}

// The outline text drawn straight onto the board where the kept picture lands.
QImage Outlined(COutlinedTextCache& cache, const COutlinedTextCache::Style& style, QPointF at) {
    QImage board = Board();
    const QRect bounds = cache.Bounds(style, at);
    QImage picture(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        TextOutline::OutlineText outlined;
        outlined.SelectOutline(style.fill, style.outline, style.thickness);
        TextOutline::StringFormat centred;
        centred.horizontal = Qt::AlignHCenter;
        const QPointF anchor = cache.Landing(style, at) - QPointF(bounds.topLeft());
        outlined.DrawString(p, QString::fromLatin1(kDisplayFace), TextOutline::FontStyleBold, style.size,
                            style.text, anchor, centred);
    }
    QPainter painter(&board);
    painter.drawImage(bounds.topLeft(), picture);
    return board;
}

int MostApart(const QImage& a, const QImage& b) {
    int most = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q))});
        }
    return most;
}

TEST(OutlinedTextCacheTest, AKeptPictureShowsWhatTheOutlineTextDrawsThereFirstAndAgain) {
    COutlinedTextCache cache;
    const struct {
        COutlinedTextCache::Style style;
        QPointF at;
    } cases[] = {
        {Level(20, 40), {60, 20}},
        {Level(24, 255), {61, 18}},
        {Level(15, 100), {40, 30}},
        {Level(20, 7, 0xFFFFFF00), {60.5, 20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style.text.toStdString() + " at " + std::to_string(c.style.size));
        const QImage expected = Outlined(cache, c.style, c.at);
        EXPECT_EQ(MostApart(FromCache(cache, c.style, c.at), expected), 0);
        EXPECT_EQ(MostApart(FromCache(cache, c.style, c.at), expected), 0) << "drawn again";
        EXPECT_NE(MostApart(expected, Board()), 0) << "the text shows";
    }
}

TEST(OutlinedTextCacheTest, AnotherTextSizeOrColourIsNeverShownFromAPictureKeptForOne) {
    COutlinedTextCache cache;
    const QPointF at(60, 20);
    const COutlinedTextCache::Style first = Level(20, 40);
    const QImage shown = FromCache(cache, first, at);
    for (const COutlinedTextCache::Style& other :
         {Level(20, 41), Level(22, 40), Level(20, 40, 0xFFFFFF00), [] {
              COutlinedTextCache::Style thicker = Level(20, 40);
              thicker.thickness = 4;
              return thicker;
          }()}) {
        SCOPED_TRACE(other.text.toStdString() + " at " + std::to_string(other.size));
        const QImage again = FromCache(cache, other, at);
        EXPECT_NE(MostApart(again, shown), 0);
        EXPECT_EQ(MostApart(again, Outlined(cache, other, at)), 0);
    }
}

TEST(OutlinedTextCacheTest, EveryLevelOfEachStyleAMatchShowsStaysKeptWithinTheBound) {
    COutlinedTextCache cache;
    // The operator's last hits, level boxes and replay counts, and a warning colour.
    const struct {
        int size;
        TextOutline::Argb fill;
    } styles[] = {{20, 0xFFFFFFFF}, {24, 0xFFFFFFFF}, {22, 0xFFFFFFFF}, {20, 0xFFFFFF00}};
    QImage board = Board();
    QPainter painter(&board);
    for (const auto& s : styles)
        for (int level = 0; level <= 255; ++level)
            cache.Draw(painter, Level(s.size, level, s.fill), QPointF(60, 20));
    EXPECT_EQ(cache.Kept(), 4u * 256u) << "every level of every style is kept";
    EXPECT_LE(cache.Bytes(), COutlinedTextCache::kMaxBytes);

    // Pictures of a 400-pixel score are bound by the bytes they take.
    COutlinedTextCache scores;
    for (int score = 0; score < 80; ++score) {
        COutlinedTextCache::Style style = Level(400, score);
        scores.Draw(painter, style, QPointF(60, 20));
        ASSERT_LE(scores.Bytes(), COutlinedTextCache::kMaxBytes);
    }
    EXPECT_GT(scores.Kept(), 1u);
}

} // namespace
