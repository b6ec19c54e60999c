#include "controls/MyStatic.h"
#include "controls/PanelStatic.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cstdlib>
#include <string>

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

// The label as it drew itself before it kept pictures: the fill, the text's cells, drawText.
QImage DrawnByHand(const CStaticPictures::Look& look, qreal ratio = 1) {
    QImage image(look.size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    const QRect rect(QPoint(0, 0), look.size);
    painter.fillRect(rect, QColor(look.fill));
    painter.setFont(look.font);
    if (!look.text.isEmpty() && look.textBack != look.fill)
        painter.fillRect(painter.boundingRect(rect, look.flags, look.text), QColor(look.textBack));
    painter.setPen(QColor(look.textColour));
    painter.drawText(rect, look.flags, look.text);
    return image;
}

// "alike", or where and how far two pictures of a label differ. Filled outlines are not quite the same
// moved by whole pixels (drawText itself rounds a few edge pixels of a 100-pixel digit a level apart one
// pixel further on), so a kept glyph may show a few edge pixels a level or two apart; a glyph misplaced by
// 1/64 pixel, a wrong colour or a stale text differs in hundreds.
std::string Compare(const QImage& shown, const QImage& expected) {
    if (shown.size() != expected.size())
        return "another size";
    QRect apart;
    int most = 0, pixels = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb p = shown.pixel(x, y), q = expected.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            if (d > 1) {
                apart |= QRect(x, y, 1, 1);
                ++pixels;
            }
            most = std::max(most, d);
        }
    if (most <= 4 && pixels <= 16)
        return "alike";
    return "apart by up to " + std::to_string(most) + " on " + std::to_string(pixels) + " pixels in " +
           std::to_string(apart.x()) + "," + std::to_string(apart.y()) + " " + std::to_string(apart.width()) +
           "x" + std::to_string(apart.height());
}

QImage Shown(CMyStatic& label) {
    return label.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QFont Font(int pixels, bool bold) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A label dressed as the screens dress theirs: its own font, colours and format.
struct Dressed {
    explicit Dressed(const QFont& font) : own(font) {
        label.setFont(own);
        label.m_pFont = &own;
    }
    void Dress(QSize size, int format, COLORREF text, COLORREF back, COLORREF fill) {
        label.resize(size);
        label.m_nFormat = static_cast<UINT>(format);
        label.m_crText = text;
        label.m_crTextBk = back;
        label.m_crFill = fill;
    }
    QFont own;
    CMyStatic label;
};

TEST(StaticTest, AKeptPictureShowsWhatTheFillAndDrawTextShowWhenFirstAndAgainPainted) {
    using namespace DrawFormat;
    const int centred = Center | VCenter | SingleLine;
    const struct {
        const char* text;
        int pixels;
        bool bold;
        QSize size;
        int format;
        COLORREF textColour, back, fill;
    } cases[] = {
        {"0", 100, true, {228, 112}, centred, 0xFFFFFF, 0xB8560D, 0xB8560D}, // a score
        {" 5", 100, true, {228, 112}, centred, 0xFFFFFF, 0x2A1BC8, 0x2A1BC8},
        {"17", 100, true, {228, 112}, centred, 0x00D7FF, 0xB8560D, 0xB8560D},
        {"109", 100, true, {228, 112}, centred, 0xFFFFFF, 0xB8560D, 0xB8560D},
        {"11", 100, true, {228, 112}, centred, 0xFFFFFF, 0xB8560D, 0xB8560D},
        {"1:23", 140, true, {187, 90}, centred, 0x000000, 0x00FFFF, 0x00FFFF}, // wider than the label
        {"0.45", 60, true, {187, 90}, centred, 0x000000, 0x00FFFF, 0x00FFFF},
        {"12", 16, true, {29, 20}, centred, 0x000000, 0xFFFFFF, 0xFFFFFF}, // a cell of the round grid
        {"7", 16, true, {29, 20}, centred, 0x000000, 0xEEEEFF, 0xEEEEFF},
        {"-3", 22, true, {32, 20}, Right | Bottom | SingleLine, 0x000000, 0xFFFFFF, 0xFFFFFF},
        {"2/3", 25, false, {90, 56}, Left | SingleLine, 0xFFFFFF, 0x202020, 0x202020},
        {"5 ", 46, true, {90, 56}, centred, 0xFFFFFF, 0x202020, 0x202020}, // a trailing space
        {"Hit Count", 29, false, {155, 30}, centred, 0xC0B2AA, 0x2A2018, 0x2A2018},
        {"KIM MINJUN", 46, true, {510, 63}, centred, 0xFFFFFF, 0xB8560D, 0xB8560D},
        {"\uAE40\uBBFC\uC900", 46, true, {510, 63}, centred, 0xFFFFFF, 0xB8560D, 0xB8560D}, // Hangul
        {"TAG", 26, true, {200, 60}, centred, 0xFFFFFF, 0x00FF00, 0x0000FF}, // cells apart from the fill
        {"", 26, true, {200, 60}, centred, 0xFFFFFF, 0x00FF00, 0x0000FF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Dressed dressed(Font(c.pixels, c.bold));
        dressed.Dress(c.size, c.format, c.textColour, c.back, c.fill);
        dressed.label.SetText(QString::fromUtf8(c.text));
        const QImage expected = DrawnByHand(dressed.label.CurrentLook());
        EXPECT_EQ(Compare(Shown(dressed.label), expected), "alike") << "first paint";
        EXPECT_EQ(Compare(Shown(dressed.label), expected), "alike") << "painted again";
    }
}

TEST(StaticTest, AChangeOfTextColourFontSizeOrFormatIsNeverShownFromAnOlderPicture) {
    using namespace DrawFormat;
    QFont small = Font(16, true);
    const struct {
        const char* what;
        void (*change)(Dressed&, QFont&);
    } cases[] = {
        {"the text", [](Dressed& d, QFont&) { d.label.SetText(QStringLiteral("13")); }},
        {"the text colour", [](Dressed& d, QFont&) { d.label.m_crText = 0x00D7FF; }},
        {"the fill", [](Dressed& d, QFont&) { d.label.m_crFill = d.label.m_crTextBk = 0x2A1BC8; }},
        {"the text background", [](Dressed& d, QFont&) { d.label.m_crTextBk = 0x00FF00; }},
        {"the font", [](Dressed& d, QFont& other) { d.label.m_pFont = &other; }},
        {"the font's size", [](Dressed& d, QFont&) { d.own.setPixelSize(99); }},
        {"the size", [](Dressed& d, QFont&) { d.label.resize(229, 112); }},
        {"the format", [](Dressed& d, QFont&) { d.label.m_nFormat = Right | Bottom | SingleLine; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Dressed dressed(Font(100, true));
        dressed.Dress({228, 112}, Center | VCenter | SingleLine, 0xFFFFFF, 0xB8560D, 0xB8560D);
        dressed.label.SetText(QStringLiteral("12"));
        const QImage before = Shown(dressed.label);
        c.change(dressed, small);
        const QImage after = Shown(dressed.label);
        EXPECT_NE(Compare(after, before), "alike");
        EXPECT_EQ(Compare(after, DrawnByHand(dressed.label.CurrentLook())), "alike");
    }
}

TEST(StaticTest, AScaledPainterGetsTheLabelDrawnAtItsScaleNotAPictureStretched) {
    Dressed dressed(Font(100, true));
    dressed.Dress({228, 112}, DrawFormat::Center | DrawFormat::VCenter | DrawFormat::SingleLine, 0xFFFFFF,
                  0xB8560D, 0xB8560D);
    dressed.label.SetText(QStringLiteral("12"));
    (void)Shown(dressed.label); // the picture at one pixel per pixel is kept
    for (const qreal ratio : {1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        QImage rendered(dressed.label.size() * ratio, QImage::Format_RGB32);
        rendered.setDevicePixelRatio(ratio);
        dressed.label.render(&rendered);
        EXPECT_EQ(Compare(rendered, DrawnByHand(dressed.label.CurrentLook(), ratio)), "alike");
    }
}

TEST(StaticTest, ThePicturesKeptStayWithinTheirBoundWhateverTheLabelsShow) {
    Dressed dressed(Font(100, true));
    dressed.Dress({228, 112}, DrawFormat::Center | DrawFormat::VCenter | DrawFormat::SingleLine, 0xFFFFFF,
                  0xB8560D, 0xB8560D);
    CStaticPictures& pictures = CStaticPictures::Shared();
    // Texts kept as whole pictures (100 KB each), then numbers in many colours (their glyphs kept).
    for (int n = 0; n < 120; ++n) {
        dressed.label.SetText(QStringLiteral("KIM %1").arg(n));
        (void)dressed.label.grab();
        (void)dressed.label.grab(); // shown again: kept
        ASSERT_LE(pictures.Bytes(), CStaticPictures::kMaxBytes);
    }
    for (int n = 0; n < 200; ++n) {
        dressed.label.m_crText = static_cast<COLORREF>(0x010203 * n);
        dressed.label.SetText(QString::number(n % 10 + 20));
        (void)dressed.label.grab();
        ASSERT_LE(pictures.GlyphsKept(), CStaticPictures::kGlyphsKept);
    }
    EXPECT_GT(pictures.Bytes(), CStaticPictures::kMaxBytes / 2) << "the pictures shown again are kept";
    EXPECT_EQ(Compare(Shown(dressed.label), DrawnByHand(dressed.label.CurrentLook())), "alike");
    dressed.label.SetText(QStringLiteral("KIM 119"));
    EXPECT_EQ(Compare(Shown(dressed.label), DrawnByHand(dressed.label.CurrentLook())), "alike");
}

} // namespace
