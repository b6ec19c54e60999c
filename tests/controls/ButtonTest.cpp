#include "controls/IconButton.h"

#include "app/ColorRef.h"
#include "app/PngResource.h"
#include "resources/Artwork.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>

namespace {

QImage Solid(QSize size, QColor colour) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

TEST(ButtonTest, PressedStyleChoosesTheOffsetOrRefusesAnUnknownStyle) {
    CIconButton button;
    EXPECT_EQ(button.SetPressedStyle(1), 0);
    EXPECT_EQ(button.m_ptPressedOffset, QPoint(0, 2)) << "down, not sideways";
    EXPECT_EQ(button.SetPressedStyle(2), 6);
    EXPECT_EQ(button.m_ptPressedOffset, QPoint(0, 2)) << "unchanged";
    EXPECT_EQ(button.SetPressedStyle(0), 0);
    EXPECT_EQ(button.m_ptPressedOffset, QPoint(1, 1));
}

TEST(ButtonTest, OffsetColorRaisesEveryChannelByTheSmallestHeadroom) {
    const struct {
        COLORREF in, out;
    } cases[] = {
        {RGB(240, 240, 240), RGB(255, 255, 255)},
        {RGB(100, 240, 100), RGB(115, 255, 115)},
        {RGB(0, 0, 0), RGB(30, 30, 30)},
        {RGB(255, 0, 10), RGB(255, 0, 10)},
    };
    for (const auto& c : cases) {
        CIconButton button;
        button.m_crColors[CIconButton::BkIn] = c.in;
        EXPECT_EQ(button.OffsetColor(), 0);
        EXPECT_EQ(button.m_crColors[CIconButton::BkIn], c.out) << std::hex << c.in;
    }
}

TEST(ButtonTest, ImageLayoutByAlignment) {
    const QRect item(0, 0, 100, 40);
    const QSize image(20, 20);
    const QPoint origin(3, 3);
    const struct {
        unsigned char align;
        bool caption;
        bool pressed;
        QRect image;
        QRect caption_;
    } cases[] = {
        {CIconButton::ImageLeft, true, false, {3, 10, 20, 20}, QRect(QPoint(23, 0), QPoint(99, 39))},
        {CIconButton::ImageLeft, false, false, {40, 10, 20, 20}, item},
        {CIconButton::ImageAbove, true, false, {40, 3, 20, 20}, QRect(QPoint(0, 20), QPoint(99, 39))},
        {CIconButton::ImageAbove, false, false, {40, 10, 20, 20}, item},
        {CIconButton::ImageRight, true, false, {77, 10, 20, 20}, QRect(QPoint(3, 0), QPoint(76, 39))},
        {CIconButton::ImageOverlap, true, false, {0, 0, 20, 20}, item},
        {CIconButton::ImageOverlap, true, true, {1, 1, 20, 20}, item},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << int(c.align) << " caption " << c.caption << " pressed " << c.pressed);
        const auto layout =
            CIconButton::ImageLayout(c.align, c.caption, item, image, origin, c.pressed, {1, 1});
        EXPECT_EQ(layout.image, c.image);
        EXPECT_EQ(layout.caption, c.caption_);
    }
}

TEST(ButtonTest, CheckBoxModeShowsTheInImageWhileCheckedAndTheOutImageOtherwise) {
    CIconButton button;
    button.SetCheckBoxMode(true);
    const QImage in = Solid({8, 8}, Qt::red), out = Solid({8, 8}, Qt::blue);
    ASSERT_EQ(button.SetIcon(in, CIconButton::OutImage::Given, out), 0);
    EXPECT_EQ(button.ShownImage(button.isChecked())->pixel(0, 0), out.pixel(0, 0));
    button.SetCheck(2);
    EXPECT_EQ(button.GetCheck(), 1);
    EXPECT_EQ(button.ShownImage(button.isChecked())->pixel(0, 0), in.pixel(0, 0));
    button.click();
    EXPECT_EQ(button.GetCheck(), 0) << "a click toggles";

    CIconButton plain;
    ASSERT_EQ(plain.SetIcon(in), 0);
    for (const bool pressed : {false, true})
        EXPECT_EQ(plain.ShownImage(pressed)->pixel(0, 0), in.pixel(0, 0))
            << "no out image: the in image always";
    EXPECT_EQ(plain.SetIcon(QImage()), 1);
    EXPECT_EQ(plain.ShownImage(false), nullptr);
}

TEST(ButtonTest, DerivedImagesFollowTheGreyAndDarkerRules) {
    QImage source(3, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, qRgb(10, 200, 30));
    source.setPixel(1, 0, qRgb(255, 255, 255)); // the transparent colour
    source.setPixel(2, 0, qRgb(0, 0, 0));
    const QImage grey = CIconButton::Greyed(source, qRgb(255, 255, 255));
    EXPECT_EQ(grey.pixel(0, 0), qRgb(123, 123, 123)) << "0.299 R + 0.587 G + 0.114 B, truncated";
    EXPECT_EQ(grey.pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_EQ(grey.pixel(2, 0), qRgb(0, 0, 0));
    const QImage dark = CIconButton::Darker(source, qRgb(255, 255, 255));
    EXPECT_EQ(dark.pixel(0, 0), qRgb(7, 150, 22)) << "c - c / 4, truncated";
    EXPECT_EQ(dark.pixel(1, 0), qRgb(255, 255, 255));
}

TEST(ButtonTest, BitmapsLoseTheirTransparentColourAndShowTheButtonBehind) {
    CIconButton button;
    button.resize(74, 37);
    button.m_crColors[CIconButton::BkOut] = RGB(10, 20, 30);
    ASSERT_EQ(button.SetBitmapsFromResource(913, RGB(255, 255, 255)), 0);
    EXPECT_EQ(button.SetBitmapsFromResource(424242, RGB(255, 255, 255)), 1) << "no such bitmap";
    ASSERT_EQ(button.SetBitmapsFromResource(913, RGB(255, 255, 255)), 0);
    const QImage shot = button.grab().toImage();
    EXPECT_EQ(shot.pixelColor(0, 0), QColor(10, 20, 30)) << "the white corner lets the background through";
    const QColor chung = QColor::fromRgba(ArtworkColours::Chung);
    EXPECT_EQ(shot.pixelColor(37, 30), chung) << "the face itself";
}

TEST(ButtonTest, OutlinedButtonFillsWithTheHoverColourOnlyWhileHovered) {
    QWidget parent;
    CFlatButton button(&parent);
    button.setGeometry(0, 0, 60, 30);
    button.m_crColors[CIconButton::BkIn] = RGB(238, 245, 255);
    button.m_crColors[CIconButton::BkOut] = RGB(255, 255, 255);
    EXPECT_EQ(button.grab().toImage().pixelColor(30, 15), QColor(255, 255, 255));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    ASSERT_TRUE(button.IsHovering());
    const QImage hovered = button.grab().toImage();
    EXPECT_EQ(hovered.pixelColor(30, 15), QColor(238, 245, 255));
    EXPECT_EQ(hovered.pixelColor(0, 15), QColor(0, 0, 0)) << "the black outline";
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_FALSE(button.IsHovering());
}

TEST(ButtonTest, ADoubleClickCountsAsTwoPresses) {
    CIconButton button;
    button.resize(40, 20);
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
    const QPointF at(10, 10);
    const auto send = [&](QEvent::Type type) {
        QMouseEvent event(type, at, at, button.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&button, &event);
    };
    send(QEvent::MouseButtonPress);
    send(QEvent::MouseButtonRelease);
    send(QEvent::MouseButtonDblClick);
    send(QEvent::MouseButtonRelease);
    EXPECT_EQ(clicks, 2);
}

TEST(ButtonTest, TooltipTextIsAlsoTheAccessibleName) {
    CIconButton button;
    button.SetTooltipText(QStringLiteral("Configuration"));
    EXPECT_EQ(button.toolTip(), QStringLiteral("Configuration"));
    EXPECT_EQ(button.accessibleName(), QStringLiteral("Configuration"));
    EXPECT_EQ(button.SetBtnCursor(), 0) << "the hover cursor is in the catalogue";
}

} // namespace
