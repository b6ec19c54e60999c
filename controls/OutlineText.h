// Outline text: a string turned into the vector path of its glyphs, stroked with one or more pens and then
// filled. How the path is stroked and filled is an interchangeable strategy; an optional shadow is drawn
// first with a second strategy at an offset, and may be composited onto a background picture.
//
// Drawing goes through QPainter, so it works on a widget and headless on a QImage alike. Sizes are pixels.
// Colours are 32-bit ARGB (0xFF000000 opaque black, 0x00000000 fully transparent).
//
// Thread: any, one object per thread (a strategy holds no painter; text paths need the font database,
// which Qt allows off the UI thread for QImage targets).
#pragma once

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QPainterPath;

namespace TextOutline {

using Argb = std::uint32_t;

// Font style bits, as a text string's weight and slant are usually given.
enum FontStyle : int {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleBoldItalic = 3,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8,
};

// Where the text sits against its origin: horizontally left, centred or right of the point (or within the
// rectangle); its top is always at the origin's y.
struct StringFormat {
    Qt::Alignment horizontal = Qt::AlignLeft;
};

// The extent of a text measured by a strategy, in pixels.
struct TextExtent {
    float startX = 0, startY = 0, width = 0, height = 0;
};

// One way of stroking and filling a text path. Every operation returns false when the path cannot be built
// (or, when measuring, has no points) and draws nothing then.
class ITextStrategy {
public:
    virtual ~ITextStrategy() = default;
    // A new strategy of the same class with the same settings (a borrowed brush stays borrowed).
    virtual std::unique_ptr<ITextStrategy> Clone() const = 0;

    // The string with a font family, style bits and pixel size, laid out in a rectangle or from a point.
    bool DrawString(QPainter& graphics, const QString& family, int fontStyle, int fontSize,
                    const QString& text, const QRectF& layout, const StringFormat& format);
    bool DrawString(QPainter& graphics, const QString& family, int fontStyle, int fontSize,
                    const QString& text, QPointF origin, const StringFormat& format);
    // The string with a ready-made font: centred horizontally in the rectangle, or with its top-left at the
    // point. These paths use the non-zero (winding) fill rule.
    bool GdiDrawString(QPainter& graphics, const QFont& font, const QString& text, const QRectF& rect);
    bool GdiDrawString(QPainter& graphics, const QFont& font, const QString& text, QPointF origin);

    // Extent from the call's origin: start = lowest x and y of the path; width = highest x - origin x (plus
    // the distance of the lowest x below 0 when negative), height alike; then the stroke allowance added.
    bool MeasureString(QPainter* graphics, const QString& family, int fontStyle, int fontSize,
                       const QString& text, const QRectF& layout, const StringFormat& format,
                       TextExtent* out);
    bool MeasureString(QPainter* graphics, const QString& family, int fontStyle, int fontSize,
                       const QString& text, QPointF origin, const StringFormat& format, TextExtent* out);
    bool GdiMeasureString(QPainter* graphics, const QFont& font, const QString& text, const QRectF& rect,
                          TextExtent* out);
    bool GdiMeasureString(QPainter* graphics, const QFont& font, const QString& text, QPointF origin,
                          TextExtent* out);
    // The outline extent: start as above, width and height the path's own span, plus the stroke allowance.
    bool GdiMeasureStringOutline(QPainter* graphics, const QFont& font, const QString& text,
                                 const QRectF& rect, TextExtent* out);
    bool GdiMeasureStringOutline(QPainter* graphics, const QFont& font, const QString& text, QPointF origin,
                                 TextExtent* out);

    // Strokes and fills a built path; true when the fill was made (or, for a strategy that does not fill,
    // whenever the path was built).
    virtual bool Render(QPainter& graphics, const QPainterPath& path) const = 0;
    // What the strokes add to a measured width and height.
    virtual int StrokeAllowance() const = 0;
};

// Shared by the strategies that fill with a solid colour or with a borrowed brush.
class TextFill {
public:
    void SetTextColour(Argb colour) {
        m_textColour = colour;
        m_useTextColour = true;
    }
    void SetTextBrush(const QBrush* brush) {
        m_brush = brush;
        m_useTextColour = false;
    }
    Argb TextColour() const { return m_textColour; }
    const QBrush* TextBrush() const { return m_brush; }
    bool UsesTextColour() const { return m_useTextColour; }

protected:
    bool Fill(QPainter& graphics, const QPainterPath& path) const;

private:
    Argb m_textColour = 0xFF000000;
    const QBrush* m_brush = nullptr; // borrowed: the caller keeps it alive while the strategy may draw
    bool m_useTextColour = true;
};

// One outline pen, then the fill.
class TextOutlineStrategy : public ITextStrategy, public TextFill {
public:
    void Init(Argb textColour, Argb outlineColour, int thickness);
    void Init(const QBrush* brush, Argb outlineColour, int thickness);
    std::unique_ptr<ITextStrategy> Clone() const override;
    bool Render(QPainter& graphics, const QPainterPath& path) const override;
    int StrokeAllowance() const override { return m_thickness; }
    Argb OutlineColour() const { return m_outlineColour; }
    int Thickness() const { return m_thickness; }

private:
    int m_thickness = 2;
    Argb m_outlineColour = 0xFF000000;
};

// Pens of the glow colour from width 1 up to the thickness (a translucent colour builds a soft edge).
class TextGlowStrategy : public ITextStrategy, public TextFill {
public:
    void Init(Argb textColour, Argb glowColour, int thickness);
    void Init(const QBrush* brush, Argb glowColour, int thickness);
    std::unique_ptr<ITextStrategy> Clone() const override;
    bool Render(QPainter& graphics, const QPainterPath& path) const override;
    int StrokeAllowance() const override { return m_thickness; }

private:
    int m_thickness = 2;
    Argb m_glowColour = 0xFF000000;
};

// Pens from the thickness down to width 1, coloured from gradient colour 2 (widest) to colour 1 (narrowest).
class TextGradOutlineStrategy : public ITextStrategy, public TextFill {
public:
    void Init(Argb textColour, Argb gradient1, Argb gradient2, int thickness);
    void Init(const QBrush* brush, Argb gradient1, Argb gradient2, int thickness);
    std::unique_ptr<ITextStrategy> Clone() const override;
    bool Render(QPainter& graphics, const QPainterPath& path) const override;
    int StrokeAllowance() const override { return m_thickness; }
    // The pen colours by width - 1: entry 0 is gradient colour 1, the last colour 2; all opaque.
    std::vector<Argb> GradientEntries() const;

private:
    int m_thickness = 2;
    Argb m_gradient1 = 0xFF000000;
    Argb m_gradient2 = 0xFF000000;
};

// Only the outline; round joins on request, mitred otherwise.
class TextOnlyOutlineStrategy : public ITextStrategy {
public:
    void Init(Argb outlineColour, int thickness, bool roundJoins);
    std::unique_ptr<ITextStrategy> Clone() const override;
    bool Render(QPainter& graphics, const QPainterPath& path) const override;
    int StrokeAllowance() const override { return m_thickness; }

private:
    int m_thickness = 2;
    Argb m_outlineColour = 0xFF000000;
    bool m_roundJoins = false;
};

// Only the fill.
class TextNoOutlineStrategy : public ITextStrategy, public TextFill {
public:
    void Init(Argb textColour);
    void Init(const QBrush* brush);
    std::unique_ptr<ITextStrategy> Clone() const override;
    bool Render(QPainter& graphics, const QPainterPath& path) const override;
    int StrokeAllowance() const override { return 0; }
};

// An outer pen of inner + outer thickness, then an inner pen of the inner thickness, then the fill.
class TextDblOutlineStrategy : public ITextStrategy, public TextFill {
public:
    void Init(Argb textColour, Argb innerColour, Argb outerColour, int innerThickness, int outerThickness);
    void Init(const QBrush* brush, Argb innerColour, Argb outerColour, int innerThickness,
              int outerThickness);
    std::unique_ptr<ITextStrategy> Clone() const override;
    bool Render(QPainter& graphics, const QPainterPath& path) const override;
    int StrokeAllowance() const override { return m_innerThickness + m_outerThickness; }

private:
    Argb m_innerColour = 0xFF000000;
    Argb m_outerColour = 0xFF000000;
    int m_innerThickness = 2;
    int m_outerThickness = 2;
};

// Glow pens from the outline thickness up to outline + glow thickness, then the outline pen, then the fill.
class TextDblGlowStrategy : public ITextStrategy, public TextFill {
public:
    void Init(Argb textColour, Argb outlineColour, Argb glowColour, int outlineThickness, int glowThickness);
    void Init(const QBrush* brush, Argb outlineColour, Argb glowColour, int outlineThickness,
              int glowThickness);
    std::unique_ptr<ITextStrategy> Clone() const override;
    bool Render(QPainter& graphics, const QPainterPath& path) const override;
    int StrokeAllowance() const override { return m_outlineThickness + m_glowThickness; }

private:
    Argb m_outlineColour = 0xFF000000;
    Argb m_glowColour = 0xFF000000;
    int m_outlineThickness = 2;
    int m_glowThickness = 2;
};

// `under` and `over` blended by alpha (255 gives `over`), each channel (over x a + under x (255 - a)) >> 8,
// the result opaque.
Argb BlendColor(Argb under, Argb over, int alpha);

// The renderer: one text strategy, an optional shadow.
class IOutlineText {
public:
    virtual ~IOutlineText() = default;
};

class OutlineText : public IOutlineText {
public:
    // Each Select replaces the text strategy.
    void SelectGlow(const QBrush* brush, Argb glowColour, int thickness);
    void SelectGlow(Argb textColour, Argb glowColour, int thickness);
    void SelectOutline(const QBrush* brush, Argb outlineColour, int thickness);
    void SelectOutline(Argb textColour, Argb outlineColour, int thickness);
    void SelectDblOutline(const QBrush* brush, Argb innerColour, Argb outerColour, int innerThickness,
                          int outerThickness);
    void SelectDblOutline(Argb textColour, Argb innerColour, Argb outerColour, int innerThickness,
                          int outerThickness);
    void SelectDblGlow(const QBrush* brush, Argb outlineColour, Argb glowColour, int outlineThickness,
                       int glowThickness);
    void SelectDblGlow(Argb textColour, Argb outlineColour, Argb glowColour, int outlineThickness,
                       int glowThickness);
    void SelectGradOutline(const QBrush* brush, Argb gradient1, Argb gradient2, int thickness);
    void SelectGradOutline(Argb textColour, Argb gradient1, Argb gradient2, int thickness);
    void SelectNoOutline(const QBrush* brush);
    void SelectNoOutline(Argb textColour);
    void SelectOnlyOutline(Argb outlineColour, int thickness, bool roundJoins);

    // A new ARGB picture of the size filled with the colour becomes the shadow's background.
    void CreateShadowBackground(Argb colour, int width, int height);
    void SetShadowBackground(std::shared_ptr<QImage> background);
    void EnableShadow(bool enable) { m_shadowEnabled = enable; }
    // The shadow is the text's outline stroked in the shadow colour at the thickness, moved by the offset.
    // It does not switch the shadow on.
    void SetShadow(Argb colour, int thickness, int offsetX, int offsetY);

    // Shadow first (when enabled), then the text; the text strategy's result (false without one).
    bool DrawString(QPainter& graphics, const QString& family, int fontStyle, int fontSize,
                    const QString& text, const QRectF& layout, const StringFormat& format);
    bool DrawString(QPainter& graphics, const QString& family, int fontStyle, int fontSize,
                    const QString& text, QPointF origin, const StringFormat& format);
    bool GdiDrawString(QPainter& graphics, const QFont& font, const QString& text, const QRectF& rect);
    bool GdiDrawString(QPainter& graphics, const QFont& font, const QString& text, QPointF origin);

    // The text's extent, or the shadow's (plus its offset) when that is at least as wide and as high.
    bool MeasureString(QPainter* graphics, const QString& family, int fontStyle, int fontSize,
                       const QString& text, const QRectF& layout, const StringFormat& format,
                       TextExtent* out);
    bool MeasureString(QPainter* graphics, const QString& family, int fontStyle, int fontSize,
                       const QString& text, QPointF origin, const StringFormat& format, TextExtent* out);
    bool GdiMeasureString(QPainter* graphics, const QFont& font, const QString& text, const QRectF& rect,
                          TextExtent* out);
    bool GdiMeasureString(QPainter* graphics, const QFont& font, const QString& text, QPointF origin,
                          TextExtent* out);
    bool GdiMeasureStringOutline(QPainter* graphics, const QFont& font, const QString& text,
                                 const QRectF& rect, TextExtent* out);
    bool GdiMeasureStringOutline(QPainter* graphics, const QFont& font, const QString& text, QPointF origin,
                                 TextExtent* out);

    bool ShadowEnabled() const { return m_shadowEnabled; }
    const ITextStrategy* TextStrategy() const { return m_text.get(); }

private:
    // One draw or measure form: a call on a strategy with the origin moved by (dx, dy).
    using DrawForm = std::function<bool(QPainter&, ITextStrategy&, double dx, double dy)>;
    using MeasureForm = std::function<bool(ITextStrategy&, TextExtent*)>;
    bool DrawWithShadow(QPainter& graphics, const DrawForm& draw);
    bool MeasureWithShadow(QPainter* graphics, const MeasureForm& measure, TextExtent* out);
    void DrawShadowOnBackground(QPainter& graphics, const DrawForm& draw);

    std::shared_ptr<ITextStrategy> m_text;
    std::shared_ptr<ITextStrategy> m_shadow;
    std::shared_ptr<ITextStrategy> m_shadowMask;
    int m_shadowOffsetX = 0;
    int m_shadowOffsetY = 0;
    Argb m_shadowColour = 0xFF000000;
    std::shared_ptr<QImage> m_shadowBackground;
    bool m_shadowEnabled = false;
};

} // namespace TextOutline
