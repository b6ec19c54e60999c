#include "controls/MyStatic.h"
#include "controls/PanelStatic.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QUrl>

namespace {

int TenPerCharacter(const QString& text) {
    return static_cast<int>(text.size()) * 10;
}

TEST(StaticTest, WordWrapBreaksAtSpacesLineBreakPairsAndOverlongWords) {
    const struct {
        const char* text;
        std::vector<QString> lines;
    } cases[] = {
        {"hello world", {"hello", "world"}},    // the first too-wide prefix ends inside "world"
        {"abcdefghijkl", {"abcdefghij", "kl"}}, // no space: just before the character too many
        {"abcdefghij k", {"abcdefghij ", "k"}}, // the prefix ends after a space: the line keeps it
        {"ab\r\ncd", {"ab", "cd"}},             // CR LF breaks even when it fits
        {"ab\n\rcd", {"ab", "cd"}},             // so does LF CR
        {"ab\rcd", {"ab\rcd"}},                 // a lone CR does not
        {"short", {"short"}},
        {"", {""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CPanelStatic::WrapLines(QString::fromUtf8(c.text), 100, TenPerCharacter), c.lines);
    }
}

TEST(StaticTest, BitmapIsStretchedFromOneColumnAndRowShortOfItsWhole) {
    QImage bitmap(100, 50, QImage::Format_ARGB32);
    bitmap.fill(Qt::green);
    for (int y = 0; y < 50; ++y)
        bitmap.setPixel(99, y, qRgb(255, 0, 0));
    for (int x = 0; x < 100; ++x)
        bitmap.setPixel(x, 49, qRgb(255, 0, 0));
    CPanelStatic panel;
    panel.resize(200, 100);
    panel.SetBitmap(bitmap);
    EXPECT_TRUE(panel.IsBitmapMode());
    const QImage shot = panel.grab().toImage();
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            ASSERT_LT(qRed(shot.pixel(x, y)), 128)
                << "the last column and row are never shown, at " << x << "," << y;
    EXPECT_FALSE(panel.SetBitmapFromResource(424242)) << "an unknown bitmap changes nothing";
    EXPECT_EQ(panel.BitmapResourceId(), -1);
    EXPECT_TRUE(panel.SetBitmapFromResource(931));
    EXPECT_EQ(panel.BitmapResourceId(), 931);
}

TEST(StaticTest, OnlyASingleDroppedBmpFileIsTaken) {
    QTemporaryDir dir;
    const QString bmp = dir.filePath(QStringLiteral("mark.bmp"));
    const QString png = dir.filePath(QStringLiteral("mark.png"));
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(bmp, "BMP"));
    ASSERT_TRUE(image.save(png, "PNG"));
    const auto drop = [](CPanelStatic& panel, const QList<QUrl>& urls) { panel.DropFiles(urls); };
    CPanelStatic two;
    drop(two, {QUrl::fromLocalFile(bmp), QUrl::fromLocalFile(bmp)});
    EXPECT_FALSE(two.IsBitmapMode());
    CPanelStatic other;
    drop(other, {QUrl::fromLocalFile(png)});
    EXPECT_FALSE(other.IsBitmapMode());
    CPanelStatic one;
    drop(one, {QUrl::fromLocalFile(bmp)});
    EXPECT_TRUE(one.IsBitmapMode());
}

// The extent of the pixels that differ from the fill.
QRect Ink(const QImage& image, QRgb fill) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != fill)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

TEST(StaticTest, LabelCentresOneLineInItsParentsFontUnlessItHasItsOwn) {
    QWidget parent;
    QFont big(QStringLiteral("Liberation Sans"));
    big.setPixelSize(40);
    parent.setFont(big);
    CMyStatic label(&parent);
    label.setGeometry(0, 0, 300, 80);
    label.m_crFill = 0xFFFFFF;
    label.m_crTextBk = 0xFFFFFF;
    label.SetText(QStringLiteral("HIT"));
    const QRect inParentFont = Ink(label.grab().toImage(), qRgb(255, 255, 255));
    ASSERT_FALSE(inParentFont.isEmpty());
    EXPECT_NEAR(inParentFont.center().x(), 150, 3);
    EXPECT_NEAR(inParentFont.center().y(), 40, 4);

    QFont small(QStringLiteral("Liberation Sans"));
    small.setPixelSize(12);
    label.m_pFont = &small;
    const QRect inOwnFont = Ink(label.grab().toImage(), qRgb(255, 255, 255));
    EXPECT_LT(inOwnFont.height(), inParentFont.height() / 2);
}

TEST(StaticTest, LabelFillsWithItsFillColourAndPaintsTheTextCellsInTheTextBackground) {
    CMyStatic label;
    label.resize(200, 60);
    label.m_crFill = 0x0000FF;   // red
    label.m_crTextBk = 0x00FF00; // green
    label.m_crText = 0xFFFFFF;
    label.SetText(QStringLiteral("TAG"));
    const QImage shot = label.grab().toImage();
    EXPECT_EQ(shot.pixelColor(2, 2), QColor(255, 0, 0));
    bool green = false;
    for (int x = 0; x < 200 && !green; ++x)
        green = shot.pixelColor(x, 30) == QColor(0, 255, 0);
    EXPECT_TRUE(green);
}

} // namespace
