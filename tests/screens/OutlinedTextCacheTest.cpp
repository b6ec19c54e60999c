// The outlined numbers and texts of the screens drawn from kept pictures: what lands on the screen is what
// the outline text draws there, a number never shown before included, a picture kept for one style never
// stands in for another, and a match's hit levels in every style in use stay kept within the bound.
#include "screens/OutlinedTextCache.h"
#include "controls/OutlineText.h"
#include "screens/OutlinedDigitsWarmup.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <vector>

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

QImage Board(QSize size = {120, 80}) {
    QImage board(size, QImage::Format_RGB32);
    board.fill(kBack);
    return board;
}

QImage FromCache(COutlinedTextCache& cache, const COutlinedTextCache::Style& style, QPointF at,
                 QSize size = {120, 80}) {
    QImage board = Board(size);
    QPainter painter(&board);
    cache.Draw(painter, style, at);
    return board;
}

// The text drawn whole by the outline text, landing where the kept picture lands.
QImage Outlined(COutlinedTextCache& cache, const COutlinedTextCache::Style& style, QPointF at,
                QSize size = {120, 80}) {
    QImage board = Board(size);
    QPointF anchor;
    const QImage whole = COutlinedTextCache::WholePicture(style, &anchor);
    QPainter painter(&board);
    painter.drawImage((cache.Landing(style, at) - anchor).toPoint(), whole);
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

// A picture composed of its glyphs' strokes and fills rounds a few edge pixels of neighbouring glyphs apart
// from the whole text's: within the tolerance the scoreboard clock's glyph pictures keep, 4 levels on at
// most 16 pixels, per glyph.
::testing::AssertionResult ShowsTheSame(const QImage& shown, const QImage& expected, const QString& text) {
    int most = 0, pixels = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb p = shown.pixel(x, y), q = expected.pixel(x, y);
            const int apart = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                        std::abs(qBlue(p) - qBlue(q))});
            most = std::max(most, apart);
            pixels += apart != 0 ? 1 : 0;
        }
    if (most <= 4 && pixels <= 16 * text.size())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << pixels << " pixels apart, by up to " << most << " levels";
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
        {[] {
             COutlinedTextCache::Style warning = Level(20, 0, 0xFFFFFF00);
             warning.text = QStringLiteral("!!");
             return warning;
         }(),
         {60, 20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style.text.toStdString() + " at " + std::to_string(c.style.size));
        const QImage expected = Outlined(cache, c.style, c.at);
        const QImage first = FromCache(cache, c.style, c.at);
        EXPECT_TRUE(ShowsTheSame(first, expected, c.style.text));
        EXPECT_EQ(MostApart(FromCache(cache, c.style, c.at), first), 0) << "drawn again";
        EXPECT_NE(MostApart(expected, Board()), 0) << "the text shows";
    }
}

// A number not shown before is composed from the strokes and fills of glyphs kept from other numbers: what
// lands is still what the outline text draws for the whole number, for every level and score of the styles
// the two screens use, and a board position between pixels.
TEST(OutlinedTextCacheTest, ANewNumberComposedOfKeptGlyphsShowsWhatTheWholeTextsOutlineShows) {
    const auto score = [](int size, TextOutline::Argb fill, TextOutline::Argb shadow) {
        COutlinedTextCache::Style style = Level(size, 0, fill);
        style.outline = fill;
        style.thickness = 0;
        style.shadow = true;
        style.shadowColour = shadow;
        style.shadowThickness = 7;
        style.shadowDx = 4;
        style.shadowDy = 5;
        return style;
    };
    const auto board = [](int size) {
        COutlinedTextCache::Style style = Level(size, 0);
        style.outline = 0xFF000000;
        return style;
    };
    std::vector<int> levels(256);
    for (int level = 0; level < 256; ++level)
        levels[static_cast<std::size_t>(level)] = level;
    const std::vector<int> scores = {0, 1, 2, 4, 7, 10, 13, 24, 38, 56, 69, 90, 99, 100, 101, 147, 188, 276};
    // Narrower numbers after wider ones: each is drawn on a canvas a passed wider score gave up.
    const std::vector<int> corrected(scores.rbegin(), scores.rend());
    const struct {
        const char* what;
        COutlinedTextCache::Style style;
        const std::vector<int>& values;
        QSize board;
        QPointF at;
    } cases[] = {
        {"operator level", Level(20, 0), levels, {120, 80}, {60, 20}},
        {"operator level box", Level(24, 0), levels, {120, 80}, {61, 18}},
        {"operator replay count", Level(22, 0, 0xFFFFFF00), levels, {120, 80}, {60, 20}},
        {"operator battery", Level(15, 0), levels, {120, 80}, {40, 30}},
        {"board hit level", board(60), levels, {240, 120}, {120, 20}},
        {"board hit level over 99", board(51), levels, {240, 120}, {120.5, 20}},
        {"small board hit level", board(34), levels, {160, 100}, {80, 20}},
        {"board minimum level", board(45), levels, {200, 120}, {100.5, 20}},
        {"board score", score(400, 0xFFFFFFFF, 0xFF0000FF), scores, {1100, 800}, {550.5, 40}},
        {"board score over 99", score(300, 0xFFFFFFFF, 0xFFFF0000), scores, {900, 640}, {450, 40}},
        {"leader's score", score(400, 0xFFFFFF00, 0xFFFF0000), scores, {1100, 800}, {550, 40}},
        {"board score corrected down", score(400, 0xFFFFFFFF, 0xFF0000FF), corrected, {1100, 800}, {550, 40}},
        {"small board score", score(270, 0xFFFFFFFF, 0xFF0000FF), scores, {800, 560}, {400.5, 30}},
    };
    for (const auto& c : cases) {
        COutlinedTextCache cache;
        for (const int value : c.values) {
            COutlinedTextCache::Style style = c.style;
            style.text = QString::number(value);
            SCOPED_TRACE(std::string(c.what) + " " + style.text.toStdString());
            ASSERT_TRUE(ShowsTheSame(FromCache(cache, style, c.at, c.board),
                                     Outlined(cache, style, c.at, c.board), style.text));
        }
    }
}

// The warm-up prepares, in the event loop's idle turns, every digit at every place of a number of up to three
// digits: a score or level shown after it rasterises no glyph of its own, and shows what the whole text does.
TEST(OutlinedTextCacheTest, AfterTheWarmUpANumberOfUpToThreeDigitsNeedsNoNewGlyph) {
    COutlinedTextCache cache;
    COutlinedTextCache::Style score = Level(300, 0);
    score.thickness = 0;
    score.shadow = true;
    score.shadowColour = 0xFF0000FF;
    score.shadowThickness = 7;
    score.shadowDx = 4;
    score.shadowDy = 5;
    const COutlinedTextCache::Style level = Level(20, 0);
    COutlinedDigitsWarmup warmup(cache, {score, level});
    QElapsedTimer waited;
    waited.start();
    while (!warmup.Done() && waited.elapsed() < 60'000)
        QCoreApplication::processEvents();
    ASSERT_TRUE(warmup.Done());
    const std::size_t prepared = cache.GlyphsKept();
    EXPECT_GT(prepared, 0u);
    const std::size_t canvases = cache.CanvasesMade();
    EXPECT_EQ(canvases, COutlinedTextCache::kKeptLarge + COutlinedTextCache::kSpares);
    for (const int value : {0, 7, 10, 59, 99, 100, 276, 308, 999}) {
        for (COutlinedTextCache::Style style : {score, level}) {
            style.text = QString::number(value);
            SCOPED_TRACE(style.text.toStdString() + " at " + std::to_string(style.size));
            const QSize board = style.size > 100 ? QSize(1000, 640) : QSize(120, 80);
            const QPointF at(board.width() / 2, 20);
            EXPECT_TRUE(ShowsTheSame(FromCache(cache, style, at, board), Outlined(cache, style, at, board),
                                     style.text));
        }
    }
    EXPECT_EQ(cache.GlyphsKept(), prepared) << "no glyph was rasterised while a number was shown";

    // A match's scores one after another, then corrected down: each is drawn on a canvas made ahead.
    QImage board = Board(QSize(1000, 640));
    QPainter painter(&board);
    for (int value = 0; value <= 276; ++value) {
        score.text = QString::number(value <= 200 ? value : 400 - value);
        cache.Draw(painter, score, QPointF(500, 20));
    }
    EXPECT_EQ(cache.CanvasesMade(), canvases) << "a score was drawn on memory not touched before";
    EXPECT_TRUE(ShowsTheSame(FromCache(cache, score, QPointF(500, 20), QSize(1000, 640)),
                             Outlined(cache, score, QPointF(500, 20), QSize(1000, 640)), score.text));
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
        EXPECT_TRUE(ShowsTheSame(again, Outlined(cache, other, at), other.text));
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
