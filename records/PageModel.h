// One printed page laid out in inches from the top-left corner of its printable area, whatever the
// resolution of the device. A layout made for 8 inches of width is centred on wider paper. Texts are drawn
// with a face, a point size and text flags; lines and boxes with pens and stock fills.
// User-interface thread only (it paints through a QPainter).
#pragma once

#include <QRect>
#include <QStringList>

#include <string>
#include <string_view>

class QPainter;

// Text flags of PrintText.
namespace PageText {
enum : int {
    Bold = 0x001,
    Italic = 0x002,
    Underline = 0x004,
    StrikeOut = 0x008,
    Right = 0x040,
    Centre = 0x080, // wins over Right
    ExpandTabs = 0x100,
    SingleLine = 0x200, // else words wrap
    NoClip = 0x400,
    VCentre = 0x800,
    Keep = 0xFFFF, // keeps the current flags
};
}
// Fill flags (first set bit in this order): gray, light gray, dark gray, black; none is hollow.
namespace PageFill {
enum : int { Gray = 0x1, LightGray = 0x2, DarkGray = 0x4, Black = 0x8 };
}
// Line flags: dotted, dashed, dash-dot, dash-dot-dot (dashed wins over dotted); none is solid. A box's
// border takes dotted and dashed only.
namespace PageLine {
enum : int { Dotted = 0x1, Dashed = 0x2, DashDot = 0x10, DashDotDot = 0x20 };
}

class CPage {
public:
    // painter draws on the device; printRect is the printable area in device pixels with its origin where
    // the painter's is; dpiX and dpiY are the device's pixels per inch.
    CPage(QPainter& painter, const QRect& printRect, int dpiX, int dpiY, bool landscape = false);

    // Draws text with its top-left corner at (row, column); a size of 0 or less keeps the current size.
    // Returns the row below the text (its bottom plus the line spacing); 0 when nothing was drawn.
    double PrintText(double row, double column, int flags, int pointSize, std::u16string_view text);
    void DrawLine(double top, double left, double bottom, double right, int penWidth, int lineFlags);
    void DrawBox(double top, double left, double bottom, double right, int penWidth, int fillFlags,
                 int borderFlags);
    // The current face and size change for the texts that follow; each returns the previous one.
    std::u16string SetFontFace(std::u16string_view face);
    int SetFontSize(int pointSize);

    // Inches to device pixels: 0 or less gives 0.
    int Row(double inches) const;
    int Column(double inches) const;
    // Pixels every x position moves right to centre the layout on wide paper.
    int Offset() const { return m_offset; }
    double WidthInches() const { return m_widthInches; }
    double HeightInches() const { return m_heightInches; }
    // The area the last text took, in device pixels.
    QRect LastTextExtent() const { return m_lastExtent; }

    // The installed families that print a face the layouts name; a Korean CJK family is always among them.
    static QStringList FamiliesOf(std::u16string_view face);

private:
    QPainter& m_painter;
    int m_dpiX;
    int m_dpiY;
    int m_right; // printable right and bottom, device pixels
    int m_bottom;
    double m_widthInches;
    double m_heightInches;
    int m_offset = 0;
    double m_spacing = 1.4;
    int m_pointSize = 10;
    int m_textFlags = PageText::NoClip | PageText::SingleLine;
    std::u16string m_face = u"Times New Roman";
    QRect m_lastExtent;
};
