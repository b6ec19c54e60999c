#include "controls/OutlineText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <optional>

namespace TextOutline {

namespace {

QColor Colour(Argb argb) {
    return QColor::fromRgba(argb);
}

QFont MakeFont(const QString& family, int fontStyle, int fontSize) {
    QFont font(family);
    font.setPixelSize(std::max(1, fontSize));
    font.setBold((fontStyle & FontStyleBold) != 0);
    font.setItalic((fontStyle & FontStyleItalic) != 0);
    font.setUnderline((fontStyle & FontStyleUnderline) != 0);
    font.setStrikeOut((fontStyle & FontStyleStrikeout) != 0);
    return font;
}

// Where a line starts horizontally: against a point (left, centred on it or ending at it) or a rectangle.
double LineX(double left, double width, double lineWidth, Qt::Alignment align) {
    if (align & Qt::AlignHCenter)
        return left + (width - lineWidth) / 2;
    if (align & Qt::AlignRight)
        return left + width - lineWidth;
    return left;
}

// The glyph outlines of the text, one line per "\n", the first line's top at `top`.
std::optional<QPainterPath> TextPath(const QFont& font, const QString& text, double left, double top,
                                     double width, Qt::Alignment align, Qt::FillRule rule) {
    if (font.pixelSize() <= 0)
        return std::nullopt;
    const QFontMetricsF metrics(font);
    QPainterPath path;
    path.setFillRule(rule);
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        line.remove(u'\r');
        const double x = LineX(left, width, metrics.horizontalAdvance(line), align);
        path.addText(QPointF(x, top + i * metrics.lineSpacing() + metrics.ascent()), font, line);
    }
    return path;
}

std::optional<QPainterPath> PathAt(const QString& family, int style, int size, const QString& text,
                                   QPointF origin, const StringFormat& format) {
    if (size <= 0)
        return std::nullopt;
    return TextPath(MakeFont(family, style, size), text, origin.x(), origin.y(), 0, format.horizontal,
                    Qt::OddEvenFill);
}

std::optional<QPainterPath> PathIn(const QString& family, int style, int size, const QString& text,
                                   const QRectF& layout, const StringFormat& format) {
    if (size <= 0)
        return std::nullopt;
    return TextPath(MakeFont(family, style, size), text, layout.x(), layout.y(), layout.width(),
                    format.horizontal, Qt::OddEvenFill);
}

QPen Pen(Argb colour, int width, Qt::PenJoinStyle join = Qt::RoundJoin) {
    QPen pen(Colour(colour), width);
    pen.setJoinStyle(join);
    return pen;
}

// A pen of width 0 strokes nothing (the fill alone shows the text).
void Stroke(QPainter& graphics, const QPainterPath& path, const QPen& pen) {
    if (pen.widthF() > 0)
        graphics.strokePath(path, pen);
}

enum class ExtentKind { Origin, Outline };

bool Extent(QPainter* graphics, const std::optional<QPainterPath>& path, QPointF origin, ExtentKind kind,
            int allowance, TextExtent* out) {
    if (!graphics || !out || !path || path->isEmpty())
        return false;
    double minX = path->elementAt(0).x, maxX = minX, minY = path->elementAt(0).y, maxY = minY;
    for (int i = 1; i < path->elementCount(); ++i) {
        const QPainterPath::Element e = path->elementAt(i);
        minX = std::min(minX, e.x);
        maxX = std::max(maxX, e.x);
        minY = std::min(minY, e.y);
        maxY = std::max(maxY, e.y);
    }
    TextExtent extent;
    extent.startX = static_cast<float>(minX);
    extent.startY = static_cast<float>(minY);
    if (kind == ExtentKind::Origin) {
        extent.width = static_cast<float>(maxX - origin.x() + (minX < 0 ? -minX : 0));
        extent.height = static_cast<float>(maxY - origin.y() + (minY < 0 ? -minY : 0));
    } else {
        // The path's own span: the origin plays no part in it.
        extent.width = static_cast<float>(maxX - minX);
        extent.height = static_cast<float>(maxY - minY);
    }
    extent.width += static_cast<float>(allowance);
    extent.height += static_cast<float>(allowance);
    *out = extent;
    return true;
}

Argb Opaque(Argb colour) {
    return colour | 0xFF000000u;
}

} // namespace

// ---- strategies: building the path ----

bool ITextStrategy::DrawString(QPainter& graphics, const QString& family, int fontStyle, int fontSize,
                               const QString& text, const QRectF& layout, const StringFormat& format) {
    const auto path = PathIn(family, fontStyle, fontSize, text, layout, format);
    return path && Render(graphics, *path);
}

bool ITextStrategy::DrawString(QPainter& graphics, const QString& family, int fontStyle, int fontSize,
                               const QString& text, QPointF origin, const StringFormat& format) {
    const auto path = PathAt(family, fontStyle, fontSize, text, origin, format);
    return path && Render(graphics, *path);
}

bool ITextStrategy::GdiDrawString(QPainter& graphics, const QFont& font, const QString& text,
                                  const QRectF& rect) {
    const auto path =
        TextPath(font, text, rect.x(), rect.y(), rect.width(), Qt::AlignHCenter, Qt::WindingFill);
    return path && Render(graphics, *path);
}

bool ITextStrategy::GdiDrawString(QPainter& graphics, const QFont& font, const QString& text,
                                  QPointF origin) {
    const auto path = TextPath(font, text, origin.x(), origin.y(), 0, Qt::AlignLeft, Qt::WindingFill);
    return path && Render(graphics, *path);
}

bool ITextStrategy::MeasureString(QPainter* graphics, const QString& family, int fontStyle, int fontSize,
                                  const QString& text, const QRectF& layout, const StringFormat& format,
                                  TextExtent* out) {
    return Extent(graphics, PathIn(family, fontStyle, fontSize, text, layout, format), layout.topLeft(),
                  ExtentKind::Origin, StrokeAllowance(), out);
}

bool ITextStrategy::MeasureString(QPainter* graphics, const QString& family, int fontStyle, int fontSize,
                                  const QString& text, QPointF origin, const StringFormat& format,
                                  TextExtent* out) {
    return Extent(graphics, PathAt(family, fontStyle, fontSize, text, origin, format), origin,
                  ExtentKind::Origin, StrokeAllowance(), out);
}

bool ITextStrategy::GdiMeasureString(QPainter* graphics, const QFont& font, const QString& text,
                                     const QRectF& rect, TextExtent* out) {
    return Extent(graphics,
                  TextPath(font, text, rect.x(), rect.y(), rect.width(), Qt::AlignHCenter, Qt::WindingFill),
                  rect.topLeft(), ExtentKind::Origin, StrokeAllowance(), out);
}

bool ITextStrategy::GdiMeasureString(QPainter* graphics, const QFont& font, const QString& text,
                                     QPointF origin, TextExtent* out) {
    return Extent(graphics, TextPath(font, text, origin.x(), origin.y(), 0, Qt::AlignLeft, Qt::WindingFill),
                  origin, ExtentKind::Origin, StrokeAllowance(), out);
}

bool ITextStrategy::GdiMeasureStringOutline(QPainter* graphics, const QFont& font, const QString& text,
                                            const QRectF& rect, TextExtent* out) {
    return Extent(graphics,
                  TextPath(font, text, rect.x(), rect.y(), rect.width(), Qt::AlignHCenter, Qt::WindingFill),
                  rect.topLeft(), ExtentKind::Outline, StrokeAllowance(), out);
}

bool ITextStrategy::GdiMeasureStringOutline(QPainter* graphics, const QFont& font, const QString& text,
                                            QPointF origin, TextExtent* out) {
    return Extent(graphics, TextPath(font, text, origin.x(), origin.y(), 0, Qt::AlignLeft, Qt::WindingFill),
                  origin, ExtentKind::Outline, StrokeAllowance(), out);
}

bool TextFill::Fill(QPainter& graphics, const QPainterPath& path) const {
    if (m_useTextColour) {
        graphics.fillPath(path, QBrush(Colour(m_textColour)));
        return true;
    }
    if (!m_brush)
        return false;
    graphics.fillPath(path, *m_brush);
    return true;
}

// ---- the seven strategies ----

void TextOutlineStrategy::Init(Argb textColour, Argb outlineColour, int thickness) {
    SetTextColour(textColour);
    m_outlineColour = outlineColour;
    m_thickness = thickness;
}

void TextOutlineStrategy::Init(const QBrush* brush, Argb outlineColour, int thickness) {
    SetTextBrush(brush);
    m_outlineColour = outlineColour;
    m_thickness = thickness;
}

std::unique_ptr<ITextStrategy> TextOutlineStrategy::Clone() const {
    return std::make_unique<TextOutlineStrategy>(*this);
}

bool TextOutlineStrategy::Render(QPainter& graphics, const QPainterPath& path) const {
    Stroke(graphics, path, Pen(m_outlineColour, m_thickness));
    return Fill(graphics, path);
}

void TextGlowStrategy::Init(Argb textColour, Argb glowColour, int thickness) {
    SetTextColour(textColour);
    m_glowColour = glowColour;
    m_thickness = thickness;
}

void TextGlowStrategy::Init(const QBrush* brush, Argb glowColour, int thickness) {
    SetTextBrush(brush);
    m_glowColour = glowColour;
    m_thickness = thickness;
}

std::unique_ptr<ITextStrategy> TextGlowStrategy::Clone() const {
    return std::make_unique<TextGlowStrategy>(*this);
}

bool TextGlowStrategy::Render(QPainter& graphics, const QPainterPath& path) const {
    for (int width = 1; width <= m_thickness; ++width)
        Stroke(graphics, path, Pen(m_glowColour, width));
    return Fill(graphics, path);
}

void TextGradOutlineStrategy::Init(Argb textColour, Argb gradient1, Argb gradient2, int thickness) {
    SetTextColour(textColour);
    m_gradient1 = Opaque(gradient1);
    m_gradient2 = Opaque(gradient2);
    m_thickness = thickness;
}

void TextGradOutlineStrategy::Init(const QBrush* brush, Argb gradient1, Argb gradient2, int thickness) {
    SetTextBrush(brush);
    m_gradient1 = Opaque(gradient1);
    m_gradient2 = Opaque(gradient2);
    m_thickness = thickness;
}

std::unique_ptr<ITextStrategy> TextGradOutlineStrategy::Clone() const {
    return std::make_unique<TextGradOutlineStrategy>(*this);
}

std::vector<Argb> TextGradOutlineStrategy::GradientEntries() const {
    std::vector<Argb> entries;
    const int n = std::max(0, m_thickness);
    for (int i = 0; i < n; ++i) {
        const double t = n == 1 ? 0.0 : static_cast<double>(i) / (n - 1);
        const auto channel = [&](int shift) {
            const int a = static_cast<int>((m_gradient1 >> shift) & 0xFF);
            const int b = static_cast<int>((m_gradient2 >> shift) & 0xFF);
            return static_cast<Argb>(a + (b - a) * t + 0.5) << shift;
        };
        entries.push_back(0xFF000000u | channel(16) | channel(8) | channel(0));
    }
    return entries;
}

bool TextGradOutlineStrategy::Render(QPainter& graphics, const QPainterPath& path) const {
    const std::vector<Argb> entries = GradientEntries();
    for (int width = m_thickness; width >= 1; --width)
        Stroke(graphics, path, Pen(entries[static_cast<std::size_t>(width - 1)], width));
    return Fill(graphics, path);
}

void TextOnlyOutlineStrategy::Init(Argb outlineColour, int thickness, bool roundJoins) {
    m_outlineColour = outlineColour;
    m_thickness = thickness;
    m_roundJoins = roundJoins;
}

std::unique_ptr<ITextStrategy> TextOnlyOutlineStrategy::Clone() const {
    return std::make_unique<TextOnlyOutlineStrategy>(*this);
}

bool TextOnlyOutlineStrategy::Render(QPainter& graphics, const QPainterPath& path) const {
    Stroke(graphics, path, Pen(m_outlineColour, m_thickness, m_roundJoins ? Qt::RoundJoin : Qt::MiterJoin));
    return true;
}

void TextNoOutlineStrategy::Init(Argb textColour) {
    SetTextColour(textColour);
}

void TextNoOutlineStrategy::Init(const QBrush* brush) {
    SetTextBrush(brush);
}

std::unique_ptr<ITextStrategy> TextNoOutlineStrategy::Clone() const {
    return std::make_unique<TextNoOutlineStrategy>(*this);
}

bool TextNoOutlineStrategy::Render(QPainter& graphics, const QPainterPath& path) const {
    return Fill(graphics, path);
}

void TextDblOutlineStrategy::Init(Argb textColour, Argb innerColour, Argb outerColour, int innerThickness,
                                  int outerThickness) {
    SetTextColour(textColour);
    m_innerColour = innerColour;
    m_outerColour = outerColour;
    m_innerThickness = innerThickness;
    m_outerThickness = outerThickness;
}

void TextDblOutlineStrategy::Init(const QBrush* brush, Argb innerColour, Argb outerColour, int innerThickness,
                                  int outerThickness) {
    SetTextBrush(brush);
    m_innerColour = innerColour;
    m_outerColour = outerColour;
    m_innerThickness = innerThickness;
    m_outerThickness = outerThickness;
}

std::unique_ptr<ITextStrategy> TextDblOutlineStrategy::Clone() const {
    return std::make_unique<TextDblOutlineStrategy>(*this);
}

bool TextDblOutlineStrategy::Render(QPainter& graphics, const QPainterPath& path) const {
    Stroke(graphics, path, Pen(m_outerColour, m_innerThickness + m_outerThickness));
    Stroke(graphics, path, Pen(m_innerColour, m_innerThickness));
    return Fill(graphics, path);
}

void TextDblGlowStrategy::Init(Argb textColour, Argb outlineColour, Argb glowColour, int outlineThickness,
                               int glowThickness) {
    SetTextColour(textColour);
    m_outlineColour = outlineColour;
    m_glowColour = glowColour;
    m_outlineThickness = outlineThickness;
    m_glowThickness = glowThickness;
}

void TextDblGlowStrategy::Init(const QBrush* brush, Argb outlineColour, Argb glowColour, int outlineThickness,
                               int glowThickness) {
    SetTextBrush(brush);
    m_outlineColour = outlineColour;
    m_glowColour = glowColour;
    m_outlineThickness = outlineThickness;
    m_glowThickness = glowThickness;
}

std::unique_ptr<ITextStrategy> TextDblGlowStrategy::Clone() const {
    return std::make_unique<TextDblGlowStrategy>(*this);
}

bool TextDblGlowStrategy::Render(QPainter& graphics, const QPainterPath& path) const {
    for (int width = m_outlineThickness; width <= m_outlineThickness + m_glowThickness; ++width)
        Stroke(graphics, path, Pen(m_glowColour, width));
    Stroke(graphics, path, Pen(m_outlineColour, m_outlineThickness));
    return Fill(graphics, path);
}

Argb BlendColor(Argb under, Argb over, int alpha) {
    if (alpha >= 255)
        return over;
    alpha = std::max(alpha, 0);
    const auto channel = [&](int shift) {
        const Argb o = (over >> shift) & 0xFF;
        const Argb u = (under >> shift) & 0xFF;
        return ((o * static_cast<Argb>(alpha) + u * static_cast<Argb>(255 - alpha)) >> 8) << shift;
    };
    return 0xFF000000u | channel(16) | channel(8) | channel(0);
}

// ---- the renderer ----

namespace {

template <typename Strategy, typename... Args> std::shared_ptr<ITextStrategy> Make(Args... args) {
    auto strategy = std::make_shared<Strategy>();
    strategy->Init(args...);
    return strategy;
}

} // namespace

void OutlineText::SelectGlow(const QBrush* brush, Argb glowColour, int thickness) {
    m_text = Make<TextGlowStrategy>(brush, glowColour, thickness);
}
void OutlineText::SelectGlow(Argb textColour, Argb glowColour, int thickness) {
    m_text = Make<TextGlowStrategy>(textColour, glowColour, thickness);
}
void OutlineText::SelectOutline(const QBrush* brush, Argb outlineColour, int thickness) {
    m_text = Make<TextOutlineStrategy>(brush, outlineColour, thickness);
}
void OutlineText::SelectOutline(Argb textColour, Argb outlineColour, int thickness) {
    m_text = Make<TextOutlineStrategy>(textColour, outlineColour, thickness);
}
void OutlineText::SelectDblOutline(const QBrush* brush, Argb innerColour, Argb outerColour,
                                   int innerThickness, int outerThickness) {
    m_text = Make<TextDblOutlineStrategy>(brush, innerColour, outerColour, innerThickness, outerThickness);
}
void OutlineText::SelectDblOutline(Argb textColour, Argb innerColour, Argb outerColour, int innerThickness,
                                   int outerThickness) {
    m_text =
        Make<TextDblOutlineStrategy>(textColour, innerColour, outerColour, innerThickness, outerThickness);
}
void OutlineText::SelectDblGlow(const QBrush* brush, Argb outlineColour, Argb glowColour,
                                int outlineThickness, int glowThickness) {
    m_text = Make<TextDblGlowStrategy>(brush, outlineColour, glowColour, outlineThickness, glowThickness);
}
void OutlineText::SelectDblGlow(Argb textColour, Argb outlineColour, Argb glowColour, int outlineThickness,
                                int glowThickness) {
    m_text =
        Make<TextDblGlowStrategy>(textColour, outlineColour, glowColour, outlineThickness, glowThickness);
}
void OutlineText::SelectGradOutline(const QBrush* brush, Argb gradient1, Argb gradient2, int thickness) {
    m_text = Make<TextGradOutlineStrategy>(brush, gradient1, gradient2, thickness);
}
void OutlineText::SelectGradOutline(Argb textColour, Argb gradient1, Argb gradient2, int thickness) {
    m_text = Make<TextGradOutlineStrategy>(textColour, gradient1, gradient2, thickness);
}
void OutlineText::SelectNoOutline(const QBrush* brush) {
    m_text = Make<TextNoOutlineStrategy>(brush);
}
void OutlineText::SelectNoOutline(Argb textColour) {
    m_text = Make<TextNoOutlineStrategy>(textColour);
}
void OutlineText::SelectOnlyOutline(Argb outlineColour, int thickness, bool roundJoins) {
    m_text = Make<TextOnlyOutlineStrategy>(outlineColour, thickness, roundJoins);
}

void OutlineText::CreateShadowBackground(Argb colour, int width, int height) {
    auto background =
        std::make_shared<QImage>(std::max(0, width), std::max(0, height), QImage::Format_ARGB32);
    background->fill(Colour(colour));
    m_shadowBackground = std::move(background);
}

void OutlineText::SetShadowBackground(std::shared_ptr<QImage> background) {
    m_shadowBackground = std::move(background);
}

void OutlineText::SetShadow(Argb colour, int thickness, int offsetX, int offsetY) {
    m_shadowColour = colour;
    m_shadowOffsetX = offsetX;
    m_shadowOffsetY = offsetY;
    m_shadow = Make<TextOutlineStrategy>(Argb{0x00000000}, colour, thickness);
    m_shadowMask = Make<TextOutlineStrategy>(Argb{0xFFFFFFFF}, Argb{0x00000000}, 0);
}

bool OutlineText::DrawWithShadow(QPainter& graphics, const DrawForm& draw) {
    if (m_shadowEnabled) {
        if (m_shadow)
            draw(graphics, *m_shadow, m_shadowOffsetX, m_shadowOffsetY);
        if (m_shadowEnabled && m_shadowBackground && m_shadowMask)
            DrawShadowOnBackground(graphics, draw);
    }
    return m_text ? draw(graphics, *m_text, 0, 0) : false;
}

void OutlineText::DrawShadowOnBackground(QPainter& graphics, const DrawForm& draw) {
    if (m_shadowBackground->isNull())
        return;
    const QImage base = m_shadowBackground->convertToFormat(QImage::Format_ARGB32);
    QImage mask = base.copy();
    QImage plain = base.copy();
    QImage shadow = base.copy();
    mask.fill(Qt::black);
    {
        QPainter onMask(&mask);
        onMask.setRenderHints(graphics.renderHints());
        onMask.setCompositionMode(graphics.compositionMode());
        draw(onMask, *m_shadowMask, m_shadowOffsetX, m_shadowOffsetY);
    }
    {
        QPainter onShadow(&shadow);
        onShadow.setRenderHints(graphics.renderHints());
        onShadow.setCompositionMode(graphics.compositionMode());
        draw(onShadow, *m_shadow, m_shadowOffsetX, m_shadowOffsetY);
    }
    const int alpha = static_cast<int>(m_shadowColour >> 24);
    for (int y = 0; y < base.height(); ++y) {
        const auto* m = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        const auto* p = reinterpret_cast<const QRgb*>(plain.constScanLine(y));
        auto* s = reinterpret_cast<QRgb*>(shadow.scanLine(y));
        for (int x = 0; x < base.width(); ++x) {
            if ((m[x] & 0xFF) == 0)
                continue;
            s[x] = alpha != 0 ? BlendColor(p[x], Opaque(m_shadowColour), alpha) : p[x];
        }
    }
    graphics.drawImage(QRect(0, 0, base.width(), base.height()), shadow);
}

bool OutlineText::DrawString(QPainter& graphics, const QString& family, int fontStyle, int fontSize,
                             const QString& text, const QRectF& layout, const StringFormat& format) {
    return DrawWithShadow(graphics, [&](QPainter& g, ITextStrategy& s, double dx, double dy) {
        return s.DrawString(g, family, fontStyle, fontSize, text, layout.translated(dx, dy), format);
    });
}

bool OutlineText::DrawString(QPainter& graphics, const QString& family, int fontStyle, int fontSize,
                             const QString& text, QPointF origin, const StringFormat& format) {
    return DrawWithShadow(graphics, [&](QPainter& g, ITextStrategy& s, double dx, double dy) {
        return s.DrawString(g, family, fontStyle, fontSize, text, origin + QPointF(dx, dy), format);
    });
}

bool OutlineText::GdiDrawString(QPainter& graphics, const QFont& font, const QString& text,
                                const QRectF& rect) {
    return DrawWithShadow(graphics, [&](QPainter& g, ITextStrategy& s, double dx, double dy) {
        return s.GdiDrawString(g, font, text, rect.translated(dx, dy));
    });
}

bool OutlineText::GdiDrawString(QPainter& graphics, const QFont& font, const QString& text, QPointF origin) {
    return DrawWithShadow(graphics, [&](QPainter& g, ITextStrategy& s, double dx, double dy) {
        return s.GdiDrawString(g, font, text, origin + QPointF(dx, dy));
    });
}

bool OutlineText::MeasureWithShadow(QPainter* graphics, const MeasureForm& measure, TextExtent* out) {
    if (!graphics || !out)
        return false;
    TextExtent text;
    if (m_text && !measure(*m_text, &text))
        return false;
    TextExtent shadow;
    if (m_shadowEnabled && m_shadow) {
        if (!measure(*m_shadow, &shadow))
            return false;
        shadow.width += static_cast<float>(m_shadowOffsetX);
        shadow.height += static_cast<float>(m_shadowOffsetY);
    }
    *out = text;
    if (shadow.width >= text.width && shadow.height >= text.height) {
        out->width = shadow.width;
        out->height = shadow.height;
    }
    return true;
}

bool OutlineText::MeasureString(QPainter* graphics, const QString& family, int fontStyle, int fontSize,
                                const QString& text, const QRectF& layout, const StringFormat& format,
                                TextExtent* out) {
    return MeasureWithShadow(
        graphics,
        [&](ITextStrategy& s, TextExtent* e) {
            return s.MeasureString(graphics, family, fontStyle, fontSize, text, layout, format, e);
        },
        out);
}

bool OutlineText::MeasureString(QPainter* graphics, const QString& family, int fontStyle, int fontSize,
                                const QString& text, QPointF origin, const StringFormat& format,
                                TextExtent* out) {
    return MeasureWithShadow(
        graphics,
        [&](ITextStrategy& s, TextExtent* e) {
            return s.MeasureString(graphics, family, fontStyle, fontSize, text, origin, format, e);
        },
        out);
}

bool OutlineText::GdiMeasureString(QPainter* graphics, const QFont& font, const QString& text,
                                   const QRectF& rect, TextExtent* out) {
    return MeasureWithShadow(
        graphics,
        [&](ITextStrategy& s, TextExtent* e) { return s.GdiMeasureString(graphics, font, text, rect, e); },
        out);
}

bool OutlineText::GdiMeasureString(QPainter* graphics, const QFont& font, const QString& text, QPointF origin,
                                   TextExtent* out) {
    return MeasureWithShadow(
        graphics,
        [&](ITextStrategy& s, TextExtent* e) { return s.GdiMeasureString(graphics, font, text, origin, e); },
        out);
}

bool OutlineText::GdiMeasureStringOutline(QPainter* graphics, const QFont& font, const QString& text,
                                          const QRectF& rect, TextExtent* out) {
    return MeasureWithShadow(
        graphics,
        [&](ITextStrategy& s, TextExtent* e) {
            return s.GdiMeasureStringOutline(graphics, font, text, rect, e);
        },
        out);
}

bool OutlineText::GdiMeasureStringOutline(QPainter* graphics, const QFont& font, const QString& text,
                                          QPointF origin, TextExtent* out) {
    return MeasureWithShadow(
        graphics,
        [&](ITextStrategy& s, TextExtent* e) {
            return s.GdiMeasureStringOutline(graphics, font, text, origin, e);
        },
        out);
}

} // namespace TextOutline
