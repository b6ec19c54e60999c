#include "controls/OutlineText.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

using namespace TextOutline;

namespace {

constexpr QRgb kGrey = 0xFF808080;
const QString kFamily = QStringLiteral("Liberation Sans");

QImage Canvas(int w = 200, int h = 160) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(kGrey);
    return image;
}

// Where the glyph "I" of the canvas font lies when its top-left sits at the origin: its bounding box.
QRectF GlyphBox(int size, QPointF origin) {
    QFont font(kFamily);
    font.setPixelSize(size);
    font.setBold(true);
    QPainterPath path;
    path.addText(origin + QPointF(0, QFontMetricsF(font).ascent()), font, QStringLiteral("I"));
    return path.boundingRect();
}

bool Near(QRgb a, QRgb b, int tolerance = 40) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

TEST(OutlineTextTest, OutlineStrokesAroundTheGlyphAndFillsItsBody) {
    QImage image = Canvas();
    const QPointF origin(60, 10);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        OutlineText text;
        text.SelectOutline(0xFFFFFFFF, 0xFF000000, 6);
        EXPECT_TRUE(text.DrawString(painter, kFamily, FontStyleBold, 100, QStringLiteral("I"), origin, {}));
    }
    const QRectF box = GlyphBox(100, origin);
    const QPoint body = box.center().toPoint();
    EXPECT_EQ(image.pixel(body), 0xFFFFFFFFu) << "the body is filled with the text colour";
    // Just outside the glyph's left edge, within half the pen width, the outline shows.
    const QPoint edge(static_cast<int>(box.left()) - 2, body.y());
    EXPECT_TRUE(Near(image.pixel(edge), 0xFF000000)) << std::hex << image.pixel(edge);
    // Well away from the glyph the canvas is untouched.
    EXPECT_EQ(image.pixel(static_cast<int>(box.left()) - 20, body.y()), kGrey);
    EXPECT_EQ(image.pixel(5, 5), kGrey);
}

TEST(OutlineTextTest, ZeroThicknessDrawsTheFillAlone) {
    QImage image = Canvas();
    const QPointF origin(60, 10);
    {
        QPainter painter(&image);
        OutlineText text;
        text.SelectOutline(0xFFFF0000, 0xFF0000FF, 0);
        EXPECT_TRUE(text.DrawString(painter, kFamily, FontStyleBold, 100, QStringLiteral("I"), origin, {}));
    }
    const QRectF box = GlyphBox(100, origin);
    EXPECT_EQ(image.pixel(box.center().toPoint()), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(static_cast<int>(box.left()) - 2, static_cast<int>(box.center().y())), kGrey);
}

TEST(OutlineTextTest, ShadowIsTheOutlineMovedByItsOffsetAndOnlyWhenEnabled) {
    const QPointF origin(60, 10);
    const QRectF box = GlyphBox(100, origin);
    // Right of the glyph by the offset plus the body: only the moved outline reaches there.
    const QPoint probe(static_cast<int>(box.right()) + 6, static_cast<int>(box.center().y()));
    for (const bool enabled : {true, false}) {
        SCOPED_TRACE(enabled ? "shadow on" : "shadow off");
        QImage image = Canvas();
        QPainter painter(&image);
        OutlineText text;
        text.SelectOutline(0xFFFFFFFF, 0xFFFFFFFF, 0);
        text.SetShadow(0xFF0000FF, 7, 4, 5);
        EXPECT_FALSE(text.ShadowEnabled()) << "setting the shadow does not switch it on";
        text.EnableShadow(enabled);
        EXPECT_TRUE(text.DrawString(painter, kFamily, FontStyleBold, 100, QStringLiteral("I"), origin, {}));
        painter.end();
        if (enabled)
            EXPECT_TRUE(Near(image.pixel(probe), 0xFF0000FF)) << std::hex << image.pixel(probe);
        else
            EXPECT_EQ(image.pixel(probe), kGrey);
        EXPECT_EQ(image.pixel(box.center().toPoint()), 0xFFFFFFFFu) << "the text is drawn over its shadow";
    }
}

TEST(OutlineTextTest, WithoutATextStrategyOnlyTheShadowIsDrawnAndTheResultIsFalse) {
    QImage image = Canvas();
    QPainter painter(&image);
    OutlineText text;
    text.SetShadow(0xFF0000FF, 7, 4, 5);
    text.EnableShadow(true);
    EXPECT_FALSE(
        text.DrawString(painter, kFamily, FontStyleBold, 100, QStringLiteral("I"), QPointF(60, 10), {}));
    painter.end();
    const QRectF box = GlyphBox(100, QPointF(64, 15));
    EXPECT_TRUE(
        Near(image.pixel(static_cast<int>(box.left()) - 1, static_cast<int>(box.center().y())), 0xFF0000FF));
}

TEST(OutlineTextTest, ShadowOnABackgroundBlendsOrCopiesTheMaskedArea) {
    struct Case {
        Argb shadow;
        QRgb body; // the shadow's text body, seen at the centre of the moved glyph
    };
    const Case cases[] = {
        {0x00FF0000, 0xFF00FF00}, // alpha 0: the background copied unchanged
        {0xFFFF0000, 0xFFFF0000}, // opaque: the shadow colour
        {0x80FF0000, BlendColor(0xFF00FF00, 0xFFFF0000, 0x80)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shadow);
        QImage image = Canvas();
        QPainter painter(&image);
        OutlineText text;
        text.SelectNoOutline(0xFFFFFFFF);
        text.SetShadow(c.shadow, 2, 30, 0);
        text.CreateShadowBackground(0xFF00FF00, 200, 160);
        text.EnableShadow(true);
        text.DrawString(painter, kFamily, FontStyleBold, 100, QStringLiteral("I"), QPointF(40, 10), {});
        painter.end();
        const QRectF moved = GlyphBox(100, QPointF(70, 10));
        EXPECT_TRUE(Near(image.pixel(moved.center().toPoint()), c.body, 6))
            << std::hex << image.pixel(moved.center().toPoint());
        // Outside the mask the background shows: the composite covers the whole background's area.
        EXPECT_EQ(image.pixel(5, 150), 0xFF00FF00u);
    }
}

TEST(OutlineTextTest, BlendColorMixesEachChannelByAlpha) {
    EXPECT_EQ(BlendColor(0xFF102030, 0x00A0B0C0, 255), 0x00A0B0C0u)
        << "alpha 255 gives the over colour as it is";
    EXPECT_EQ(BlendColor(0xFF000000, 0xFFFFFFFF, 0), 0xFF000000u);
    EXPECT_EQ(BlendColor(0xFFFFFFFF, 0xFF000000, 0), 0xFFFEFEFEu) << "(255 x 255) >> 8 is 254";
    EXPECT_EQ(BlendColor(0xFF000000, 0xFFFFFFFF, 128), 0xFF7F7F7Fu);
    EXPECT_EQ(BlendColor(0x00102030, 0x00405060, 64), 0xFF1B2B3Bu) << "(0x40 x 64 + 0x10 x 191) >> 8 = 0x1B";
}

TEST(OutlineTextTest, GradientPensRunFromColourOneAtTheGlyphToColourTwoOutside) {
    TextGradOutlineStrategy one;
    one.Init(Argb{0xFFFFFFFF}, 0x80FF0000, 0xFF0000FF, 1);
    ASSERT_EQ(one.GradientEntries().size(), 1u);
    EXPECT_EQ(one.GradientEntries()[0], 0xFFFF0000u) << "colour one, made opaque";

    TextGradOutlineStrategy five;
    five.Init(Argb{0xFFFFFFFF}, 0xFF000000, 0x10FFFFFF, 5);
    const auto entries = five.GradientEntries();
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries.front(), 0xFF000000u);
    EXPECT_EQ(entries.back(), 0xFFFFFFFFu);
    EXPECT_EQ(entries[2], 0xFF808080u);

    // The clone sets itself up the same way.
    const auto clone = five.Clone();
    auto* copy = dynamic_cast<TextGradOutlineStrategy*>(clone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GradientEntries(), entries);
}

TEST(OutlineTextTest, BrushFormFillsWithTheBorrowedBrush) {
    QImage image = Canvas();
    const QBrush brush(QColor(0, 200, 0));
    {
        QPainter painter(&image);
        OutlineText text;
        text.SelectOutline(&brush, 0xFF000000, 2);
        EXPECT_TRUE(
            text.DrawString(painter, kFamily, FontStyleBold, 100, QStringLiteral("I"), QPointF(60, 10), {}));
    }
    EXPECT_EQ(image.pixel(GlyphBox(100, QPointF(60, 10)).center().toPoint()), 0xFF00C800u);
}

TEST(OutlineTextTest, OnlyOutlineLeavesTheBodyUnfilled) {
    QImage image = Canvas();
    {
        QPainter painter(&image);
        OutlineText text;
        text.SelectOnlyOutline(0xFF000000, 2, true);
        EXPECT_TRUE(
            text.DrawString(painter, kFamily, FontStyleBold, 100, QStringLiteral("I"), QPointF(60, 10), {}));
    }
    EXPECT_EQ(image.pixel(GlyphBox(100, QPointF(60, 10)).center().toPoint()), kGrey);
}

TEST(OutlineTextTest, CentredFormatCentresTheTextOnThePoint) {
    QImage image = Canvas(400, 160);
    {
        QPainter painter(&image);
        OutlineText text;
        text.SelectOutline(0xFFFFFFFF, 0xFFFFFFFF, 0);
        StringFormat centred;
        centred.horizontal = Qt::AlignHCenter;
        EXPECT_TRUE(text.DrawString(painter, kFamily, FontStyleBold, 80, QStringLiteral("HOH"),
                                    QPointF(200, 20), centred));
    }
    int left = image.width(), right = -1, top = image.height();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != kGrey) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
            }
    ASSERT_GE(right, 0);
    EXPECT_NEAR((left + right) / 2.0, 200, 4) << left << ".." << right;
    EXPECT_GE(top, 20) << "the text hangs below the point";
    EXPECT_LT(top, 40);
}

TEST(OutlineTextTest, MeasuringAddsTheStrokeAllowanceAndFailsWithoutPoints) {
    QImage image = Canvas();
    QPainter painter(&image);
    QFont font(kFamily);
    font.setPixelSize(100);
    font.setBold(true);

    TextNoOutlineStrategy plain;
    plain.Init(Argb{0xFFFFFFFF});
    TextOutlineStrategy outlined;
    outlined.Init(Argb{0xFFFFFFFF}, 0xFF000000, 3);
    TextDblGlowStrategy glow;
    glow.Init(Argb{0xFFFFFFFF}, 0xFF000000, 0x80FFFF00, 2, 5);

    TextExtent a, b, c;
    ASSERT_TRUE(plain.GdiMeasureStringOutline(&painter, font, QStringLiteral("I"), QPointF(10, 10), &a));
    ASSERT_TRUE(outlined.GdiMeasureStringOutline(&painter, font, QStringLiteral("I"), QPointF(10, 10), &b));
    ASSERT_TRUE(glow.GdiMeasureStringOutline(&painter, font, QStringLiteral("I"), QPointF(10, 10), &c));
    EXPECT_FLOAT_EQ(b.width - a.width, 3);
    EXPECT_FLOAT_EQ(b.height - a.height, 3);
    EXPECT_FLOAT_EQ(c.width - a.width, 7);
    const QRectF box = GlyphBox(100, QPointF(10, 10));
    EXPECT_NEAR(a.width, box.width(), 0.5);
    EXPECT_NEAR(a.startX, box.left(), 0.5);

    // The origin extent counts from the call's origin.
    TextExtent origin;
    ASSERT_TRUE(plain.GdiMeasureString(&painter, font, QStringLiteral("I"), QPointF(10, 10), &origin));
    EXPECT_NEAR(origin.width, box.right() - 10, 0.5);

    TextExtent none;
    EXPECT_FALSE(plain.GdiMeasureString(&painter, font, QString(), QPointF(10, 10), &none)) << "no points";
    EXPECT_FALSE(plain.GdiMeasureString(nullptr, font, QStringLiteral("I"), QPointF(10, 10), &none));
    EXPECT_FALSE(plain.MeasureString(&painter, kFamily, 0, 0, QStringLiteral("I"), QPointF(0, 0), {}, &none))
        << "no font size, no path";
}

TEST(OutlineTextTest, RendererMeasuresTheShadowWhenItReachesFurther) {
    QImage image = Canvas();
    QPainter painter(&image);
    OutlineText text;
    text.SelectOutline(0xFFFFFFFF, 0xFF000000, 3);
    TextExtent plain;
    ASSERT_TRUE(text.MeasureString(&painter, kFamily, FontStyleBold, 100, QStringLiteral("I"),
                                   QPointF(10, 10), {}, &plain));
    text.SetShadow(0xFF000000, 7, 4, 5);
    text.EnableShadow(true);
    TextExtent shadowed;
    ASSERT_TRUE(text.MeasureString(&painter, kFamily, FontStyleBold, 100, QStringLiteral("I"),
                                   QPointF(10, 10), {}, &shadowed));
    EXPECT_FLOAT_EQ(shadowed.width, plain.width + 4 + 4) << "thickness 7 instead of 3, and the 4 px offset";
    EXPECT_FLOAT_EQ(shadowed.height, plain.height + 4 + 5);
    EXPECT_FLOAT_EQ(shadowed.startX, plain.startX);
}

TEST(OutlineTextTest, ClonesKeepTheirSettingsAndTheBorrowedBrush) {
    const QBrush brush(Qt::red);
    TextDblOutlineStrategy strategy;
    strategy.Init(&brush, 0xFF112233, 0xFF445566, 2, 4);
    const auto clone = strategy.Clone();
    auto* copy = dynamic_cast<TextDblOutlineStrategy*>(clone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->TextBrush(), &brush);
    EXPECT_FALSE(copy->UsesTextColour());
    EXPECT_EQ(copy->TextColour(), 0xFF000000u) << "the brush form keeps the start text colour";
    EXPECT_EQ(copy->StrokeAllowance(), 6);
}

} // namespace
